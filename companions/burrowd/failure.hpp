#pragma once

#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay::burrowd {

// The program's own error value, described as `Failure(message: "…")` in replies, with a
// backslash before each double quote or backslash of the message.
std::string failureDescription(std::string_view message);

inline Error failure(std::string_view message) {
  return Error{failureDescription(message)};
}

// A failed system call (see `checked`) raised as a Failure.
inline Error failure(const Status& failedCall) {
  return failure(failedCall.message());
}

}  // namespace deskplay::burrowd
