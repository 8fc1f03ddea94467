#include "listener/line_output.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>

#include "common/unique_fd.hpp"
#include "listener/event_lines.hpp"

namespace deskplay::keyhark {
namespace {

// The two ends of a pipe; what was written is read back without waiting.
class Pipe {
 public:
  Pipe() {
    int ends[2];
    EXPECT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    read_ = UniqueFd(ends[0]);
    write_ = UniqueFd(ends[1]);
  }
  int writeEnd() const { return write_.get(); }
  std::string drain() const {
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(read_.get(), buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
  }

 private:
  UniqueFd read_;
  UniqueFd write_;
};

TEST(DescriptorLineOutputTest, EachLineLeavesAsExactlyOneLine) {
  struct Case {
    std::string line;
    std::string written;
  };
  const Case cases[] = {
      {"LISTENER_READY", "LISTENER_READY\n"},
      {"", "\n"},
      {"MOUSE_CAPTURE on\nLISTENER_READY", "MOUSE_CAPTURE on\\nLISTENER_READY\n"},
      {"a\r", "a\\r\n"},
      {"a\xE2\x80\xA8"
       "b",
       "a\\u2028b\n"},
  };
  for (const Case& c : cases) {
    Pipe pipe;
    DescriptorLineOutput output(pipe.writeEnd());
    output.writeLine(c.line);
    EXPECT_EQ(pipe.drain(), c.written) << c.line;
  }
}

// A file's name is the user's text: whatever it holds, the click on it is one event line that
// reads back as that name.
TEST(DescriptorLineOutputTest, AnEventNamingAFileWithLineBreaksIsOneLine) {
  const std::string target =
      "/Desktop/a\nb\rc\xE2\x80\xA8"
      "d\xE2\x80\xA9"
      "e\xC2\x85"
      "f\x0B"
      "g\x0C"
      "h.txt";
  Pipe pipe;
  DescriptorLineOutput events(pipe.writeEnd());
  emitMouse(events, "click", 10, 20, target);
  const std::string written = pipe.drain();
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.find('\n'), written.size() - 1) << written;
  for (const char* lineBreak : {"\r", "\x0B", "\x0C", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xC2\x85"}) {
    EXPECT_EQ(written.find(lineBreak), std::string::npos) << written;
  }
  const nlohmann::json event = nlohmann::json::parse(written, nullptr, false);
  ASSERT_TRUE(event.is_object()) << written;
  EXPECT_EQ(event["target"], target);
}

}  // namespace
}  // namespace deskplay::keyhark
