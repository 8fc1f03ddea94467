#include "core/session/engine_launch.hpp"

#include "common/shell_quote.hpp"

namespace deskplay::core {

namespace {

// Appended as text: an entry file that looks absolute must stay inside the checkout, where
// path composition would replace the checkout with it.
std::string entryPath(const DevelopmentLaunch& launch) {
  std::string checkout = launch.checkout.string();
  if (!checkout.ends_with('/')) checkout.push_back('/');
  return checkout + "games/" + launch.entryFile;
}

struct CommandBuilder {
  const std::vector<std::string>& args;
  const std::filesystem::path& zsh;

  EngineCommand operator()(const DevelopmentLaunch& launch) const {
    return {zsh, {"-ilc", developmentCommandLine(launch, args)}, std::nullopt};
  }

  EngineCommand operator()(const PackagedLaunch& launch) const {
    std::vector<std::string> arguments{launch.gameFolder.string()};
    arguments.insert(arguments.end(), args.begin(), args.end());
    return {launch.resources / "node", std::move(arguments), launch.resources};
  }
};

struct TokenFile {
  std::filesystem::path operator()(const DevelopmentLaunch& launch) const {
    return launch.checkout / "apps/deskplay/.game-server-token";
  }
  std::filesystem::path operator()(const PackagedLaunch& launch) const {
    return launch.resources / ".game-server-token";
  }
};

}  // namespace

std::string developmentCommandLine(const DevelopmentLaunch& launch,
                                   const std::vector<std::string>& args) {
  std::string line = "cd " + shellQuoted(launch.checkout.string()) + " && exec node --import tsx " +
                     shellQuoted(entryPath(launch));
  for (const auto& arg : args) line += " " + shellQuoted(arg);
  return line;
}

EngineCommand engineCommand(const EngineLaunch& launch, const std::vector<std::string>& args,
                            const std::filesystem::path& zsh) {
  return std::visit(CommandBuilder{args, zsh}, launch);
}

std::filesystem::path gameServerTokenFile(const EngineLaunch& launch) {
  return std::visit(TokenFile{}, launch);
}

}  // namespace deskplay::core
