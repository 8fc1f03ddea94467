#include "finder/autohide.hpp"

namespace deskplay::glyphon {

namespace {

std::string word(bool hidden) {
  return hidden ? "true" : "false";
}

}  // namespace

std::optional<std::string> setAutohideDock(AppleScriptRunner& scripts, bool hidden) {
  return scripts
      .runDetailed("tell application \"System Events\" to set the dock preferences's autohide to " +
                   word(hidden))
      .error;
}

std::optional<std::string> setAutohideMenuBar(AppleScriptRunner& scripts, bool hidden) {
  return scripts
      .runDetailed(
          "tell application \"System Events\" to tell dock preferences to set autohide menu bar "
          "to " +
          word(hidden))
      .error;
}

}  // namespace deskplay::glyphon
