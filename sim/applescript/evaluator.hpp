#pragma once

#include <optional>

#include "script.hpp"
#include "script_failure.hpp"
#include "scriptable.hpp"
#include "value.hpp"

namespace deskplay::applescript {

// Runs a compiled script against the applications of `environment`. The result is the last
// statement's (or the returned) value; nothing when that statement gave none. Failures carry
// AppleScript's number and message, with "<application> got an error: " when an application
// raised them.
Result<std::optional<Value>, ScriptFailure> evaluate(const Script& script,
                                                     ScriptEnvironment& environment);

}  // namespace deskplay::applescript
