#pragma once

#include <filesystem>
#include <system_error>

namespace deskplay::glyphon {

// Creates `to` as a new, empty file (0644; it must not exist yet) that carries the Finder
// information and the resource fork of the template `from`, and with them its custom icon.
// Both attributes are read before anything is created; a destination that was created is
// removed again when writing them fails. The error is the failing call's errno value.
[[nodiscard]] std::error_code copyIconTemplate(const std::filesystem::path& from,
                                               const std::filesystem::path& to);

}  // namespace deskplay::glyphon
