#include "bench/support/bench_support.hpp"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

namespace deskplay::bench {

std::runtime_error systemFailure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

double median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const double rank = std::ceil(fraction * static_cast<double>(samples.size()));
  const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
  return samples[std::min(index, samples.size() - 1)];
}

double microseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::micro>(duration).count();
}

ScratchFolder::ScratchFolder(const std::filesystem::path& parent, const std::string& prefix) {
  std::string pattern = (parent / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw systemFailure("mkdtemp " + pattern);
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace deskplay::bench
