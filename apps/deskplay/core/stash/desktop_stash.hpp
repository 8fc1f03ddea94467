#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace deskplay::core {

// Which way an entry is about to move.
enum class StashMove { Hide, Restore };

// Moves the Desktop's visible entries aside into a stash directory while a game runs, and
// back afterwards. Every move is one exclusive rename inside the home volume, so an entry is
// always whole in exactly one of the two places, whenever the process stops; the next
// restore() picks up wherever an earlier run left off. Main thread only, one call at a time.
class DesktopStash final {
 public:
  // Called just before each entry moves, with the number of entries this call moved before it
  // and the entry's name. Lets a caller follow progress or stop a run at a chosen step.
  using MoveHook =
      std::function<void(StashMove direction, std::size_t index, const std::string& name)>;

  static constexpr const char* kDesktopFolderName = "Desktop";
  static constexpr const char* kStashFolderName = ".deskplay-stash";
  // Finder's folder metadata; it belongs to the stash and never moves back out.
  static constexpr const char* kFinderMetadataName = ".DS_Store";

  DesktopStash(std::filesystem::path desktop, std::filesystem::path storage);
  // home/"Desktop" and home/".deskplay-stash".
  static DesktopStash forHome(const std::filesystem::path& home);

  const std::filesystem::path& desktop() const { return desktop_; }
  const std::filesystem::path& storage() const { return storage_; }

  // Moves every Desktop entry whose name does not start with "." into the stash, creating
  // the stash only when there is something to move. False when the Desktop is not a
  // directory, cannot be listed, the stash cannot be made, or any entry could not move (the
  // others still move).
  [[nodiscard]] bool hide();

  // Moves every stash entry but ".DS_Store" back and removes the stash. True when there is no
  // stash. False, leaving the stash and whatever could not move, when any move fails (for
  // example a Desktop entry of the same name appeared meanwhile) or either side is not a
  // directory.
  [[nodiscard]] bool restore();

  void setMoveHook(MoveHook hook) { moveHook_ = std::move(hook); }

 private:
  std::filesystem::path desktop_;
  std::filesystem::path storage_;
  MoveHook moveHook_;
};

}  // namespace deskplay::core
