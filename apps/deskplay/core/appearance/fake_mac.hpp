#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/appearance/desktop_appearance.hpp"
#include "platform/script_host.hpp"

namespace deskplay::testing {

// Finder and System Events as the look's scripts see them: the values they read and set, the
// desktop positions of items by path, and a Finder that can be quit, can be slow to come
// back, or can leave items unknown for a while. Every script that changes something is kept.
class FakeMac final : public platform::ScriptHost {
 public:
  explicit FakeMac(std::filesystem::path desktop) : desktop_(std::move(desktop)) {}

  platform::ScriptRun run(const std::string& source) override;
  // Where Finder shows the icons now.
  std::vector<core::IconPosition> places();

  std::int64_t iconSize = 64;
  std::int64_t textSize = 12;
  std::string labelPosition = "bottom";
  std::string arrangement = "not arranged";
  bool showsItemInfo = false;
  std::string picture = "/Library/Desktop Pictures/Sky.heic";
  bool dockAutohide = false;
  bool menuBarAutohide = false;
  // Item name → its position.
  std::map<std::string, std::pair<std::int64_t, std::int64_t>> positions;

  bool finderRunning = true;
  // How many readiness checks after an open Finder still fails.
  int launchChecks = 0;
  // How many more times an item is not shown, as one Finder has not yet noticed.
  std::map<std::string, int> unnoticed;
  // When set, Finder never answers.
  bool finderGone = false;

  // The scripts that changed something, in order.
  std::vector<std::string> changes;
  int launches = 0;

 private:
  std::filesystem::path desktop_;
};

}  // namespace deskplay::testing
