#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <string>

#include "common/result.hpp"

namespace deskplay::app {

// The desktop entry by which the desktop hands deskplay:// links to Deskplay.
inline constexpr char kUrlHandlerEntryName[] = "deskplay-url-handler.desktop";

// The user's applications folder: $XDG_DATA_HOME/applications, or
// $HOME/.local/share/applications when XDG_DATA_HOME is unset, empty or not absolute. Fails
// when neither gives an absolute folder.
Result<std::filesystem::path> userApplicationsFolder(const QProcessEnvironment& environment);

// The entry's text: `executable` runs as "executable URL <link>" for every deskplay:// link.
std::string urlHandlerEntry(const std::filesystem::path& executable);

// Writes the entry for `executable` into the user's applications folder (created when
// needed), whole or not at all. Gives the entry's path.
Result<std::filesystem::path> installUrlHandler(const std::filesystem::path& executable,
                                                const QProcessEnvironment& environment);

}  // namespace deskplay::app
