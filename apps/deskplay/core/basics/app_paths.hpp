#pragma once

#include <filesystem>

namespace deskplay::core {

// The fixed names and places of the application for one user: everything is derived from
// the home directory, the system temporary directory and the application bundle
// ("…/Deskplay.app"), so tests can point all three anywhere.
struct AppPaths {
  std::filesystem::path home;
  std::filesystem::path temporaryDirectory;
  std::filesystem::path bundle;

  // Home and temporary directory of the running user: $HOME, and $TMPDIR (resolved) when it
  // names an existing folder, else /tmp.
  static AppPaths forCurrentUser(std::filesystem::path bundle);

  std::filesystem::path applicationLog() const { return temporaryDirectory / "deskplay-app.log"; }
  std::filesystem::path gameLog() const { return temporaryDirectory / "deskplay-game.log"; }
  std::filesystem::path desktop() const { return home / "Desktop"; }
  std::filesystem::path stashDirectory() const { return home / ".deskplay-stash"; }
  std::filesystem::path defaultDataFolder() const { return home / "Documents" / "Deskplay"; }
  std::filesystem::path applicationSupportFolder() const {
    return home / "Library" / "Application Support" / "Deskplay";
  }
  std::filesystem::path userGamesFolder() const { return applicationSupportFolder() / "games"; }
  // The desktop's look recorded before a game, until it has been put back.
  std::filesystem::path desktopLookFolder() const { return applicationSupportFolder() / "look"; }

  std::filesystem::path resources() const { return bundle / "Contents" / "Resources"; }
  std::filesystem::path resourceGamesFolder() const { return resources() / "games"; }
  std::filesystem::path frondelBin() const { return resources() / "frondel-bin"; }
  std::filesystem::path bundledNode() const { return resources() / "node"; }
};

// The file whose presence marks the root of the development checkout.
inline constexpr char kCheckoutMarker[] = "pnpm-workspace.yaml";

// The bundle that holds `executable`: the folder above "Contents/MacOS" when the program sits
// there, otherwise the executable's own folder (a program run outside a bundle).
std::filesystem::path bundleOfExecutable(const std::filesystem::path& executable);

}  // namespace deskplay::core
