#include "app/command_reader.hpp"

#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <utility>

namespace deskplay::glyphon {

namespace {

// Linux keeps thread names of up to 15 bytes and refuses longer ones; the name is cut to
// what the system keeps rather than lost.
void nameCurrentThread(std::string_view name) {
  constexpr std::size_t kKeptBytes = 15;
  const std::string kept(name.substr(0, kKeptBytes));
  (void)::pthread_setname_np(::pthread_self(), kept.c_str());
}

}  // namespace

CommandReader::CommandReader(int fd, LogLines& log, Callbacks callbacks)
    : fd_(fd), log_(log), callbacks_(std::move(callbacks)) {}

CommandReader::~CommandReader() {
  if (started_) (void)::pthread_join(thread_, nullptr);
}

bool CommandReader::start() {
  pthread_attr_t attributes;
  if (::pthread_attr_init(&attributes) != 0) return false;
  const bool configured = ::pthread_attr_setstacksize(&attributes, kStackBytes) == 0;
  started_ = configured && ::pthread_create(&thread_, &attributes, &threadMain, this) == 0;
  (void)::pthread_attr_destroy(&attributes);
  return started_;
}

void* CommandReader::threadMain(void* reader) {
  nameCurrentThread(kThreadName);
  static_cast<CommandReader*>(reader)->readLines();
  return nullptr;
}

void CommandReader::readLines() {
  std::string buffered;
  std::size_t scanned = 0;
  char chunk[1 << 16];
  bool endOfInput = false;
  while (true) {
    const std::size_t newline = buffered.find('\n', scanned);
    if (newline == std::string::npos && !endOfInput) {
      scanned = buffered.size();
      const ssize_t got = ::read(fd_, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        endOfInput = true;
      } else {
        buffered.append(chunk, static_cast<std::size_t>(got));
      }
      continue;
    }
    // A last line without its line feed still counts; nothing at all is the end.
    if (newline == std::string::npos && buffered.empty()) break;
    const std::size_t end = newline == std::string::npos ? buffered.size() : newline;
    std::string line = buffered.substr(0, end);
    buffered.erase(0, newline == std::string::npos ? end : end + 1);
    scanned = 0;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "EXIT") break;
    log_.logLine("[ORVEL] command line received");
    callbacks_.handOver(std::move(line));
  }
  callbacks_.finished();
}

}  // namespace deskplay::glyphon
