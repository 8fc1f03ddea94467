#include "sim/simdesk/protocol/screen_sizes.hpp"

#include <charconv>
#include <string>

namespace deskplay::simdesk::protocol {

namespace {

bool parseDimension(std::string_view text, double& out) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0 || value > 16384) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

Result<std::vector<platform::Size>> parseScreenSizes(std::string_view text) {
  if (text == "none") return std::vector<platform::Size>{};
  const Error invalid{"screens must be WxH[,WxH…] or none, not \"" + std::string(text) + "\""};
  std::vector<platform::Size> sizes;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view one = text.substr(0, comma);
    const std::size_t cross = one.find('x');
    platform::Size size;
    if (cross == std::string_view::npos || !parseDimension(one.substr(0, cross), size.width) ||
        !parseDimension(one.substr(cross + 1), size.height)) {
      return invalid;
    }
    sizes.push_back(size);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return sizes;
}

}  // namespace deskplay::simdesk::protocol
