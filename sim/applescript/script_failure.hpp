#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/result.hpp"

namespace deskplay::applescript {

// An AppleScript error as the error dictionary carries it: the number and the brief message,
// plus the application it came from (its message then reads "<app> got an error: <brief>").
// Results in the subset are `Result<T, ScriptFailure>`: callers branch on the number.
struct ScriptFailure {
  int number = 0;
  std::string brief;
  std::optional<std::string> application;
  // The part of the source the error is about (byte offsets), when known.
  std::size_t rangeStart = 0;
  std::size_t rangeEnd = 0;

  std::string message() const {
    return application ? *application + " got an error: " + brief : brief;
  }
};

// AppleScript's error numbers for the failures this subset can meet.
namespace errors {
inline constexpr int fileNotFound = -43;
inline constexpr int applicationNotRunning = -600;
inline constexpr int cantCoerce = -1700;
inline constexpr int parameterMissing = -1701;
inline constexpr int notUnderstood = -1708;
inline constexpr int invalidIndex = -1719;
inline constexpr int noSuchObject = -1728;
inline constexpr int eventFailed = -10000;
inline constexpr int cantSet = -10006;
inline constexpr int stackOverflow = -2706;
inline constexpr int syntaxError = -2740;
inline constexpr int expectedButFound = -2741;
inline constexpr int variableNotDefined = -2753;
inline constexpr int noResult = -2763;
}  // namespace errors

}  // namespace deskplay::applescript
