#include "plist_buddy.hpp"

#include "arguments.hpp"
#include "session.hpp"

namespace deskplay::plistbuddy {

int runPlistBuddy(const std::vector<std::string>& arguments, std::ostream& output,
                  std::ostream& errors) {
  const Result<Invocation> invocation = parseArguments(arguments);
  if (!invocation.ok()) {
    if (arguments.empty()) output << usageText();
    errors << invocation.message() << '\n';
    return 1;
  }
  if (invocation.value().help) {
    output << usageText();
    return 0;
  }
  return runCommands(invocation.value().file, invocation.value().commands, output, errors);
}

}  // namespace deskplay::plistbuddy
