#pragma once

#include <QObject>
#include <QString>

#include "platform/preferences.hpp"

namespace deskplay::core {

// The room server address as the Multiplayer settings show and edit it. Typing changes
// `urlString` alone; only commit() and reset() write the stored "serverURL", which is what
// resolvedServerURL() reads. The key is absent whenever the hosted server is in force.
// Main thread only.
class ServerConfig final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString urlString READ urlString WRITE setUrlString NOTIFY urlStringChanged)

 public:
  // `preferences` must outlive the object. Starts from the stored text, untrimmed, or the
  // hosted server's address when none is stored.
  explicit ServerConfig(platform::Preferences& preferences, QObject* parent = nullptr);

  const QString& urlString() const { return urlString_; }
  void setUrlString(const QString& urlString);

  // The trimmed text is the hosted server's address, exactly.
  bool isDefault() const;
  // The trimmed text starts with "ws://" or "wss://".
  bool isValid() const;

  // Stores the trimmed text, or removes the key when it is empty or the hosted address; an
  // address without a WebSocket scheme is stored as typed and then ignored by
  // resolvedServerURL().
  void commit();
  // Back to the hosted server: removes the key.
  void reset();

 signals:
  void urlStringChanged();

 private:
  std::string trimmed() const;

  platform::Preferences& preferences_;
  QString urlString_;
};

}  // namespace deskplay::core
