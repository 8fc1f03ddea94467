#include "entry_name.hpp"

#include "failure.hpp"

namespace deskplay::burrowd {

Status checkBasename(std::string_view name) {
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
    return failure("Invalid basename");
  }
  return Status::success();
}

}  // namespace deskplay::burrowd
