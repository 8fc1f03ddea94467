#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace deskplay::sonette {

enum class AudioCommandType { Play, Loop, Stop, StopAll, Load };

// One accepted input line.
struct AudioCommand {
  AudioCommandType type = AudioCommandType::Play;
  std::optional<std::string> id;
  std::optional<std::string> path;
  std::optional<double> volume;

  friend bool operator==(const AudioCommand&, const AudioCommand&) = default;
};

// The command of one input line (without its line end), or nothing when the line is not a
// JSON object, lacks "type", has a known key of the wrong type, names an unknown type or
// lacks the fields its type needs. Keys not listed are ignored; an optional key given as
// null counts as absent.
std::optional<AudioCommand> decodeAudioCommand(std::string_view line);

}  // namespace deskplay::sonette
