#include "ui/hosting/frame_damage.hpp"

#include <cstring>

namespace deskplay::ui {

std::vector<platform::PixelRect> takeDamagedRows(const QImage& now, QImage& before) {
  if (before.size() != now.size() || before.format() != now.format()) {
    before = now.copy();
    if (now.isNull()) return {};
    return {platform::PixelRect{0, 0, now.width(), now.height()}};
  }
  std::vector<platform::PixelRect> damage;
  const auto rowBytes = static_cast<std::size_t>(now.width()) * 4;
  for (int y = 0; y < now.height(); ++y) {
    const uchar* fresh = now.constScanLine(y);
    if (std::memcmp(fresh, before.constScanLine(y), rowBytes) == 0) continue;
    std::memcpy(before.scanLine(y), fresh, rowBytes);
    if (!damage.empty() && damage.back().y + damage.back().height == y) {
      ++damage.back().height;
    } else {
      damage.push_back({0, y, now.width(), 1});
    }
  }
  return damage;
}

}  // namespace deskplay::ui
