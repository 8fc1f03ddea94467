#include "core/settings/login_item.hpp"

namespace deskplay::core {

namespace {

using ServiceStatus = platform::LoginItems::ServiceStatus;

}  // namespace

LoginItem::LoginItem(platform::LoginItems& loginItems, QObject* parent)
    : QObject(parent),
      loginItems_(loginItems),
      enabled_(loginItems.status() == ServiceStatus::enabled) {}

void LoginItem::set(bool on) {
  if (on) {
    if (loginItems_.status() != ServiceStatus::enabled) {
      static_cast<void>(loginItems_.registerMainApp());
    }
  } else {
    static_cast<void>(loginItems_.unregisterMainApp());
  }
  // Announced even when unchanged: a switch the user flipped must turn itself back when the
  // system did not follow.
  enabled_ = loginItems_.status() == ServiceStatus::enabled;
  emit enabledChanged();
}

void LoginItem::refresh() {
  const bool enabled = loginItems_.status() == ServiceStatus::enabled;
  if (enabled == enabled_) return;
  enabled_ = enabled;
  emit enabledChanged();
}

}  // namespace deskplay::core
