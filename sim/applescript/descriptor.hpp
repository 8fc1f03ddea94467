#pragma once

#include <string_view>

#include "platform/script_host.hpp"
#include "script.hpp"
#include "script_failure.hpp"
#include "scriptable.hpp"
#include "value.hpp"

namespace deskplay::applescript {

// A result as its Apple event descriptor reads: text for what coerces to text (not lists,
// references or enumerated constants), a 32-bit integer for what coerces to one (else 0), and
// the descriptor's printed form ('long'(64), 'utxt'("a"), [ … ]).
platform::ScriptValue descriptorOf(const Value& value);

// The error dictionary of a failed compile or run: message, number and its printed form.
platform::ScriptError errorDictionary(const ScriptFailure& failure);

// Compiles `source` only: nothing when it compiles, else the compiler's error dictionary.
std::optional<platform::ScriptError> compileError(std::string_view source);

// Compiles and runs `source` against `environment`, as NSAppleScript does in process.
platform::ScriptRun run(std::string_view source, ScriptEnvironment& environment);
platform::ScriptRun run(const Script& script, ScriptEnvironment& environment);

}  // namespace deskplay::applescript
