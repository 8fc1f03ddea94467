#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace deskplay::core {

// A game run from the maker's checkout: a login shell runs the entry file with Node.js and
// TypeScript loading, so the user's own shell set-up supplies node and its PATH.
struct DevelopmentLaunch {
  std::filesystem::path checkout;
  std::string entryFile;
};

// A game folder run by the Node.js runtime inside the application's resources.
struct PackagedLaunch {
  std::filesystem::path resources;
  std::filesystem::path gameFolder;
};

using EngineLaunch = std::variant<DevelopmentLaunch, PackagedLaunch>;

// What to execute for one engine.
struct EngineCommand {
  std::filesystem::path program;
  std::vector<std::string> arguments;
  std::optional<std::filesystem::path> workingDirectory;
};

// "cd <checkout> && exec node --import tsx <checkout>/games/<entry> <args…>", every path and
// argument single-quoted, no trailing space when there are no arguments.
std::string developmentCommandLine(const DevelopmentLaunch& launch,
                                   const std::vector<std::string>& args);

// The engine's command: `zsh` -ilc <command line> in the development layout; the bundle's
// node on the game folder with `args` as separate arguments, working in the resources, in the
// packaged one.
EngineCommand engineCommand(const EngineLaunch& launch, const std::vector<std::string>& args,
                            const std::filesystem::path& zsh);

// The room-server token file that goes with the layout.
std::filesystem::path gameServerTokenFile(const EngineLaunch& launch);

}  // namespace deskplay::core
