#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

int levelForKey(platform::WindowLevelKey key) {
  switch (key) {
    case platform::WindowLevelKey::desktopIcon:
      return levels::desktopIcon;
  }
  return levels::normal;
}

}  // namespace deskplay::simdesk
