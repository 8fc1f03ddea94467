#pragma once

#include <filesystem>

#include "common/result.hpp"
#include "core/appearance/appearance_restore.hpp"

namespace deskplay::core {

// The journal in which the icon controller notes each desktop setting it is asked to change
// during a game (one name a line, after a first line "glyphon" that says notes are kept). It
// lies beside the snapshot and lives as long as it.
std::filesystem::path changeJournalFile(const std::filesystem::path& snapshotFile);

// A new, empty journal, durably, readable and writable by the user only.
Status startChangeJournal(const std::filesystem::path& file);

// The settings the game changed. Nothing (so everything may have changed) unless the journal
// can be read and says that its notes were kept.
TouchedSettings readChangeJournal(const std::filesystem::path& file);

}  // namespace deskplay::core
