#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "applescript/scriptable.hpp"

namespace deskplay::simdesk {

// `name of every item of desktop`: an `every` step before the last step. The event then goes
// to each of those elements in turn and the answers form a list, as applications do.
std::optional<std::size_t> innerEveryStep(const applescript::ObjectSpecifier& object);

// `object` cut after `steps` steps.
applescript::ObjectSpecifier prefixOf(const applescript::ObjectSpecifier& object,
                                      std::size_t steps);

// Applies `each` to every element the inner `every` step at `step` stands for, followed by the
// rest of `object`'s steps; `elements` gets the list of element specifiers.
Result<applescript::Value, applescript::ScriptFailure> forEachElement(
    const applescript::ObjectSpecifier& object, std::size_t step,
    const std::function<Result<applescript::Value, applescript::ScriptFailure>(
        const applescript::ObjectSpecifier&)>& elements,
    const std::function<Result<applescript::Value, applescript::ScriptFailure>(
        const applescript::ObjectSpecifier&)>& each);

// Whether a step names the property `term`.
bool isProperty(const applescript::SpecifierStep& step, std::string_view term);

// A value read as an integer or boolean the way applications coerce event parameters;
// -1700 otherwise.
Result<long long, applescript::ScriptFailure> integerParameter(const applescript::Value& value);
Result<bool, applescript::ScriptFailure> booleanParameter(const applescript::Value& value);

}  // namespace deskplay::simdesk
