#include "sim/simdesk/model/privacy.hpp"

namespace deskplay::simdesk {

namespace {

constexpr std::string_view kSettingsScheme = "x-apple.systempreferences:";

std::string_view serviceName(PrivacyService service) {
  return service == PrivacyService::accessibility ? "accessibility" : "input-monitoring";
}

}  // namespace

class Privacy::ReduceMotionObservation final : public platform::Observation {
 public:
  ReduceMotionObservation(std::weak_ptr<std::map<int, std::function<void()>>> observers, int id)
      : observers_(std::move(observers)), id_(id) {}
  ~ReduceMotionObservation() override {
    if (auto observers = observers_.lock()) observers->erase(id_);
  }

 private:
  std::weak_ptr<std::map<int, std::function<void()>>> observers_;
  int id_;
};

const std::set<std::string, std::less<>>& Privacy::revoked(PrivacyService service) const {
  return service == PrivacyService::accessibility ? revokedAccessibility_
                                                  : revokedInputMonitoring_;
}

std::set<std::string, std::less<>>& Privacy::revokedSet(PrivacyService service) {
  return service == PrivacyService::accessibility ? revokedAccessibility_
                                                  : revokedInputMonitoring_;
}

bool Privacy::isGranted(PrivacyService service, std::string_view application) const {
  return !revoked(service).contains(application);
}

void Privacy::grant(PrivacyService service, std::string_view application) {
  auto& set = revokedSet(service);
  auto it = set.find(application);
  if (it == set.end()) return;
  set.erase(it);
  for (auto& listener : permissionListeners_) listener(service, std::string(application));
}

void Privacy::revoke(PrivacyService service, std::string_view application) {
  auto& set = revokedSet(service);
  if (!set.emplace(application).second) return;
  for (auto& listener : permissionListeners_) listener(service, std::string(application));
}

bool Privacy::isProcessTrusted(std::string_view application,
                               platform::Accessibility::Prompt prompt) {
  const bool trusted = isGranted(PrivacyService::accessibility, application);
  if (!trusted && prompt == platform::Accessibility::Prompt::yes) {
    prompts_.push_back(PrivacyRecord{std::string(application),
                                     std::string(serviceName(PrivacyService::accessibility))});
  }
  return trusted;
}

bool Privacy::openSettingsUrl(std::string_view application, std::string_view url) {
  if (!url.starts_with(kSettingsScheme)) return false;
  openedPanes_.push_back(PrivacyRecord{std::string(application), std::string(url)});
  return true;
}

void Privacy::setReduceMotion(bool on) {
  if (reduceMotion_ == on) return;
  reduceMotion_ = on;
  // Observers may remove themselves while being told.
  const auto snapshot = *reduceMotionObservers_;
  for (const auto& [id, observer] : snapshot) {
    if (reduceMotionObservers_->contains(id)) observer();
  }
}

std::unique_ptr<platform::Observation> Privacy::observeReduceMotion(
    std::function<void()> changed) {
  const int id = nextObserver_++;
  reduceMotionObservers_->emplace(id, std::move(changed));
  return std::make_unique<ReduceMotionObservation>(reduceMotionObservers_, id);
}

void Privacy::addPermissionListener(
    std::function<void(PrivacyService, const std::string&)> listener) {
  permissionListeners_.push_back(std::move(listener));
}

}  // namespace deskplay::simdesk
