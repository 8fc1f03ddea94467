#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "listener/line_output.hpp"

namespace deskplay::keyhark::testing {

// Keeps the lines written, for tests; any thread may write.
class RecordingLineOutput final : public LineOutput {
 public:
  void writeLine(std::string_view line) override {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
  }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace deskplay::keyhark::testing
