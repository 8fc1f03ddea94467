#include "listed_windows.hpp"

#include <regex>
#include <sstream>

namespace deskplay::testing {

std::optional<ListedWindow> listedContentWindow(const SimdeskSession& session,
                                                const std::string& title) {
  const Completed listed = session.ctl({"windows"});
  static const std::regex line(
      R"re(\d+ .* layer -?\d+ at (-?[\d.]+),(-?[\d.]+) ([\d.]+)x([\d.]+) "(.*)" content alpha ([\d.]+)( key)?)re");
  std::istringstream lines(listed.output);
  for (std::string text; std::getline(lines, text);) {
    std::smatch found;
    if (!std::regex_search(text, found, line) || found[5] != title) continue;
    ListedWindow window;
    window.title = title;
    window.bounds = {{std::stod(found[1]), std::stod(found[2])},
                     {std::stod(found[3]), std::stod(found[4])}};
    window.alpha = std::stod(found[6]);
    window.key = found[7].matched;
    return window;
  }
  return std::nullopt;
}

}  // namespace deskplay::testing
