#include "core/appearance/change_journal.hpp"

#include <sstream>

#include "common/atomic_file.hpp"
#include "common/small_file.hpp"

namespace deskplay::core {

namespace {

constexpr std::string_view kKeptMarker = "glyphon";

}  // namespace

std::filesystem::path changeJournalFile(const std::filesystem::path& snapshotFile) {
  return snapshotFile.parent_path() / "desktop-changes";
}

Status startChangeJournal(const std::filesystem::path& file) {
  return replaceFileAtomically(file, "", 0600);
}

TouchedSettings readChangeJournal(const std::filesystem::path& file) {
  const auto text = readSmallFile(file, kRecordFileLimit, FinalLink::refuse);
  if (!text.ok() || !text.value()) return std::nullopt;
  std::set<std::string, std::less<>> touched;
  bool kept = false;
  std::istringstream lines(*text.value());
  for (std::string line; std::getline(lines, line);) {
    if (line == kKeptMarker) {
      kept = true;
    } else if (!line.empty()) {
      touched.insert(line);
    }
  }
  if (!kept) return std::nullopt;
  return touched;
}

}  // namespace deskplay::core
