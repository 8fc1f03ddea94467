#include "protocol/log_file.hpp"

#include <cstdlib>
#include <string>

#include "common/append_line.hpp"
#include "common/one_line.hpp"

namespace deskplay::glyphon {

std::filesystem::path logFilePathFromEnvironment() {
  const char* configured = std::getenv("FRONDEL_LOG_FILE");
  return configured != nullptr ? configured : "/tmp/frondel.log";
}

void LogFile::logLine(std::string_view text) {
  // A path or id holding a line break must not pass off the rest as a log line of its own.
  std::string line = oneLine(text);
  line.push_back('\n');
  (void)appendToFile(path_, line);
}

}  // namespace deskplay::glyphon
