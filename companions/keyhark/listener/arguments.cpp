#include "listener/arguments.hpp"

#include <algorithm>

namespace deskplay::keyhark {

Mode modeFromArguments(const std::vector<std::string>& arguments) {
  const auto given = [&arguments](const char* flag) {
    return std::find(arguments.begin(), arguments.end(), flag) != arguments.end();
  };
  if (given("--check")) return Mode::permissionCheck;
  return given("--mouse-only") ? Mode::mouse : Mode::keyboard;
}

}  // namespace deskplay::keyhark
