#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script_failure.hpp"
#include "scriptable.hpp"
#include "value.hpp"

namespace deskplay::applescript {

// AppleScript's own coercions (`as text`, `as integer`, `as alias`…) and comparisons, done in
// the script rather than by an application.

std::optional<std::string> textOf(const Value& value);
// An integer or a real; nothing when the value is no number and no text that reads as one.
std::optional<Value> numberOf(const Value& value);
std::optional<bool> booleanOf(const Value& value);
// "/Users/a" for "Macintosh HD:Users:a"; other disks live under /Volumes.
std::string posixPathOfHfs(std::string_view hfs);

// `value as <typeName>`; typeName is a type class's canonical name ("text", "alias", …).
Result<Value, ScriptFailure> coerce(const Value& value, std::string_view typeName,
                                    ScriptEnvironment& environment);

// AppleScript's `=`: texts ignore case, integers and reals compare by value, lists item by item.
bool equalValues(const Value& a, const Value& b);
// Negative, zero or positive; fails when the two cannot be ordered.
Result<int, ScriptFailure> compareValues(const Value& a, const Value& b);
Result<bool, ScriptFailure> containsValue(const Value& container, const Value& part);

}  // namespace deskplay::applescript
