#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "applescript/scriptable.hpp"

namespace deskplay::applescript::testing {

// A scriptable application that answers from tables keyed by the specifier's source text
// ("icon size of icon view options of container window of desktop") and records every event.
class FakeApplication final : public ScriptableApplication {
 public:
  struct Event {
    std::string verb;    // "get", "set", or a command's name
    std::string object;  // the specifier's source text ("" for none)
    std::optional<Value> value;
    std::optional<ObjectSpecifier> specifier;
  };

  Result<Value, ScriptFailure> get(const ObjectSpecifier& object) override;
  Result<Value, ScriptFailure> set(const ObjectSpecifier& object, const Value& value) override;
  Result<std::optional<Value>, ScriptFailure> perform(Command command,
                                                      const ObjectSpecifier* directObject) override;

  // What `get` answers for a specifier (a property's value, or a list of element specifiers).
  void answer(const std::string& object, Value value) { values_[object] = std::move(value); }
  // Makes every event fail as a quit application's do.
  void setRunning(bool running) { running_ = running; }
  // Makes `set` of this specifier fail with -10006.
  void makeReadOnly(const std::string& object) { readOnly_.push_back(object); }

  const std::vector<Event>& events() const { return events_; }
  // The last value set for a specifier, if any.
  std::optional<Value> lastSet(const std::string& object) const;

 private:
  std::map<std::string, Value> values_;
  std::vector<std::string> readOnly_;
  std::vector<Event> events_;
  bool running_ = true;
};

// An environment of named fake applications and a set of existing files.
class FakeEnvironment final : public ScriptEnvironment {
 public:
  FakeApplication finder;
  FakeApplication systemEvents;
  std::vector<std::string> existingFiles;

  ScriptableApplication* application(std::string_view name) override;
  bool fileExists(std::string_view posixPath) override;
};

}  // namespace deskplay::applescript::testing
