#include "sim/simdesk/protocol/line_buffer.hpp"

namespace deskplay::simdesk::protocol {

std::optional<std::string> LineBuffer::takeLine() {
  const std::size_t end = pending_.find('\n', start_ + scanned_);
  if (end == std::string::npos) {
    scanned_ = pending_.size() - start_;
    return std::nullopt;
  }
  std::string line = pending_.substr(start_, end - start_);
  start_ = end + 1;
  scanned_ = 0;
  // Compact once the consumed part dominates, so that long sessions keep a small buffer
  // and a large reply is not copied once per line.
  if (start_ == pending_.size()) {
    pending_.clear();
    start_ = 0;
  } else if (start_ > 65536 && start_ * 2 > pending_.size()) {
    pending_.erase(0, start_);
    start_ = 0;
  }
  return line;
}

void LineBuffer::clear() {
  pending_.clear();
  start_ = 0;
  scanned_ = 0;
}

}  // namespace deskplay::simdesk::protocol
