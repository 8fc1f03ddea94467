#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.hpp"
#include "platform/observation.hpp"

namespace deskplay::simdesk {

enum class PrivacyService { accessibility, inputMonitoring };

// A System Settings pane that an application opened, or a trust prompt it caused.
struct PrivacyRecord {
  std::string application;
  std::string detail;  // the URL opened; for a prompt, the service ("accessibility")
  friend bool operator==(const PrivacyRecord&, const PrivacyRecord&) = default;
};

// The privacy permissions per application name (all granted until revoked), the prompts and
// settings panes they caused, and the reduce-motion accessibility setting.
class Privacy {
 public:
  bool isGranted(PrivacyService service, std::string_view application) const;
  void grant(PrivacyService service, std::string_view application);
  void revoke(PrivacyService service, std::string_view application);

  // AXIsProcessTrustedWithOptions: with Prompt::yes an untrusted application's question is
  // recorded, as the system would show its prompt.
  bool isProcessTrusted(std::string_view application, platform::Accessibility::Prompt prompt);
  const std::vector<PrivacyRecord>& prompts() const { return prompts_; }

  // Records an "x-apple.systempreferences:" URL an application opened; false for another
  // scheme (which this does not handle).
  bool openSettingsUrl(std::string_view application, std::string_view url);
  const std::vector<PrivacyRecord>& openedSettingsPanes() const { return openedPanes_; }

  bool reduceMotion() const { return reduceMotion_; }
  // Notifies the observers when the value changes.
  void setReduceMotion(bool on);
  std::unique_ptr<platform::Observation> observeReduceMotion(std::function<void()> changed);

  // Called after every grant or revoke that changed something.
  void addPermissionListener(
      std::function<void(PrivacyService, const std::string& application)> listener);

  // The revoked application names of a service.
  const std::set<std::string, std::less<>>& revoked(PrivacyService service) const;

 private:
  class ReduceMotionObservation;
  std::set<std::string, std::less<>>& revokedSet(PrivacyService service);

  std::set<std::string, std::less<>> revokedAccessibility_;
  std::set<std::string, std::less<>> revokedInputMonitoring_;
  std::vector<PrivacyRecord> prompts_;
  std::vector<PrivacyRecord> openedPanes_;
  bool reduceMotion_ = false;
  std::shared_ptr<std::map<int, std::function<void()>>> reduceMotionObservers_ =
      std::make_shared<std::map<int, std::function<void()>>>();
  int nextObserver_ = 0;
  std::vector<std::function<void(PrivacyService, const std::string&)>> permissionListeners_;
};

}  // namespace deskplay::simdesk
