#include "app/tray_menu.hpp"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace deskplay::app {

namespace {

// A small controller shape, drawn so that the icon does not depend on the desktop's theme.
QIcon controllerIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 40, 48));
  painter.drawRoundedRect(QRectF(4, 18, 56, 30), 14, 14);
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(14, 30, 14, 5));
  painter.drawRect(QRectF(18.5, 25.5, 5, 14));
  painter.drawEllipse(QPointF(44, 29), 3.5, 3.5);
  painter.drawEllipse(QPointF(50, 37), 3.5, 3.5);
  return QIcon::fromTheme("input-gaming", QIcon(pixmap));
}

}  // namespace

TrayMenu::TrayMenu(core::SessionHost& host, core::GameSupervisor& supervisor,
                   core::CatalogStore& catalog, QObject* parent)
    : QObject(parent), host_(host), supervisor_(supervisor), catalog_(catalog) {
  icon_.setIcon(controllerIcon());
  icon_.setToolTip("Deskplay");
  icon_.setContextMenu(&menu_);
  // Queued: a change may come from one of the menu's own actions, which must not be deleted
  // while it is being triggered.
  const auto rebuildLater = Qt::QueuedConnection;
  connect(&catalog_, &core::CatalogStore::gamesChanged, this, &TrayMenu::rebuild, rebuildLater);
  connect(&catalog_, &core::CatalogStore::refreshErrorChanged, this, &TrayMenu::rebuild,
          rebuildLater);
  connect(&supervisor_, &core::GameSupervisor::stateChanged, this, &TrayMenu::rebuild,
          rebuildLater);
  connect(&supervisor_, &core::GameSupervisor::lastErrorChanged, this, &TrayMenu::rebuild,
          rebuildLater);
  rebuild();
}

void TrayMenu::show() {
  icon_.show();
}

void TrayMenu::rebuild() {
  menu_.clear();
  if (const auto& game = supervisor_.currentGame()) {
    menu_.addAction("Playing " + QString::fromStdString(game->name))->setEnabled(false);
    connect(menu_.addAction("Stop & restore"), &QAction::triggered, this, [this] { host_.stop(); });
  } else {
    addGames();
  }
  menu_.addSeparator();
  if (const auto& error = supervisor_.lastError()) {
    menu_.addAction(QString::fromStdString(*error))->setEnabled(false);
  }
  if (supervisor_.state() == core::SessionState::needsAttention || supervisor_.lastError()) {
    connect(menu_.addAction("Restore desktop"), &QAction::triggered, this,
            [this] { supervisor_.restoreDesktopNow(); });
  }
  connect(menu_.addAction("Reveal stash"), &QAction::triggered, this,
          [this] { supervisor_.revealStash(); });
  menu_.addSeparator();
  connect(menu_.addAction("Quit Deskplay"), &QAction::triggered, this, &TrayMenu::quitRequested);
}

void TrayMenu::addGames() {
  if (const auto& error = catalog_.refreshError()) {
    menu_.addAction(QString::fromStdString(*error))->setEnabled(false);
  }
  for (const auto& game : catalog_.games()) {
    // Online play needs the room screens of the popover; the tray offers solo play only.
    if (game.launch == core::LaunchMode::multiplayerOnly) continue;
    const std::vector<std::string> args = game.launch == core::LaunchMode::solo
                                              ? std::vector<std::string>{}
                                              : std::vector<std::string>{"solo"};
    connect(menu_.addAction(QString::fromStdString(game.name)), &QAction::triggered, this,
            [this, game, args] { supervisor_.play(game, args); });
  }
}

}  // namespace deskplay::app
