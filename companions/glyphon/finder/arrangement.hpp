#pragma once

#include <string>
#include <string_view>

namespace deskplay::glyphon {

// How a game names the desktop's arrangement ("snap", "By Name", "none", …) is matched
// loosely: trimmed, lower-cased, then searched for a word.

// The value of the `arrangeBy` preference: "grid", "none", "name", "kind" or
// "dateModified".
std::string_view arrangeByPreference(std::string_view input);

// The arrangement a script sets. `name` is the word the answer reports ("snap to grid",
// "not arranged", "name", "kind", "date modified"); `finderConstant` is the Finder constant
// that the script needs for it.
struct ScriptArrangement {
  std::string_view name;
  std::string_view finderConstant;

  friend bool operator==(const ScriptArrangement&, const ScriptArrangement&) = default;
};

// Unlike the preference, "none" is no arrangement of its own here: it snaps to the grid.
ScriptArrangement scriptArrangement(std::string_view input);

// The script that sets the desktop's arrangement.
std::string setArrangementScript(const ScriptArrangement& arrangement);

}  // namespace deskplay::glyphon
