#pragma once

#include <string>

#include "common/result.hpp"

namespace deskplay {

// A version 4 UUID from the operating system's secure random source, in its canonical
// upper-case form (8-4-4-4-12 hexadecimal digits).
Result<std::string> randomUuid();

}  // namespace deskplay
