#include "protocol/script_host_runner.hpp"

#include <utility>

namespace deskplay::glyphon {

namespace {

std::string errorText(const platform::ScriptError& error) {
  if (error.message) return *error.message;
  if (error.number) return std::to_string(*error.number);
  return error.description;
}

}  // namespace

DetailedScriptRun ScriptHostRunner::runDetailed(const std::string& source) {
  platform::ScriptRun run = host_.run(source);
  switch (run.outcome) {
    case platform::ScriptRun::Outcome::compileFailed:
      return {std::nullopt, "Failed to compile AppleScript"};
    case platform::ScriptRun::Outcome::runFailed: {
      std::string text = errorText(run.error);
      output_.writeLine("FINDER_SCRIPT_ERROR:" + text, OutputLines::Flush::now);
      return {std::nullopt, std::move(text)};
    }
    case platform::ScriptRun::Outcome::succeeded:
      break;
  }
  return {std::move(run.result), std::nullopt};
}

}  // namespace deskplay::glyphon
