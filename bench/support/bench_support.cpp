#include "bench/support/bench_support.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace deskplay::bench {

std::runtime_error systemFailure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

std::optional<double> processorSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return std::nullopt;
  // The command, in parentheses, may hold spaces; the fields after it start with the state
  // (field 3), and utime and stime are fields 14 and 15.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos || close + 2 > text.size()) return std::nullopt;
  std::istringstream fields(text.substr(close + 2));
  std::vector<std::string> values;
  for (std::string value; fields >> value;) values.push_back(value);
  if (values.size() < 13) return std::nullopt;
  const double ticks = std::stod(values[11]) + std::stod(values[12]);
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
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
