#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace deskplay::simdesk::protocol {

// Collects bytes as they arrive and hands out whole lines, without their line feeds.
class LineBuffer {
 public:
  void append(std::string_view bytes) { pending_.append(bytes); }
  // The next complete line; nothing until its line feed has arrived.
  std::optional<std::string> takeLine();
  // Whether a complete line is waiting to be taken.
  bool hasLine() const { return pending_.find('\n', start_ + scanned_) != std::string::npos; }
  std::size_t pendingBytes() const { return pending_.size() - start_; }
  void clear();

 private:
  std::string pending_;
  std::size_t start_ = 0;   // where the next line begins
  std::size_t scanned_ = 0; // bytes after start_ already known to hold no line feed
};

}  // namespace deskplay::simdesk::protocol
