#include "failure.hpp"

namespace deskplay::burrowd {

std::string failureDescription(std::string_view message) {
  std::string description = "Failure(message: \"";
  for (const char c : message) {
    if (c == '"' || c == '\\') description += '\\';
    description += c;
  }
  description += "\")";
  return description;
}

}  // namespace deskplay::burrowd
