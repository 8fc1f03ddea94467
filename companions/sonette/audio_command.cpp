#include "audio_command.hpp"

#include <array>
#include <nlohmann/json.hpp>
#include <utility>

namespace deskplay::sonette {

namespace {

using Json = nlohmann::json;

struct TypeName {
  std::string_view name;
  AudioCommandType type;
};

constexpr std::array kTypeNames{
    TypeName{"play", AudioCommandType::Play}, TypeName{"loop", AudioCommandType::Loop},
    TypeName{"stop", AudioCommandType::Stop}, TypeName{"stop_all", AudioCommandType::StopAll},
    TypeName{"load", AudioCommandType::Load},
};

enum class Field { Absent, Present, WrongType };

Field readString(const Json& object, const char* key, std::optional<std::string>& into) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return Field::Absent;
  if (!found->is_string()) return Field::WrongType;
  into = found->get<std::string>();
  return Field::Present;
}

Field readNumber(const Json& object, const char* key, std::optional<double>& into) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return Field::Absent;
  if (!found->is_number()) return Field::WrongType;
  into = found->get<double>();
  return Field::Present;
}

bool hasWhatItNeeds(const AudioCommand& command) {
  switch (command.type) {
    case AudioCommandType::Play:
    case AudioCommandType::Load:
      return command.path.has_value();
    case AudioCommandType::Loop:
      return command.id.has_value() && command.path.has_value();
    case AudioCommandType::Stop:
      return command.id.has_value();
    case AudioCommandType::StopAll:
      return true;
  }
  return false;
}

}  // namespace

std::optional<AudioCommand> decodeAudioCommand(std::string_view line) {
  // The JSON parser takes a NUL byte for the end of its input and would accept what comes
  // before it; no JSON text holds one.
  if (line.find('\0') != std::string_view::npos) return std::nullopt;
  const Json json = Json::parse(line, nullptr, /*allow_exceptions=*/false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;

  const auto type = json.find("type");
  if (type == json.end() || !type->is_string()) return std::nullopt;
  const std::string& typeName = type->get_ref<const std::string&>();

  AudioCommand command;
  if (readString(json, "id", command.id) == Field::WrongType ||
      readString(json, "path", command.path) == Field::WrongType ||
      readNumber(json, "volume", command.volume) == Field::WrongType) {
    return std::nullopt;
  }

  for (const TypeName& known : kTypeNames) {
    if (known.name == typeName) {
      command.type = known.type;
      if (!hasWhatItNeeds(command)) return std::nullopt;
      return command;
    }
  }
  return std::nullopt;
}

}  // namespace deskplay::sonette
