#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/account/account_store.hpp"
#include "core/catalog/game.hpp"
#include "core/keys/key_tap.hpp"
#include "core/settings/server_config.hpp"
#include "ui/models/room_code.hpp"

namespace deskplay::ui {

// The host-or-join screen of an online game: the room code to share or the one typed in, the
// sign-in asked for before the hosted room server is used, and the engine arguments of the
// start. Main thread only.
class MultiplayerSetupModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString mode READ mode WRITE setMode NOTIFY changed)
  Q_PROPERTY(QString hostCode READ hostCode NOTIFY changed)
  Q_PROPERTY(QString joinCode READ joinCode WRITE setJoinCode NOTIFY changed)
  Q_PROPERTY(bool canPlay READ canPlay NOTIFY changed)
  Q_PROPERTY(bool unlocked READ unlocked NOTIFY changed)
  Q_PROPERTY(bool signInPending READ signInPending NOTIFY changed)
  Q_PROPERTY(QString accountError READ accountError NOTIFY changed)
  Q_PROPERTY(QString codeCaption READ codeCaption NOTIFY changed)
  Q_PROPERTY(QString note READ note NOTIFY changed)
  Q_PROPERTY(QString playLabel READ playLabel NOTIFY changed)

 public:
  enum class Mode { host, join };

  struct Stores {
    core::KeyTap& tap;
    core::AccountStore& account;
    core::ServerConfig& server;
  };
  using PlayHandler = std::function<void(const std::vector<std::string>& arguments)>;

  // `onPlay` receives the engine arguments of a start.
  MultiplayerSetupModel(Stores stores, PlayHandler onPlay, UniformDraw draw = secureUniform,
                        QObject* parent = nullptr);

  // The screen is shown for `game`: hosting, with a fresh code and an empty join field, and
  // the account is read again so that a stored session counts.
  void begin(const core::Game& game);

  Mode modeValue() const { return mode_; }
  QString mode() const;
  void setMode(const QString& mode);
  void setModeValue(Mode mode);
  QString hostCode() const { return QString::fromStdString(hostCode_); }
  QString joinCode() const { return joinCode_; }
  void setJoinCode(const QString& code);

  // Signed in, or playing on a room server of one's own, which needs no account.
  bool unlocked() const;
  // Games may start, and there is a code to play with.
  bool canPlay() const;
  // Not unlocked, and the browser sign-in is waiting for its callback.
  bool signInPending() const;
  QString accountError() const;
  QString codeCaption() const;
  QString note() const;
  QString playLabel() const;
  // ("join", code): the engine joins the room in both modes; the host's code goes as shown,
  // a typed code without the spaces and tabs around it.
  std::vector<std::string> playArguments() const;

  Q_INVOKABLE void regenerateCode();
  // Hands the arguments to the start unless playing is not possible now.
  Q_INVOKABLE void play();
  Q_INVOKABLE void signIn();
  Q_INVOKABLE void reopenSignInPage();
  Q_INVOKABLE void cancelSignIn();

 signals:
  void changed();

 private:
  std::string trimmedJoinCode() const;

  Stores stores_;
  PlayHandler onPlay_;
  UniformDraw draw_;
  bool fourPlayers_ = false;
  Mode mode_ = Mode::host;
  std::string hostCode_;
  QString joinCode_;
};

}  // namespace deskplay::ui
