#include "common/system_error.hpp"

#include <cerrno>
#include <cstring>

namespace deskplay {

std::string errnoMessage(std::string_view label, int error) {
  std::string message(label);
  message += ": errno ";
  message += std::to_string(error);
  message += " (";
  message += std::strerror(error);
  message += ")";
  return message;
}

Status checked(long result, std::string_view label) {
  if (result < 0) return Error{errnoMessage(label, errno)};
  return Status::success();
}

}  // namespace deskplay
