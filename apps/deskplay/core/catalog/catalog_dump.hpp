#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <filesystem>
#include <string>

#include "common/result.hpp"

namespace deskplay::core {

// Why a catalog dump gave no catalog; `message` is the text shown to the user.
using DumpError = Error;

// The command the login shell runs in the checkout to print the catalog.
std::string catalogDumpCommand(const std::filesystem::path& checkout);

// Runs the engine's catalog dump through `zsh` ("-ilc" and the command above) with
// `environment`, and returns its standard output when it exits with status 0. Both output
// pipes are drained together, so a chatty dump cannot stall. Blocks the calling thread until
// the dump ends.
Result<QByteArray> runCatalogDump(const std::filesystem::path& zsh,
                                  const std::filesystem::path& checkout,
                                  const QProcessEnvironment& environment);

}  // namespace deskplay::core
