#pragma once

#include <string_view>

namespace deskplay::testing {

// A descriptor reading `content` from its start, for code that reads from a descriptor.
// The caller closes it.
int memoryFile(std::string_view content);

}  // namespace deskplay::testing
