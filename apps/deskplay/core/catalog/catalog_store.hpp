#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/basics/app_paths.hpp"
#include "core/basics/arcade_log.hpp"
#include "core/catalog/game.hpp"
#include "platform/clock.hpp"
#include "platform/preferences.hpp"
#include "platform/tool_paths.hpp"

namespace deskplay::core {

// The user-defaults key of the cached catalog: the exact bytes of the last good dump.
inline constexpr char kCatalogJSONKey[] = "catalogJSON";

// The list of games the interface shows, and the one error text about loading it.
//
// Packaged layout (the bundle has a resource games folder): the games are read from that
// folder and the user games folder, synchronously. Development layout: the engine's catalog
// dump runs in the checkout on a background thread, and its result is published on the main
// thread; the last good dump is cached in the user defaults so the next start shows it at
// once. Published fields change on the main thread only.
class CatalogStore final : public QObject {
  Q_OBJECT
  Q_PROPERTY(std::vector<deskplay::core::Game> games READ games NOTIFY gamesChanged)
  Q_PROPERTY(std::optional<std::string> refreshError READ refreshError NOTIFY refreshErrorChanged)

 public:
  // `preferences` and `clock` must outlive the store. `environment` is what the catalog dump
  // runs with.
  CatalogStore(AppPaths paths, platform::Preferences& preferences, const platform::Clock& clock,
               platform::ToolPaths tools,
               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
               QObject* parent = nullptr);

  // The catalog in display order; empty at first.
  const std::vector<Game>& games() const { return games_; }
  // The games of one library section, in catalog order.
  std::vector<Game> games(GameSection section) const;
  // Why loading failed, when it did.
  const std::optional<std::string>& refreshError() const { return refreshError_; }

  // Resources + "games" when that folder exists: the packaged layout.
  std::optional<std::filesystem::path> bundledGamesURL() const;

  // Start-up: shows the cached catalog in the development layout, then refreshes.
  void load();
  // Re-reads the catalog. In the development layout each call runs its own dump and the last
  // to finish wins; `refreshError` keeps its value until then.
  void refresh();

 signals:
  void gamesChanged();
  void refreshErrorChanged();
  // A refresh has published its outcome (at once in the packaged layout, when its dump ends
  // in the development layout).
  void refreshFinished();

 private:
  void refreshPackaged(const std::filesystem::path& resourceGames);
  void refreshFromCheckout();
  void applyDump(const Result<QByteArray>& dump);
  void linkSharedFonts(const std::filesystem::path& resourceGames) const;
  void setGames(std::vector<Game> games);
  void setRefreshError(std::optional<std::string> error);

  AppPaths paths_;
  platform::Preferences& preferences_;
  ArcadeLog log_;
  platform::ToolPaths tools_;
  QProcessEnvironment environment_;
  std::vector<Game> games_;
  std::optional<std::string> refreshError_;
};

}  // namespace deskplay::core
