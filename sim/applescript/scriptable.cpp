#include "scriptable.hpp"

namespace deskplay::applescript {

namespace {
constexpr std::string_view apostrophe = "\xE2\x80\x99";
}

ScriptFailure cantGet(const ObjectSpecifier& object) {
  return {errors::noSuchObject,
          "Can" + std::string(apostrophe) + "t get " + sourceText(object) + ".", std::nullopt};
}

ScriptFailure cantSet(const ObjectSpecifier& object, const Value& value) {
  return {errors::cantSet,
          "Can" + std::string(apostrophe) + "t set " + sourceText(object) + " to " +
              sourceText(value) + ".",
          std::nullopt};
}

ScriptFailure cantMake(const Value& value, std::string_view typeName) {
  return {errors::cantCoerce,
          "Can" + std::string(apostrophe) + "t make " + sourceText(value) + " into type " +
              std::string(typeName) + ".",
          std::nullopt};
}

ScriptFailure notUnderstood(std::string_view receiver, Command command) {
  return {errors::notUnderstood,
          std::string(receiver) + " doesn" + std::string(apostrophe) +
              "t understand the \xE2\x80\x9C" + std::string(commandName(command)) +
              "\xE2\x80\x9D message.",
          std::nullopt};
}

ScriptFailure applicationNotRunning() {
  return {errors::applicationNotRunning, "Application isn" + std::string(apostrophe) + "t running.",
          std::nullopt};
}

}  // namespace deskplay::applescript
