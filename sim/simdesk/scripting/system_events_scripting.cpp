#include "sim/simdesk/scripting/system_events_scripting.hpp"

#include "applescript/coercion.hpp"
#include "sim/simdesk/scripting/specifier_steps.hpp"

namespace deskplay::simdesk {

namespace as = applescript;
using as::ObjectSpecifier;
using as::ScriptFailure;
using as::SpecifierStep;
using as::Value;

namespace {

bool isProcessClass(std::string_view term) {
  return term == "process" || term == "application process";
}

ObjectSpecifier processNamed(const std::string& name) {
  return ObjectSpecifier{"System Events",
                         std::nullopt,
                         {{SpecifierStep::Form::name, "process", name, 0, nullptr, {}}}};
}

}  // namespace

Result<SystemEventsScripting::Target, ScriptFailure> SystemEventsScripting::resolve(
    const ObjectSpecifier& object, std::size_t steps) {
  Target target;
  if (object.base) return as::cantGet(object);
  for (std::size_t i = 0; i < steps; ++i) {
    const SpecifierStep& step = object.steps[i];
    const bool atApplication = target.kind == Target::Kind::application;
    if (atApplication && isProperty(step, "dock preferences")) {
      target.kind = Target::Kind::dockPreferences;
    } else if (atApplication && isProperty(step, "current desktop")) {
      target.kind = Target::Kind::desktop;
    } else if (atApplication && step.term == "desktop" && step.form == SpecifierStep::Form::index &&
               (step.index == 1 || step.index == -1)) {
      target.kind = Target::Kind::desktop;
    } else if (atApplication && isProcessClass(step.term) &&
               step.form == SpecifierStep::Form::name) {
      target.kind = Target::Kind::process;
      target.process = applications_.byName(step.name);
      if (target.process == nullptr) return as::cantGet(prefixOf(object, i + 1));
    } else if (atApplication && isProcessClass(step.term) &&
               step.form == SpecifierStep::Form::index) {
      const auto& all = applications_.all();
      const auto count = static_cast<std::int64_t>(all.size());
      const std::int64_t at = step.index > 0 ? step.index - 1 : count + step.index;
      if (step.index == 0 || at < 0 || at >= count) return as::cantGet(prefixOf(object, i + 1));
      target.kind = Target::Kind::process;
      target.process = &all[static_cast<std::size_t>(at)];
    } else {
      return as::cantGet(prefixOf(object, i + 1));
    }
  }
  return target;
}

Result<Value, ScriptFailure> SystemEventsScripting::processes(const ObjectSpecifier& object) {
  as::List found;
  for (const std::string& name : systemEvents_.processNames())
    found.emplace_back(processNamed(name));
  if (object.steps.size() != 1) return as::cantGet(object);
  return Value(std::move(found));
}

Result<Value, ScriptFailure> SystemEventsScripting::get(const ObjectSpecifier& object) {
  if (const auto every = innerEveryStep(object)) {
    return forEachElement(
        object, *every, [this](const ObjectSpecifier& list) { return get(list); },
        [this](const ObjectSpecifier& each) { return get(each); });
  }
  if (object.steps.empty()) return as::cantGet(object);
  const SpecifierStep& last = object.steps.back();
  if (last.form == SpecifierStep::Form::every && isProcessClass(last.term)) {
    return processes(object);
  }
  if (last.form != SpecifierStep::Form::property) {
    auto found = resolve(object, object.steps.size());
    if (!found.ok()) return std::move(found).error();
    if (found.value().process != nullptr) return Value(processNamed(found.value().process->name));
    return Value(object);
  }
  auto target = resolve(object, object.steps.size() - 1);
  if (!target.ok()) return std::move(target).error();
  const std::string_view term = last.term;
  switch (target.value().kind) {
    case Target::Kind::application:
      if (term == "name") return Value("System Events");
      if (term == "dock preferences" || term == "current desktop") return Value(object);
      break;
    case Target::Kind::dockPreferences:
      if (term == "autohide") return Value(systemEvents_.dockAutohide());
      if (term == "autohide menu bar") return Value(systemEvents_.menuBarAutohide());
      break;
    case Target::Kind::desktop:
      if (term == "picture") return Value(systemEvents_.desktopPicture());
      break;
    case Target::Kind::process: {
      const Application& process = *target.value().process;
      if (term == "name" || term == "displayed name") return Value(process.name);
      if (term == "visible") return Value(process.visible);
      if (term == "frontmost") return Value(applications_.frontmost() == process.pid);
      if (term == "bundle identifier") {
        if (process.bundleIdentifier) return Value(*process.bundleIdentifier);
        return Value(as::MissingValue{});
      }
      break;
    }
  }
  return as::cantGet(object);
}

Result<Value, ScriptFailure> SystemEventsScripting::set(const ObjectSpecifier& object,
                                                        const Value& value) {
  if (const auto every = innerEveryStep(object)) {
    return forEachElement(
        object, *every, [this](const ObjectSpecifier& list) { return get(list); },
        [this, &value](const ObjectSpecifier& each) { return set(each, value); });
  }
  if (object.steps.empty() || object.steps.back().form != SpecifierStep::Form::property) {
    return as::cantSet(object, value);
  }
  auto target = resolve(object, object.steps.size() - 1);
  if (!target.ok()) return std::move(target).error();
  const std::string_view term = object.steps.back().term;
  switch (target.value().kind) {
    case Target::Kind::dockPreferences:
      if (term == "autohide" || term == "autohide menu bar") {
        auto hidden = booleanParameter(value);
        if (!hidden.ok()) return std::move(hidden).error();
        if (term == "autohide") {
          systemEvents_.setDockAutohide(hidden.value());
        } else {
          systemEvents_.setMenuBarAutohide(hidden.value());
        }
        return value;
      }
      break;
    case Target::Kind::desktop:
      if (term == "picture") {
        if (const auto* file = value.as<as::FileRef>()) {
          systemEvents_.setDesktopPicture(file->posixPath);
          return value;
        }
        if (const auto* text = value.as<std::string>()) {
          systemEvents_.setDesktopPicture(*text);
          return value;
        }
        return as::cantMake(value, "file");
      }
      break;
    case Target::Kind::process:
      if (term == "visible") {
        auto visible = booleanParameter(value);
        if (!visible.ok()) return std::move(visible).error();
        if (!systemEvents_.setProcessVisible(target.value().process->name, visible.value()).ok()) {
          return as::cantSet(object, value);
        }
        return value;
      }
      break;
    case Target::Kind::application:
      break;
  }
  return as::cantSet(object, value);
}

Result<std::optional<Value>, ScriptFailure> SystemEventsScripting::perform(
    as::Command command, const ObjectSpecifier* directObject) {
  using Answer = Result<std::optional<Value>, ScriptFailure>;
  if (directObject == nullptr) {
    if (command == as::Command::activate || command == as::Command::quit) {
      return Answer(std::nullopt);
    }
    return as::notUnderstood("application \"System Events\"", command);
  }
  if (command == as::Command::count || command == as::Command::exists) {
    auto found = get(*directObject);
    if (command == as::Command::exists) {
      if (found.ok()) return Answer(Value(true));
      if (found.error().number == as::errors::noSuchObject) return Answer(Value(false));
      return std::move(found).error();
    }
    if (!found.ok()) return std::move(found).error();
    const auto* list = found.value().as<as::List>();
    return Answer(Value(static_cast<std::int64_t>(list != nullptr ? list->size() : 1)));
  }
  return as::notUnderstood(as::sourceText(*directObject), command);
}

}  // namespace deskplay::simdesk
