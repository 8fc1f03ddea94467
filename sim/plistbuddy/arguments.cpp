#include "arguments.hpp"

namespace deskplay::plistbuddy {

namespace {

Error usageError(const std::string& problem) {
  return Error{"PlistBuddy: " + problem + " (see --help)"};
}

}  // namespace

std::string_view usageText() {
  return "Usage: PlistBuddy [-h] -c \"<command>\" [-c \"<command>\" ...] <file.plist>\n"
         "    -c \"<command>\"  run the command; several run in order, and the file is saved\n"
         "                    once, after all of them succeeded\n"
         "    -h, --help      print this help\n"
         "\n"
         "Commands:\n"
         "    Print [<Entry>]                 print the value of Entry, or the whole file\n"
         "    Set <Entry> <Value>             change the value of an existing Entry\n"
         "    Add <Entry> <Type> [<Value>]    add Entry, creating missing dictionaries on the way\n"
         "\n"
         "Entries are key names separated by colons, e.g. :DesktopViewSettings:IconViewSettings;\n"
         "array items are zero-based indexes. Quote names with blanks: 'Window Settings'.\n"
         "\n"
         "Types: string, dict, array, bool, real, integer\n"
         "\n"
         "A file that does not exist is created (as XML) when a command changes it; an existing\n"
         "file keeps its format, XML or binary.\n";
}

Result<Invocation> parseArguments(const std::vector<std::string>& arguments) {
  Invocation invocation;
  bool haveFile = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (haveFile) return Error{"Invalid Arguments"};
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      invocation.file = argument;
      haveFile = true;
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      invocation.help = true;
    } else if (argument == "-c") {
      if (i + 1 == arguments.size()) return usageError("option -c needs a command");
      invocation.commands.push_back(arguments[++i]);
    } else if (argument.rfind("-c", 0) == 0) {
      invocation.commands.push_back(argument.substr(2));
    } else {
      return usageError("unknown option " + argument);
    }
  }
  if (invocation.help) return invocation;
  if (invocation.file.empty()) return usageError("no plist file given");
  if (invocation.commands.empty()) {
    return usageError("no command given; interactive mode is not supported, use -c");
  }
  return invocation;
}

}  // namespace deskplay::plistbuddy
