#pragma once

#include <optional>
#include <string_view>

#include "command.hpp"
#include "script_failure.hpp"
#include "value.hpp"

namespace deskplay::applescript {

// One scriptable application as scripts reach it: the Apple events get, set and the other
// commands, each addressed to an object specifier. The evaluator resolves `whose` tests itself,
// so specifiers reaching an application never carry one.
//
// Failures carry AppleScript's number and brief message; the evaluator adds the
// "<application> got an error: " prefix. An application that is not running answers every
// event with -600 "Application isn’t running.".
class ScriptableApplication {
 public:
  virtual ~ScriptableApplication() = default;

  // A property's value; an element as a specifier of it (by name where it has one); every
  // element as a list of specifiers. -1728 "Can’t get …." for what does not exist.
  virtual Result<Value, ScriptFailure> get(const ObjectSpecifier& object) = 0;
  // Gives back the value as stored. -10006 "Can’t set … to …." for read-only properties.
  virtual Result<Value, ScriptFailure> set(const ObjectSpecifier& object, const Value& value) = 0;
  // count (an integer), exists (a boolean), activate, quit, close, update (no result).
  // `directObject` is empty when the command names no object (`quit`, `activate`).
  virtual Result<std::optional<Value>, ScriptFailure> perform(
      Command command, const ObjectSpecifier* directObject) = 0;
};

// What a script runs against: the applications it tells, and the file system that aliases
// need.
class ScriptEnvironment {
 public:
  virtual ~ScriptEnvironment() = default;

  // `name` is the application's canonical name ("Finder", "System Events"); nullptr when the
  // environment has no such application.
  virtual ScriptableApplication* application(std::string_view name) = 0;
  // Whether an alias to the path can be made (the file or folder exists).
  virtual bool fileExists(std::string_view posixPath) = 0;
};

// Messages as AppleScript words them, for applications to answer with.
ScriptFailure cantGet(const ObjectSpecifier& object);
ScriptFailure cantSet(const ObjectSpecifier& object, const Value& value);
ScriptFailure cantMake(const Value& value, std::string_view typeName);
ScriptFailure notUnderstood(std::string_view receiver, Command command);
ScriptFailure applicationNotRunning();

}  // namespace deskplay::applescript
