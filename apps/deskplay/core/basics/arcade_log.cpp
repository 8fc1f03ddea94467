#include "core/basics/arcade_log.hpp"

#include <string>

#include "common/append_line.hpp"
#include "common/iso8601.hpp"
#include "common/one_line.hpp"

namespace deskplay::core {

void arcadeLog(const std::filesystem::path& logFile, const platform::Clock& clock,
               std::string_view message) {
  // Messages carry folder names, ids and error texts from elsewhere: none may start a line.
  std::string line = "[" + iso8601Utc(clock.sinceEpoch()) + "] ";
  appendOneLine(line, message);
  line.push_back('\n');
  static_cast<void>(appendToFile(logFile, line));
}

}  // namespace deskplay::core
