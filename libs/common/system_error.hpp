#pragma once

#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay {

// "<label>: errno <number> (<the platform's text for it>)".
std::string errnoMessage(std::string_view label, int error);

// A system call's result: negative means failure with the current errno, labelled.
Status checked(long result, std::string_view label);

}  // namespace deskplay
