#include "core/catalog/catalog_store.hpp"

#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <memory>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "core/basics/repo_root.hpp"
#include "core/catalog/catalog_dump.hpp"
#include "core/catalog/catalog_order.hpp"
#include "core/catalog/game_folder_scan.hpp"
#include "core/catalog/game_json.hpp"

namespace deskplay::core {

namespace {

constexpr char kNoGamesError[] = "No games found in this build.";
constexpr char kNoCheckoutError[] = "Could not locate the tilestack repo (pnpm-workspace.yaml).";
constexpr char kDecodeErrorPrefix[] = "Catalog decode failed: ";

// `["a", "b"]`, with the quotes and backslashes inside an id escaped so that each id reads
// back whole; the log itself keeps line breaks from starting a line.
std::string quotedIdList(const std::vector<Game>& games) {
  std::string list = "[";
  for (size_t index = 0; index < games.size(); ++index) {
    if (index > 0) list += ", ";
    list += '"';
    for (const char character : games[index].id) {
      if (character == '"' || character == '\\') list += '\\';
      list += character;
    }
    list += '"';
  }
  return list + "]";
}

std::vector<Game> withoutDuplicateIds(std::vector<Game> games) {
  std::vector<Game> kept;
  kept.reserve(games.size());
  std::unordered_set<std::string> seen;
  for (Game& game : games) {
    if (seen.insert(game.id).second) kept.push_back(std::move(game));
  }
  return kept;
}

}  // namespace

CatalogStore::CatalogStore(AppPaths paths, platform::Preferences& preferences,
                           const platform::Clock& clock, platform::ToolPaths tools,
                           QProcessEnvironment environment, QObject* parent)
    : QObject(parent),
      paths_(std::move(paths)),
      preferences_(preferences),
      log_(paths_.applicationLog(), clock),
      tools_(std::move(tools)),
      environment_(std::move(environment)) {}

std::vector<Game> CatalogStore::games(GameSection section) const {
  return gamesInSection(games_, section);
}

std::optional<std::filesystem::path> CatalogStore::bundledGamesURL() const {
  const std::filesystem::path folder = paths_.resourceGamesFolder();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
  return folder;
}

void CatalogStore::load() {
  if (!bundledGamesURL()) {
    // The last good dump fills the library at once; a missing or unreadable one is ignored.
    if (const auto cached = preferences_.value(kCatalogJSONKey)) {
      if (const auto* data = cached->get<platform::PreferenceData>()) {
        const std::string_view bytes(reinterpret_cast<const char*>(data->bytes.data()),
                                     data->bytes.size());
        if (auto games = decodeCatalog(bytes); games.ok()) setGames(std::move(games).value());
      }
    }
  }
  refresh();
}

void CatalogStore::refresh() {
  if (const auto resourceGames = bundledGamesURL()) {
    refreshPackaged(*resourceGames);
  } else {
    refreshFromCheckout();
  }
}

void CatalogStore::refreshPackaged(const std::filesystem::path& resourceGames) {
  linkSharedFonts(resourceGames);
  const std::filesystem::path userGames = paths_.userGamesFolder();
  std::vector<Game> games;
  for (const auto& folder : {resourceGames, userGames}) {
    GameFolderScan scan = scanGameFolder(folder);
    // A broken game leaves the others playable; the log says why it is missing.
    for (const SkippedGameFolder& skipped : scan.skipped) {
      log_.write("catalog: skipped " + skipped.folder.string() + ": " + skipped.reason);
    }
    games.insert(games.end(), std::make_move_iterator(scan.games.begin()),
                 std::make_move_iterator(scan.games.end()));
  }
  // A bundled game wins over a user game of the same id: it comes first.
  games = withoutDuplicateIds(std::move(games));
  sortCatalog(games);
  log_.write("catalog: scanned " + resourceGames.string() + " + " + userGames.string() + " -> " +
             quotedIdList(games));
  const bool empty = games.empty();
  setGames(std::move(games));
  setRefreshError(empty ? std::optional<std::string>(kNoGamesError) : std::nullopt);
  emit refreshFinished();
}

void CatalogStore::linkSharedFonts(const std::filesystem::path& resourceGames) const {
  // User games reach the bundle's fonts through "fonts" beside them. Every step may fail;
  // the games then run without the shared fonts. Only a link, a file or an empty folder
  // gives way to the link: a folder holding the user's own files is never deleted.
  const std::filesystem::path userGames = paths_.userGamesFolder();
  const std::filesystem::path link = userGames / "fonts";
  std::error_code ignored;
  std::filesystem::create_directories(userGames, ignored);
  std::filesystem::remove(link, ignored);
  std::filesystem::create_directory_symlink(resourceGames / "fonts", link, ignored);
}

void CatalogStore::refreshFromCheckout() {
  const auto checkout = findRepoRoot(paths_.bundle);
  if (!checkout) {
    setRefreshError(kNoCheckoutError);
    emit refreshFinished();
    return;
  }
  // The worker only fills the promise; the watcher, owned by this store, hands the result to
  // the main thread, and goes with the store if it is destroyed first.
  auto promise = std::make_shared<QPromise<Result<QByteArray>>>();
  auto* watcher = new QFutureWatcher<Result<QByteArray>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    if (watcher->future().resultCount() > 0) applyDump(watcher->result());
    watcher->deleteLater();
  });
  watcher->setFuture(promise->future());
  promise->start();
  QThreadPool::globalInstance()->start(
      [promise, zsh = tools_.zsh, checkout = *checkout, environment = environment_] {
        promise->addResult(runCatalogDump(zsh, checkout, environment));
        promise->finish();
      });
}

void CatalogStore::applyDump(const Result<QByteArray>& dump) {
  if (!dump.ok()) {
    setRefreshError(dump.message());
    emit refreshFinished();
    return;
  }
  const QByteArray& output = dump.value();
  auto games =
      decodeCatalog(std::string_view(output.constData(), static_cast<size_t>(output.size())));
  if (!games.ok()) {
    setRefreshError(kDecodeErrorPrefix + games.message());
    emit refreshFinished();
    return;
  }
  setGames(std::move(games).value());
  setRefreshError(std::nullopt);
  platform::PreferenceData cache;
  cache.bytes.assign(output.begin(), output.end());
  // A cache that cannot be stored only costs the next start its head start.
  static_cast<void>(preferences_.setValue(kCatalogJSONKey, std::move(cache)));
  emit refreshFinished();
}

void CatalogStore::setGames(std::vector<Game> games) {
  if (games == games_) return;
  games_ = std::move(games);
  emit gamesChanged();
}

void CatalogStore::setRefreshError(std::optional<std::string> error) {
  if (error == refreshError_) return;
  refreshError_ = std::move(error);
  emit refreshErrorChanged();
}

}  // namespace deskplay::core
