#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace deskplay::bench {

// A running Burrowd on a Desktop and stash pair, spoken to as its client would: one request
// line down its standard input, then its reply line read back from its standard output.
// Failures throw std::runtime_error: a benchmark has nothing to recover.
class BurrowdProcess {
 public:
  // Starts Burrowd and waits for its ready reply. Room for `largestReply` bytes is made up
  // front, so that growing a buffer is never timed as Burrowd's cost.
  BurrowdProcess(const std::string& burrowdPath, const std::string& desktop,
                 const std::string& stash, std::size_t largestReply);
  BurrowdProcess(const BurrowdProcess&) = delete;
  BurrowdProcess& operator=(const BurrowdProcess&) = delete;
  // Ends Burrowd's input and waits for it to exit.
  ~BurrowdProcess();

  // Writes `requestLine`, which ends in a line feed, and returns the reply line without its
  // line feed. The reply stays valid until the next exchange.
  std::string_view exchange(std::string_view requestLine);

  // The process's peak resident memory so far (VmHWM), in bytes.
  std::size_t peakResidentBytes() const;

 private:
  std::string_view readLine();
  void stop();

  pid_t pid_ = -1;
  int toBurrowd_ = -1;
  int fromBurrowd_ = -1;
  std::unique_ptr<char[]> received_;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
  std::size_t consumed_ = 0;
};

}  // namespace deskplay::bench
