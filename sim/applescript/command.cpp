#include "command.hpp"

namespace deskplay::applescript {

std::string_view commandName(Command command) {
  switch (command) {
    case Command::count:
      return "count";
    case Command::exists:
      return "exists";
    case Command::activate:
      return "activate";
    case Command::quit:
      return "quit";
    case Command::close:
      return "close";
    case Command::update:
      return "update";
  }
  return {};
}

}  // namespace deskplay::applescript
