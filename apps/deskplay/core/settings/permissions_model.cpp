#include "core/settings/permissions_model.hpp"

#include <QString>
#include <QUrl>
#include <string>
#include <utility>

namespace deskplay::core {

namespace {

const char* text(bool value) {
  return value ? "true" : "false";
}

}  // namespace

PermissionsModel::PermissionsModel(platform::Accessibility& accessibility,
                                   platform::PrivacyChecks& privacy, platform::Workspace& workspace,
                                   platform::MainLoopTimers& timers, ArcadeLog log,
                                   std::function<void()> relaunch, QObject* parent)
    : QObject(parent),
      accessibilityPort_(accessibility),
      privacy_(privacy),
      workspace_(workspace),
      timers_(timers),
      log_(std::move(log)),
      relaunch_(std::move(relaunch)) {
  refresh();
}

PermissionsModel::~PermissionsModel() = default;

void PermissionsModel::refresh() {
  const bool trusted = accessibilityPort_.isProcessTrusted(platform::Accessibility::Prompt::no);
  const bool listening = privacy_.listenEventAccess() == platform::PrivacyChecks::Access::granted;
  if (trusted != accessibility_ || listening != inputMonitoring_ || !loggedOnce_) {
    log_.write(std::string("perms: accessibility=") + text(trusted) +
               " inputMonitoring=" + text(listening) + " polling=" + text(isPolling()));
    loggedOnce_ = true;
  }
  if (trusted != accessibility_) {
    accessibility_ = trusted;
    emit accessibilityChanged();
  }
  if (listening != inputMonitoring_) {
    inputMonitoring_ = listening;
    emit inputMonitoringChanged();
  }
}

void PermissionsModel::startPolling() {
  if (isPolling()) {
    log_.write("perms: startPolling ignored (already polling)");
    return;
  }
  log_.write("perms: startPolling");
  refresh();
  poll_ = timers_.repeating(kPollInterval, [this] { refresh(); });
}

void PermissionsModel::stopPolling() {
  // Both the settings menu and its pane stop the poll as they go; each stop is logged, so the
  // log shows every screen that went away, polling or not.
  log_.write("perms: stopPolling");
  poll_.reset();
}

void PermissionsModel::open(std::string_view anchor) {
  std::string address(kSecurityPaneUrl);
  address.append(anchor);
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  if (!url.isValid()) return;
  static_cast<void>(workspace_.openUrl(address));
}

void PermissionsModel::relaunch() {
  if (relaunch_) relaunch_();
}

}  // namespace deskplay::core
