// Each input is what Burrowd could find on its standard input. Every line goes through the
// real decoder, a real StashController on scratch Desktop and stash folders, and the reply
// encoders, as runBurrowd serves a line. runBurrowd itself is not called: it would open and
// lock the folders again for every input, and the fuzzer has to know which requests changed
// the folders so that it can put them back before the next input.
//
// Besides what the sanitizers catch, a line whose reply cannot be written (which would end
// Burrowd) or is not exactly one JSON line is a crash.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "common/exclusive_rename.hpp"
#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "entry_name.hpp"
#include "line_reader.hpp"
#include "reply.hpp"
#include "request.hpp"
#include "stash_controller.hpp"

namespace deskplay::burrowd {

namespace {

namespace fs = std::filesystem;

// Quotes, a slash, control characters and non-ASCII text, so that reading it back escapes.
constexpr std::string_view kSeedJournal =
    "{\"moves\":[{\"from\":\"desktop/report.pdf\",\"to\":\"stash\"}]}\n\ttab, é, 🎮";

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "burrowd_request_fuzzer: %s\n", message.c_str());
  std::abort();
}

// In memory where possible: every journal write syncs, and fuzzing wants speed, not
// durability.
fs::path scratchParent() {
  std::error_code ignored;
  if (fs::is_directory("/dev/shm", ignored)) return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return (tmp != nullptr && *tmp != '\0') ? fs::path(tmp) : fs::path("/tmp");
}

void writeFile(const fs::path& path, std::string_view content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
  if (!file) die("cannot write " + path.string());
}

enum class Kind { File, Folder, Link };

struct ScratchEntry {
  std::string_view side;
  std::string_view name;
  Kind kind;
};

constexpr ScratchEntry kEntries[] = {
    {"desktop", "report.pdf", Kind::File},
    // One name composed and decomposed: canonically equal, so they sort together.
    {"desktop", "R\u00e9sum\u00e9.txt", Kind::File},
    {"desktop", "Re\u0301sume\u0301.txt", Kind::File},
    {"desktop", ".hidden", Kind::File},
    {"desktop", "Photos", Kind::Folder},
    {"desktop", "shortcut", Kind::Link},
    {"stash", "stashed.txt", Kind::File},
};

// A Desktop and a stash holding kEntries and the journal, removed at exit.
class ScratchFolders {
 public:
  ScratchFolders() {
    std::string pattern = scratchParent() / "burrowd-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) die("cannot make a folder in " + pattern);
    root_ = pattern;
    fs::create_directory(desktop());
    fs::create_directory(stash());
    for (const ScratchEntry& entry : kEntries) {
      const fs::path path = folder(entry.side) / entry.name;
      switch (entry.kind) {
        case Kind::File:
          writeFile(path, entry.name);
          break;
        case Kind::Folder:
          fs::create_directory(path);
          break;
        case Kind::Link:
          fs::create_symlink("report.pdf", path);
          break;
      }
    }
    // A name no request can spell: listing the stash always fails, listing the Desktop not.
    writeFile(stash() / "not UTF-8 \xff.bin", "");
    writeFile(stash() / kManifestName, kSeedJournal);
  }
  ScratchFolders(const ScratchFolders&) = delete;
  ScratchFolders& operator=(const ScratchFolders&) = delete;
  ~ScratchFolders() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path desktop() const { return root_ / "Desktop"; }
  fs::path stash() const { return root_ / "stash"; }
  fs::path folder(std::string_view side) const { return side == "desktop" ? desktop() : stash(); }

 private:
  fs::path root_;
};

UniqueFd openDirectory(const fs::path& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) die("cannot open " + path.string());
  return fd;
}

