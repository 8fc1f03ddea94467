#include "common/thread_name.hpp"

#include <pthread.h>

#include <cstddef>
#include <string>

namespace deskplay {

void nameCurrentThread(std::string_view label) {
#if defined(__APPLE__)
  constexpr std::size_t kKeptBytes = 63;
  const std::string kept(label.substr(0, kKeptBytes));
  (void)::pthread_setname_np(kept.c_str());
#else
  constexpr std::size_t kKeptBytes = 15;
  const std::string kept(label.substr(0, kKeptBytes));
  (void)::pthread_setname_np(::pthread_self(), kept.c_str());
#endif
}

}  // namespace deskplay
