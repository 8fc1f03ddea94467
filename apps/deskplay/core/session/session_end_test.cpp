#include "core/session/session_end.hpp"

#include <gtest/gtest.h>

#include <csignal>

namespace deskplay::core {
namespace {

constexpr EngineExit kSuccess{EngineExit::Kind::exited, 0};

TEST(EndedCleanly, NeedsEveryConditionAtOnce) {
  const struct {
    const char* name;
    SessionEnd end;
    bool clean;
  } cases[] = {
      {"no record", {kSuccess, true, false, std::nullopt}, true},
      {"child-complete", {kSuccess, true, false, "child-complete"}, true},
      {"exit 1", {{EngineExit::Kind::exited, 1}, true, false, "child-complete"}, false},
      {"killed by SIGTERM",
       {{EngineExit::Kind::signalled, SIGTERM}, true, false, "child-complete"},
       false},
      // A signal number must not pass for a status: signal 0 does not exist, but the kind rules.
      {"signalled with code 0",
       {{EngineExit::Kind::signalled, 0}, true, false, std::nullopt},
       false},
      {"desktop not restored", {kSuccess, false, false, "child-complete"}, false},
      {"record unreadable", {kSuccess, true, true, std::nullopt}, false},
      {"phase ready", {kSuccess, true, false, "ready"}, false},
      {"phase restoring", {kSuccess, true, false, "restoring"}, false},
      {"phase in other case", {kSuccess, true, false, "Child-Complete"}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(endedCleanly(c.end), c.clean) << c.name;
}

}  // namespace
}  // namespace deskplay::core
