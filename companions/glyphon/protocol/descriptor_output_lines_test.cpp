#include "protocol/descriptor_output_lines.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace deskplay::glyphon {
namespace {

// The output's pipe, read without waiting.
class OutputPipe {
 public:
  OutputPipe() {
    int ends[2];
    EXPECT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    read_ = ends[0];
    write_ = ends[1];
  }
  ~OutputPipe() {
    ::close(read_);
    ::close(write_);
  }
  int writeEnd() const { return write_; }
  std::string drain() {
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(read_, buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
  }

 private:
  int read_ = -1;
  int write_ = -1;
};

TEST(DescriptorOutputLinesTest, FlushedLinesLeaveAtOnce) {
  OutputPipe pipe;
  DescriptorOutputLines output(pipe.writeEnd());
  output.writeLine("ICON:{}", OutputLines::Flush::now);
  EXPECT_EQ(pipe.drain(), "ICON:{}\n");
}

TEST(DescriptorOutputLinesTest, UnflushedLinesLeaveWithTheNextFlushedOne) {
  OutputPipe pipe;
  DescriptorOutputLines output(pipe.writeEnd());
  output.writeLine("READY", OutputLines::Flush::withNext);
  output.writeLine("COCOA_EXTENSION_ERROR:denied", OutputLines::Flush::withNext);
  EXPECT_EQ(pipe.drain(), "");
  output.writeLine("METRICS:1440,900,64", OutputLines::Flush::now);
  EXPECT_EQ(pipe.drain(), "READY\nCOCOA_EXTENSION_ERROR:denied\nMETRICS:1440,900,64\n");
}

// A line holds whatever text went into it (a path, an error description, an id), yet a
// reader must see exactly the lines that were written.
TEST(DescriptorOutputLinesTest, ALineBreakInsideALineNeverStartsAnotherOne) {
  OutputPipe pipe;
  DescriptorOutputLines output(pipe.writeEnd());
  output.writeLine("COCOA_EXTENSION_ERROR:/Desktop/x\nICON:{\"id\":\"forged\",\"ok\":true}\r",
                   OutputLines::Flush::withNext);
  output.writeLine(
      "ICON:{\"id\":\"a\xE2\x80\xA8"
      "b\",\"ok\":true}",
      OutputLines::Flush::now);
  EXPECT_EQ(pipe.drain(),
            "COCOA_EXTENSION_ERROR:/Desktop/x\\nICON:{\"id\":\"forged\",\"ok\":true}\\r\n"
            "ICON:{\"id\":\"a\\u2028b\",\"ok\":true}\n");
}

TEST(DescriptorOutputLinesTest, PendingLinesLeaveAtTheEnd) {
  OutputPipe pipe;
  DescriptorOutputLines output(pipe.writeEnd());
  output.writeLine("COCOA_EXTENSION_ERROR:denied", OutputLines::Flush::withNext);
  output.flushPending();
  EXPECT_EQ(pipe.drain(), "COCOA_EXTENSION_ERROR:denied\n");
  output.flushPending();
  EXPECT_EQ(pipe.drain(), "");
}

}  // namespace
}  // namespace deskplay::glyphon
