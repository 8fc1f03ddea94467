#pragma once

namespace deskplay::platform {

// The Input Monitoring privacy check (the HID listen-event access check).
// Any thread; answers at once from the system's records, never prompts.
class PrivacyChecks {
 public:
  // The check's answers, with the system's numbers.
  enum class Access {
    granted = 0,
    denied = 1,
    unknown = 2,
  };

  virtual ~PrivacyChecks() = default;

  virtual Access listenEventAccess() = 0;
};

}  // namespace deskplay::platform
