#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/script_host.hpp"

namespace deskplay::platform::testing {

// Answers as the scripts' targets would give them.
ScriptRun answersNumber(std::int32_t number);
ScriptRun answersText(std::string text);
ScriptRun failsWith(std::string message, int number);
ScriptRun failsToCompile();

// A script host that records every script and answers from a script of answers: for an exact
// source first its queued answers ("the next three read-backs answer 48"), then its standing
// answer, then the standing answer of the first fragment it contains, then the fallback
// (success without a result).
class FakeScriptHost final : public ScriptHost {
 public:
  ScriptRun run(const std::string& source) override;

  void queueAnswer(const std::string& source, const ScriptRun& answer, int times = 1);
  void setAnswer(const std::string& source, ScriptRun answer);
  void setAnswerForScriptsContaining(const std::string& fragment, ScriptRun answer);
  void setFallbackAnswer(ScriptRun answer);
  // Called with each source before it is answered, to act as the target would (move an
  // icon, quit Finder).
  void onRun(std::function<void(const std::string&)> observer);

  const std::vector<std::string>& runs() const { return runs_; }
  int runCount(const std::string& source) const;

 private:
  std::vector<std::string> runs_;
  std::map<std::string, std::deque<ScriptRun>> queued_;
  std::map<std::string, ScriptRun> standing_;
  std::vector<std::pair<std::string, ScriptRun>> byFragment_;
  ScriptRun fallback_ = ScriptRun::success();
  std::function<void(const std::string&)> observer_;
};

}  // namespace deskplay::platform::testing
