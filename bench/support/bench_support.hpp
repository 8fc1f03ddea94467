#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace deskplay::bench {

// A failed system call, as "what: strerror(errno)", for the benchmarks' top-level report.
std::runtime_error systemFailure(const std::string& what);

// The median of the samples (the mean of the middle two for an even count); 0 when empty.
double median(std::vector<double> samples);

// The nearest-rank percentile: the smallest sample that `fraction` (0..1) of the samples do
// not exceed; 0 when empty.
double percentile(std::vector<double> samples, double fraction);

// The processor time a process has used so far (user and system, all threads), in seconds;
// nothing when it cannot be read.
std::optional<double> processorSeconds(pid_t pid);

// A steady-clock duration in microseconds.
double microseconds(std::chrono::steady_clock::duration duration);

// A run's own folder under `parent`, named `prefix` + a unique suffix, removed with everything
// in it at the end.
class ScratchFolder {
 public:
  ScratchFolder(const std::filesystem::path& parent, const std::string& prefix);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace deskplay::bench
