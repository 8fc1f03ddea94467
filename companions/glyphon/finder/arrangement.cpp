#include "finder/arrangement.hpp"

#include <string>

#include "common/trim.hpp"
#include "finder/ascii_case.hpp"

namespace deskplay::glyphon {

namespace {

std::string normalized(std::string_view input) {
  return asciiLowercased(trimmedWhitespaceAndNewlines(input));
}

bool contains(const std::string& text, std::string_view word) {
  return text.find(word) != std::string::npos;
}

}  // namespace

std::string_view arrangeByPreference(std::string_view input) {
  const std::string text = normalized(input);
  if (contains(text, "snap")) return "grid";
  if (contains(text, "not") || contains(text, "none")) return "none";
  if (contains(text, "name")) return "name";
  if (contains(text, "kind")) return "kind";
  if (contains(text, "date")) return "dateModified";
  return "none";
}

ScriptArrangement scriptArrangement(std::string_view input) {
  constexpr ScriptArrangement kSnapToGrid{"snap to grid", "snap to grid"};
  const std::string text = normalized(input);
  if (contains(text, "snap")) return kSnapToGrid;
  if (contains(text, "not")) return {"not arranged", "not arranged"};
  if (contains(text, "name")) return {"name", "arranged by name"};
  if (contains(text, "kind")) return {"kind", "arranged by kind"};
  if (contains(text, "date")) return {"date modified", "arranged by modification date"};
  return kSnapToGrid;
}

std::string setArrangementScript(const ScriptArrangement& arrangement) {
  return "tell application \"Finder\" to set arrangement of icon view options of container "
         "window of desktop to " +
         std::string(arrangement.finderConstant);
}

}  // namespace deskplay::glyphon
