#include "protocol/log_file.hpp"

#include <cstdlib>
#include <string>

#include "common/append_line.hpp"

namespace deskplay::glyphon {

std::filesystem::path logFilePathFromEnvironment() {
  const char* configured = std::getenv("FRONDEL_LOG_FILE");
  return configured != nullptr ? configured : "/tmp/frondel.log";
}

void LogFile::logLine(std::string_view text) {
  std::string line(text);
  line.push_back('\n');
  (void)appendToFile(path_, line);
}

}  // namespace deskplay::glyphon
