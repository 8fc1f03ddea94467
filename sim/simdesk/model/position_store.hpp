#pragma once

#include <cstddef>
#include <filesystem>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/result.hpp"
#include "platform/geometry.hpp"

namespace deskplay::simdesk {

// Finder's memory of where each desktop item sits, by name, kept in a JSON file outside the
// Desktop folder so that a relaunched Finder (and a restarted simdesk) finds its icons where
// they were. Names that left the Desktop are remembered too, as .DS_Store does, up to a
// bound, so an item that comes back returns to its place.
class PositionStore {
 public:
  static constexpr std::size_t kRememberedAbsent = 4096;

  explicit PositionStore(std::filesystem::path file);

  // Reads the file; a missing or broken file leaves the store empty.
  void load();
  // Writes the file when something changed since the last save.
  Status save();

  std::optional<platform::Point> find(std::string_view name) const;
  void set(const std::string& name, platform::Point position);
  // The item left the Desktop: its position is kept among the bounded absent ones.
  void markAbsent(const std::string& name);
  void markPresent(const std::string& name);
  // The name is no item's any more (it was renamed): nothing is remembered for it.
  void forget(const std::string& name);
  bool dirty() const { return dirty_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  struct Entry {
    platform::Point position;
    bool present = true;
    std::list<std::string>::iterator absentSlot;
  };
  std::filesystem::path file_;
  std::unordered_map<std::string, Entry> entries_;
  std::list<std::string> absentOrder_;  // oldest first
  bool dirty_ = false;
};

}  // namespace deskplay::simdesk
