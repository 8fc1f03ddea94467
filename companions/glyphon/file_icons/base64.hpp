#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace deskplay::glyphon {

// Standard Base64 with "=" padding and no line breaks.
std::string encodeBase64(const std::vector<unsigned char>& bytes);

// Strict: only the standard alphabet, padded to a multiple of four, "=" only at the end.
// Nothing for anything else, white space and line breaks included.
std::optional<std::vector<unsigned char>> decodeBase64(std::string_view text);

}  // namespace deskplay::glyphon
