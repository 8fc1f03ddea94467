#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace deskplay::glyphon {

// The variable naming the file in which Glyphon notes which desktop settings it was asked to
// change, so that whoever put the game on the desktop puts back those, and only those.
inline constexpr const char* kDesktopChangesVariable = "FRONDEL_DESKTOP_CHANGES_PATH";

// Appends one line per setting a command is about to change ("iconSize", "desktopPicture",
// …), synced before the command runs, so that the note survives the game being killed in the
// middle of it. The first line, "glyphon", says that the notes are kept. Only an existing
// regular file is appended to; without one nothing is noted. Main thread only.
class DesktopChangeJournal {
 public:
  explicit DesktopChangeJournal(std::optional<std::filesystem::path> file);

  void note(std::initializer_list<std::string_view> settings) const;

 private:
  std::optional<std::filesystem::path> file_;
};

// The journal named by the environment, if any.
DesktopChangeJournal desktopChangeJournalFromEnvironment();

}  // namespace deskplay::glyphon
