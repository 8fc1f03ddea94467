#pragma once

#include <string_view>

namespace deskplay::keyhark {

// Where whole lines go: event lines to standard output, status lines to standard error.
// Each line goes out at once, in one piece, so lines written from two threads never mix.
class LineOutput {
 public:
  virtual ~LineOutput() = default;
  // `line` without its line feed.
  virtual void writeLine(std::string_view line) = 0;
};

// Lines written to a file descriptor with a single write each (short writes are resumed).
// A line break inside a line (a file name can hold one) is written escaped, so that it never
// passes off the rest as a line of its own. A failed write loses the line: nobody is left to
// tell.
class DescriptorLineOutput final : public LineOutput {
 public:
  explicit DescriptorLineOutput(int fd) : fd_(fd) {}
  void writeLine(std::string_view line) override;

 private:
  int fd_;
};

}  // namespace deskplay::keyhark
