#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string_view>

#include "core/basics/arcade_log.hpp"
#include "platform/accessibility.hpp"
#include "platform/main_loop_timers.hpp"
#include "platform/privacy_checks.hpp"
#include "platform/workspace.hpp"

namespace deskplay::core {

// The System Settings rows that open() shows.
inline constexpr std::string_view kAccessibilityAnchor = "Privacy_Accessibility";
inline constexpr std::string_view kInputMonitoringAnchor = "Privacy_ListenEvent";

// The prefix of a System Settings privacy pane's URL; the anchor follows it.
inline constexpr std::string_view kSecurityPaneUrl =
    "x-apple.systempreferences:com.apple.preference.security?";

// Whether the two privacy permissions that global key reading needs are granted, polled once
// a second while the settings screens are open. Every change of what it reports (and its
// first report) is one "perms: …" line in the application log. Main thread only.
class PermissionsModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool accessibility READ accessibility NOTIFY accessibilityChanged)
  Q_PROPERTY(bool inputMonitoring READ inputMonitoring NOTIFY inputMonitoringChanged)

 public:
  // The poll's interval.
  static constexpr platform::Clock::Seconds kPollInterval{1.0};

  // The ports and `timers` must outlive the model. `relaunch` starts a new instance of the
  // application and quits this one. Reads the permissions once.
  PermissionsModel(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy,
                   platform::Workspace& workspace, platform::MainLoopTimers& timers, ArcadeLog log,
                   std::function<void()> relaunch, QObject* parent = nullptr);
  ~PermissionsModel() override;

  bool accessibility() const { return accessibility_; }
  bool inputMonitoring() const { return inputMonitoring_; }
  bool isPolling() const { return poll_ != nullptr; }

  // Reads both permissions (never prompting) and publishes them.
  void refresh();
  // Refreshes now and then every kPollInterval; a second start while polling is ignored, so
  // nested screens never poll twice.
  void startPolling();
  void stopPolling();

  // Opens the privacy pane of System Settings at `anchor`; nothing when that gives no URL.
  void open(std::string_view anchor);
  // Input Monitoring takes effect only in a new process.
  void relaunch();

 signals:
  void accessibilityChanged();
  void inputMonitoringChanged();

 private:
  platform::Accessibility& accessibilityPort_;
  platform::PrivacyChecks& privacy_;
  platform::Workspace& workspace_;
  platform::MainLoopTimers& timers_;
  ArcadeLog log_;
  std::function<void()> relaunch_;
  bool accessibility_ = false;
  bool inputMonitoring_ = false;
  bool loggedOnce_ = false;
  std::unique_ptr<platform::TimerHandle> poll_;
};

}  // namespace deskplay::core
