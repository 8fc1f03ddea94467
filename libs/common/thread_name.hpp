#pragma once

#include <string_view>

namespace deskplay {

// Names the calling thread `label`, as ps, top and debuggers show it. The system keeps only
// so many bytes of a name (15 on Linux) and refuses a longer one, so a longer label is cut
// to what it keeps rather than lost.
void nameCurrentThread(std::string_view label);

}  // namespace deskplay
