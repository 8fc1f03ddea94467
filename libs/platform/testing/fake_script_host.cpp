#include "platform/testing/fake_script_host.hpp"

#include <algorithm>
#include <charconv>

namespace deskplay::platform::testing {

ScriptRun answersNumber(std::int32_t number) {
  const std::string text = std::to_string(number);
  return ScriptRun::success(ScriptValue{text, number, "'long'(" + text + ")"});
}

ScriptRun answersText(std::string text) {
  std::int32_t number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  const std::string description = "'utxt'(\"" + text + "\")";
  return ScriptRun::success(ScriptValue{std::move(text), number, description});
}

ScriptRun failsWith(std::string message, int number) {
  const std::string description = "{NSAppleScriptErrorMessage = \"" + message +
                                  "\"; NSAppleScriptErrorNumber = " + std::to_string(number) + ";}";
  return ScriptRun::runFailure(ScriptError{std::move(message), number, description});
}

ScriptRun failsToCompile() {
  return ScriptRun::compileFailure(
      ScriptError{"Expected end of line but found identifier.", -2741, "compile error"});
}

ScriptRun FakeScriptHost::run(const std::string& source) {
  runs_.push_back(source);
  if (observer_) observer_(source);
  if (auto queue = queued_.find(source); queue != queued_.end() && !queue->second.empty()) {
    ScriptRun answer = std::move(queue->second.front());
    queue->second.pop_front();
    return answer;
  }
  if (auto standing = standing_.find(source); standing != standing_.end()) {
    return standing->second;
  }
  for (const auto& [fragment, answer] : byFragment_) {
    if (source.find(fragment) != std::string::npos) return answer;
  }
  return fallback_;
}

void FakeScriptHost::queueAnswer(const std::string& source, const ScriptRun& answer, int times) {
  for (int i = 0; i < times; ++i) queued_[source].push_back(answer);
}

void FakeScriptHost::setAnswer(const std::string& source, ScriptRun answer) {
  standing_.insert_or_assign(source, std::move(answer));
}

void FakeScriptHost::setAnswerForScriptsContaining(const std::string& fragment, ScriptRun answer) {
  byFragment_.emplace_back(fragment, std::move(answer));
}

void FakeScriptHost::setFallbackAnswer(ScriptRun answer) {
  fallback_ = std::move(answer);
}

void FakeScriptHost::onRun(std::function<void(const std::string&)> observer) {
  observer_ = std::move(observer);
}

int FakeScriptHost::runCount(const std::string& source) const {
  return static_cast<int>(std::count(runs_.begin(), runs_.end(), source));
}

}  // namespace deskplay::platform::testing
