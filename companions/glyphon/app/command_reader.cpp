#include "app/command_reader.hpp"

#include <string_view>
#include <utility>

#include "common/bounded_lines.hpp"
#include "common/thread_name.hpp"

namespace deskplay::glyphon {

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
  readBoundedLines(fd_, kMaxLineBytes, [this](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == "EXIT") return LineVerdict::stop;
    log_.logLine("[ORVEL] command line received");
    callbacks_.handOver(std::string(line));
    return LineVerdict::readOn;
  });
  callbacks_.finished();
}

}  // namespace deskplay::glyphon
