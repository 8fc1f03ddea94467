#include "fake_application.hpp"

#include <algorithm>

namespace deskplay::applescript::testing {

Result<Value, ScriptFailure> FakeApplication::get(const ObjectSpecifier& object) {
  const std::string text = sourceText(object);
  events_.push_back({"get", text, std::nullopt, object});
  if (!running_) return applicationNotRunning();
  const auto found = values_.find(text);
  if (found == values_.end()) return cantGet(object);
  return found->second;
}

Result<Value, ScriptFailure> FakeApplication::set(const ObjectSpecifier& object,
                                                  const Value& value) {
  const std::string text = sourceText(object);
  events_.push_back({"set", text, value, object});
  if (!running_) return applicationNotRunning();
  if (std::find(readOnly_.begin(), readOnly_.end(), text) != readOnly_.end()) {
    return cantSet(object, value);
  }
  values_[text] = value;
  return value;
}

Result<std::optional<Value>, ScriptFailure> FakeApplication::perform(
    Command command, const ObjectSpecifier* directObject) {
  const std::string text = directObject ? sourceText(*directObject) : std::string();
  events_.push_back({std::string(commandName(command)), text, std::nullopt,
                     directObject ? std::optional<ObjectSpecifier>(*directObject) : std::nullopt});
  if (!running_) return applicationNotRunning();
  if (command == Command::count) {
    const auto found = values_.find(text);
    if (found == values_.end() || !found->second.is<List>()) return cantGet(*directObject);
    return std::optional<Value>(Value(static_cast<std::int64_t>(found->second.as<List>()->size())));
  }
  if (command == Command::exists) {
    return std::optional<Value>(Value(values_.count(text) > 0));
  }
  return std::optional<Value>();
}

std::optional<Value> FakeApplication::lastSet(const std::string& object) const {
  for (auto event = events_.rbegin(); event != events_.rend(); ++event) {
    if (event->verb == "set" && event->object == object) return event->value;
  }
  return std::nullopt;
}

ScriptableApplication* FakeEnvironment::application(std::string_view name) {
  if (name == "Finder") return &finder;
  if (name == "System Events") return &systemEvents;
  return nullptr;
}

bool FakeEnvironment::fileExists(std::string_view posixPath) {
  return std::find(existingFiles.begin(), existingFiles.end(), posixPath) != existingFiles.end();
}

}  // namespace deskplay::applescript::testing
