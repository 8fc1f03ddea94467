#include "platform/running_applications.hpp"

namespace deskplay::platform {

std::optional<ProcessId> applicationProcess(Windows& windows, std::string_view bundleIdentifier) {
  for (const RunningApplication& application : windows.runningApplications()) {
    if (application.bundleIdentifier == bundleIdentifier) return application.process;
  }
  return std::nullopt;
}

bool isApplicationProcess(Windows& windows, ProcessId process, std::string_view bundleIdentifier) {
  for (const RunningApplication& application : windows.runningApplications()) {
    if (application.process == process) return application.bundleIdentifier == bundleIdentifier;
  }
  return false;
}

}  // namespace deskplay::platform
