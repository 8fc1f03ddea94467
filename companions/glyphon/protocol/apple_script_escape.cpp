#include "protocol/apple_script_escape.hpp"

namespace deskplay::glyphon {

std::string escapeAppleScript(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '"') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace deskplay::glyphon
