#pragma once

#include <vector>

namespace deskplay::platform {

// A decoded image, carried as PNG bytes with its pixel size.
struct Image {
  std::vector<unsigned char> png;
  int width = 0;
  int height = 0;
};

}  // namespace deskplay::platform
