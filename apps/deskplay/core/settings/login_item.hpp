#pragma once

#include <QObject>

#include "platform/login_items.hpp"

namespace deskplay::core {

// The "Launch at login" switch: mirrors the system's registration of the application as a
// login item. Nothing is stored here; `enabled` is always read back from the system, so a
// registration that failed or awaits the user's approval shows as off. Main thread only.
class LoginItem final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)

 public:
  // `loginItems` must outlive the object.
  explicit LoginItem(platform::LoginItems& loginItems, QObject* parent = nullptr);

  bool enabled() const { return enabled_; }

  // Registers (unless already enabled) or unregisters; failures are swallowed, and the
  // system's status is read back and announced either way.
  void set(bool on);
  // Re-reads the system's status: approvals given in System Settings meanwhile show.
  void refresh();

 signals:
  void enabledChanged();

 private:
  platform::LoginItems& loginItems_;
  bool enabled_ = false;
};

}  // namespace deskplay::core