// Burrowd writes each reply to its standard output, here `output`; it must be one JSON line.
void checkReply(const Status& sent, int output) {
  if (!sent.ok()) die("a reply that cannot be written, which ends Burrowd: " + sent.message());
  std::string line(static_cast<std::size_t>(::lseek(output, 0, SEEK_CUR)), '\0');
  if (::pread(output, line.data(), line.size(), 0) != static_cast<ssize_t>(line.size()) ||
      ::ftruncate(output, 0) != 0 || ::lseek(output, 0, SEEK_SET) != 0) {
    die("cannot read the reply back");
  }
  if (line.empty() || line.find('\n') != line.size() - 1) {
    die("a reply that is not one line: " + line);
  }
  if (!nlohmann::json::accept(std::string_view(line).substr(0, line.size() - 1))) {
    die("a reply that is not JSON: " + line);
  }
}

class Harness {
 public:
  Harness()
      : controller_(openController(folders_)),
        desktop_(openDirectory(folders_.desktop())),
        stash_(openDirectory(folders_.stash())),
        input_(::memfd_create("burrowd-request-lines", MFD_CLOEXEC)),
        output_(::memfd_create("burrowd-replies", MFD_CLOEXEC)) {
    if (!input_.valid() || !output_.valid()) die("memfd_create failed");
  }

  void serve(const std::uint8_t* data, std::size_t size) {
    load(data, size);
    LineReader reader(input_.get());
    while (reader.beginLine()) {
      Result<Request> request = decodeRequest(reader);
      if (!request.ok()) {
        checkReply(sendErrorReply(output_.get(), request.message()), output_.get());
        continue;
      }
      const Result<ActionValue> value = controller_.handle(request.value());
      if (value.ok()) remember(std::move(request).value());
      checkReply(value.ok() ? sendSuccessReply(output_.get(), value.value())
                            : sendErrorReply(output_.get(), value.message()),
                 output_.get());
    }
    putBack();
  }

 private:
  static StashController openController(const ScratchFolders& folders) {
    Result<StashController> opened =
        StashController::open(folders.desktop().string(), folders.stash().string());
    if (!opened.ok()) die("cannot open the controller: " + opened.message());
    return std::move(opened).value();
  }

  // The input becomes the descriptor's whole content, read from its start.
  void load(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (::ftruncate(input_.get(), 0) != 0 || ::lseek(input_.get(), 0, SEEK_SET) != 0 ||
        writeAll(input_.get(), bytes) != 0 || ::lseek(input_.get(), 0, SEEK_SET) != 0) {
      die("cannot load the input");
    }
  }

  void remember(Request request) {
    if (request.action == "write") journalWritten_ = true;
    if (request.action == "move") moves_.push_back(std::move(request));
  }

  int directory(std::string_view side) const {
    return side == "desktop" ? desktop_.get() : stash_.get();
  }

  // Undoes this input's moves, last first, and brings back the first journal, so that every
  // input starts from the same folders. (A move only succeeds when the input carries the
  // entry's identity map, which changes from run to run and which the fuzzer can only learn
  // from comparison feedback, so this is rare, but then it must not leak into later inputs.)
  void putBack() {
    for (auto move = moves_.rbegin(); move != moves_.rend(); ++move) {
      if (renameExclusive(directory(move->to->side), move->to->name.c_str(),
                          directory(move->from->side), move->from->name.c_str()) != 0) {
        die("cannot move " + move->to->name + " back to " + move->from->name);
      }
    }
    moves_.clear();
    if (journalWritten_) {
      const std::string manifest(kManifestName);
      const UniqueFd journal(
          ::openat(stash_.get(), manifest.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
      if (!journal.valid() || writeAll(journal.get(), kSeedJournal) != 0) {
        die("cannot restore the journal");
      }
      journalWritten_ = false;
    }
  }

  ScratchFolders folders_;
  StashController controller_;
  UniqueFd desktop_;
  UniqueFd stash_;
  UniqueFd input_;
  UniqueFd output_;
  std::vector<Request> moves_;
  bool journalWritten_ = false;
};

}  // namespace

}  // namespace deskplay::burrowd

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One controller for the whole run, as one Burrowd serves many lines.
  static deskplay::burrowd::Harness harness;
  harness.serve(data, size);
  return 0;
}
