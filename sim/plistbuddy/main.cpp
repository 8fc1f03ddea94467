#include <iostream>
#include <string>
#include <vector>

#include "plist_buddy.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const int status = deskplay::plistbuddy::runPlistBuddy(arguments, std::cout, std::cerr);
  std::cout.flush();
  return std::cout.fail() ? 1 : status;
}
