#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "common/file_status.hpp"
#include "common/result.hpp"
#include "common/unique_fd.hpp"
#include "request.hpp"
#include "stash_journal.hpp"

namespace deskplay::burrowd {

using Json = nlohmann::ordered_json;

// What a successful action answers: a JSON value, or the journal's text, which goes out as a
// JSON string straight from the bytes read.
using ActionValue = std::variant<Json, JournalText>;

// Holds the Desktop and stash directories open and exclusively locked for its whole life
// and carries out requests against them, addressing entries only relative to the two
// descriptors. Every error is the description that goes into the reply.
class StashController {
 public:
  // Opens, checks and locks both directories.
  static Result<StashController> open(const std::string& desktopPath, const std::string& stashPath);

  // The identity maps of both directories, as the ready reply carries them.
  Json readyValue() const;

  // Checks that both roots are still the directories opened at start, then runs the action.
  Result<ActionValue> handle(const Request& request) const;

 private:
  StashController(UniqueFd desktop, UniqueFd stash, std::string desktopPath, std::string stashPath,
                  IdentityMap desktopID, IdentityMap stashID);

  Status validateRoots() const;
  Result<int> directory(std::string_view side) const;
  Result<std::optional<FileStatus>> metadata(const Endpoint& endpoint) const;

  Result<Json> list(const Request& request) const;
  Result<Json> stat(const Request& request) const;
  Result<Json> move(const Request& request) const;
  Result<ActionValue> readJournal() const;
  Result<Json> writeJournal(const Request& request) const;

  UniqueFd desktop_;
  UniqueFd stash_;
  std::string desktopPath_;
  std::string stashPath_;
  IdentityMap desktopID_;
  IdentityMap stashID_;
};

}  // namespace deskplay::burrowd
