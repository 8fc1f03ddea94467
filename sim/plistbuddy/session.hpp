#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace deskplay::plistbuddy {

// Runs the commands in order on the plist file at `file` (as named on the command line, which
// is how messages name it) and returns the exit status: 0 when all succeeded, else 1.
//
// A missing file is announced on `output` ("File Doesn't Exist, Will Create: <file>") and
// starts as an empty dictionary. Print writes to `output`; a failing command writes its
// message to `errors` and ends the run. The file is written back, in the format it was read
// in, once, and only when every command succeeded and one of them changed something. When a
// command may change the file, the whole read-modify-write holds the lock on its folder.
int runCommands(const std::string& file, const std::vector<std::string>& commands,
                std::ostream& output, std::ostream& errors);

}  // namespace deskplay::plistbuddy
