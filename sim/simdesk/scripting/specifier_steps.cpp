#include "sim/simdesk/scripting/specifier_steps.hpp"

#include <cmath>

#include "applescript/coercion.hpp"

namespace deskplay::simdesk {

using applescript::ObjectSpecifier;
using applescript::ScriptFailure;
using applescript::SpecifierStep;
using applescript::Value;

std::optional<std::size_t> innerEveryStep(const ObjectSpecifier& object) {
  for (std::size_t i = 0; i + 1 < object.steps.size(); ++i) {
    if (object.steps[i].form == SpecifierStep::Form::every) return i;
  }
  return std::nullopt;
}

ObjectSpecifier prefixOf(const ObjectSpecifier& object, std::size_t steps) {
  ObjectSpecifier prefix{object.application, object.base, {}};
  prefix.steps.assign(object.steps.begin(), object.steps.begin() + static_cast<long>(steps));
  return prefix;
}

Result<Value, ScriptFailure> forEachElement(
    const ObjectSpecifier& object, std::size_t step,
    const std::function<Result<Value, ScriptFailure>(const ObjectSpecifier&)>& elements,
    const std::function<Result<Value, ScriptFailure>(const ObjectSpecifier&)>& each) {
  auto found = elements(prefixOf(object, step + 1));
  if (!found.ok()) return found;
  const auto* list = found.value().as<applescript::List>();
  applescript::List answers;
  if (list == nullptr) return Value(std::move(answers));
  answers.reserve(list->size());
  for (const Value& element : *list) {
    const auto* specifier = element.as<ObjectSpecifier>();
    if (specifier == nullptr) return applescript::cantGet(object);
    ObjectSpecifier full = *specifier;
    full.steps.insert(full.steps.end(), object.steps.begin() + static_cast<long>(step) + 1,
                      object.steps.end());
    auto answer = each(full);
    if (!answer.ok()) return answer;
    answers.push_back(std::move(answer).value());
  }
  return Value(std::move(answers));
}

bool isProperty(const SpecifierStep& step, std::string_view term) {
  return step.form == SpecifierStep::Form::property && step.term == term;
}

Result<long long, ScriptFailure> integerParameter(const Value& value) {
  if (const auto number = applescript::numberOf(value); number && !value.is<bool>()) {
    if (const auto* integer = number->as<std::int64_t>()) return static_cast<long long>(*integer);
    return static_cast<long long>(std::nearbyint(std::get<double>(number->data)));
  }
  return applescript::cantMake(value, "integer");
}

Result<bool, ScriptFailure> booleanParameter(const Value& value) {
  if (const auto boolean = applescript::booleanOf(value)) return *boolean;
  return applescript::cantMake(value, "boolean");
}

}  // namespace deskplay::simdesk
