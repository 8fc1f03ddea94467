#pragma once

#include <string>
#include <vector>

namespace deskplay::applescript::testing {

// Backslashes doubled, then quotes escaped: how the programs put paths and free text inside
// a script's string literals.
std::string escaped(const std::string& text);

// Every script text the programs send, with example values in the places they fill in.
std::string iconSizeGet();
std::string iconSizeGetOfWindow();
std::string iconSizeSet(int size);
std::string iconSizeSetOfWindow(int size);
std::string positions(const std::vector<std::string>& paths, int x, int y);
std::string labelIndexSet(const std::string& path, const std::string& value);
std::string commentSet(const std::string& path, const std::string& comment);
std::string extensionHiddenSet(const std::string& path, const std::string& value);
std::string dockAutohide(const std::string& value);
std::string menuBarAutohide(const std::string& value);
std::string arrangementGet();
std::string arrangementSet(const std::string& arrangement);
std::string showsItemInfoGet();
std::string showsItemInfoSet(const std::string& value);
std::string pictureGet();
std::string pictureSet(const std::string& path);
std::string startupDiskNameGet();
std::string textSizeSet(int size);
std::string labelPositionSet(const std::string& position);
std::string closeEveryWindow();
std::string hideOtherProcesses();

// One of each, with ordinary values.
std::vector<std::string> everyQuotedScript();

}  // namespace deskplay::applescript::testing
