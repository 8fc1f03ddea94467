#include "session.hpp"

#include <optional>

#include "command.hpp"
#include "plist_edit.hpp"
#include "plist_files/plist_file.hpp"

namespace deskplay::plistbuddy {

namespace {

bool mayChangeFile(const std::vector<std::string>& commands) {
  for (const std::string& text : commands) {
    const Result<Command> command = parseCommand(text);
    if (command.ok() && command.value().verb != Verb::print) return true;
  }
  return false;
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// Runs one command; reports whether it changed the document.
Result<bool> runCommand(plist_t root, const std::string& text, std::ostream& output) {
  Result<Command> parsed = parseCommand(text);
  if (!parsed.ok()) return parsed.error();
  const Command& command = parsed.value();
  switch (command.verb) {
    case Verb::print: {
      const Result<std::string> shown = printEntry(root, command);
      if (!shown.ok()) return shown.error();
      output << shown.value() << '\n';
      return false;
    }
    case Verb::set: {
      const Status set = setEntry(root, command);
      if (!set.ok()) return set.error();
      return true;
    }
    case Verb::add: {
      const Status added = addEntry(root, command);
      if (!added.ok()) return added.error();
      return true;
    }
  }
  return false;
}

}  // namespace

int runCommands(const std::string& file, const std::vector<std::string>& commands,
                std::ostream& output, std::ostream& errors) {
  const std::filesystem::path path(file);
  std::optional<plist::PlistFolderLock> lock;
  if (mayChangeFile(commands)) {
    Result<plist::PlistFolderLock> acquired = plist::PlistFolderLock::acquire(folderOf(path));
    if (!acquired.ok()) {
      errors << "Error Writing File: " << file << " (" << acquired.message() << ")\n";
      return 1;
    }
    lock.emplace(std::move(acquired).value());
  }

  Result<std::optional<plist::PlistDocument>> read = plist::readPlistFile(path);
  if (!read.ok()) {
    errors << "Error Reading File: " << file << '\n';
    return 1;
  }
  plist::PlistDocument document;
  if (read.value().has_value()) {
    document = std::move(*read.value());
  } else {
    output << "File Doesn't Exist, Will Create: " << file << '\n';
    document.root = plist::PlistNode(plist_new_dict());
  }

  bool changed = false;
  for (const std::string& text : commands) {
    const Result<bool> ran = runCommand(document.root.get(), text, output);
    if (!ran.ok()) {
      errors << ran.message() << '\n';
      return 1;
    }
    changed = changed || ran.value();
  }
  if (!changed) return 0;
  const Status written = plist::writePlistFile(path, document.root.get(), document.format);
  if (!written.ok()) {
    errors << "Error Writing File: " << file << " (" << written.message() << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace deskplay::plistbuddy
