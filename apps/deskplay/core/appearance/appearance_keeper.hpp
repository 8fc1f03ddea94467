#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/appearance/appearance_restore.hpp"
#include "core/appearance/appearance_services.hpp"
#include "core/appearance/desktop_appearance.hpp"
#include "core/basics/arcade_log.hpp"

namespace deskplay::core {

// Keeps the desktop's look across a game: records it durably before the game changes
// anything, and puts it back afterwards, however the game ended, or at the next start when
// the application itself died meanwhile. Main thread only.
class AppearanceKeeper {
 public:
  AppearanceKeeper(AppearanceServices services, std::filesystem::path snapshotFile,
                   std::filesystem::path desktop, ArcadeLog log);

  // Before the stash moves anything: the look now and the positions of the Desktop's visible
  // items, written to the snapshot, and a new, empty journal of the game's changes. A snapshot
  // still there from an earlier session whose look was not fully put back is kept: it holds the
  // look from before that session, which is the user's. A snapshot that cannot be written is kept
  // in memory for this run.
  void record();

  // After the stash restore: puts back what differs from the snapshot (see
  // putBackDesktopAppearance), then removes the snapshot and the journal once everything went
  // back and the stash is empty (`filesRestored`); otherwise they stay for the next try. A
  // snapshot that cannot be read is moved aside and logged, never applied in part.
  //
  // Which settings are put back: those the journal says the game changed, when it says so.
  // A value that differs from the snapshot but that the game never asked to change was
  // changed by the user during the game (or by another program), and stays. Without a
  // readable journal that says its notes were kept (the game's icon controller never
  // started, or cannot keep notes), Deskplay cannot tell the game's changes from the user's
  // and puts back every value that differs: the desktop coming back matters more. The
  // icons' places are always put back: the user's items are in the stash during the game, so
  // only the game and the stash can have moved them.
  void putBack(bool filesRestored);

  const std::filesystem::path& snapshotFile() const { return snapshotFile_; }
  // Handed to the engine, for the icon controller's notes.
  std::filesystem::path changeJournal() const;

 private:
  AppearanceServices services_;
  std::filesystem::path snapshotFile_;
  std::filesystem::path desktop_;
  ArcadeLog log_;
  // The look recorded by this run, for when the snapshot could not be written.
  std::optional<DesktopAppearance> unwritten_;
};

}  // namespace deskplay::core
