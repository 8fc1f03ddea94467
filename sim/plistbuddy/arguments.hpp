#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/result.hpp"

namespace deskplay::plistbuddy {

struct Invocation {
  bool help = false;
  std::vector<std::string> commands;  // in the order given
  std::string file;
};

// `PlistBuddy [-h | --help] -c "<command>" [-c "<command>" …] <file.plist>`. Options come
// before the file (as with getopt, anything after the file is extra); "--" ends them.
// Errors are the one line to print on standard error.
Result<Invocation> parseArguments(const std::vector<std::string>& arguments);

// The help text, for --help and for a run without arguments.
std::string_view usageText();

}  // namespace deskplay::plistbuddy
