#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

// The log's path: $FRONDEL_LOG_FILE, or "/tmp/frondel.log" when that is unset.
std::filesystem::path logFilePathFromEnvironment();

// The diagnostic log: each line is appended to the file (created when missing, but never its
// folder; a symbolic link is refused) and the file closed again; failures are ignored. A line
// break inside a line is written escaped.
class LogFile final : public LogLines {
 public:
  explicit LogFile(std::filesystem::path path) : path_(std::move(path)) {}

  void logLine(std::string_view text) override;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace deskplay::glyphon
