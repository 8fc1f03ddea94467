#pragma once

#include <chrono>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/accessibility.hpp"
#include "sim/simdesk/protocol/bundle_reader.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// simdesk's accessibility trees. A round trip per attribute would make a walk of thousands
// of desktop icons slow, so simdesk answers with element bundles (an element with all its
// attributes and owner) and this adapter answers reads from the bundles it holds, its
// snapshot:
// - applicationElement brings the application's bundle; elementAtPoint the hit element's and
//   its ancestors' (so climbing AXParent costs nothing); reading AXChildren brings every
//   child's bundle in one request, holding the attributes a tree walk reads
//   (kWalkAttributes: reading another one of such a child fetches its whole bundle once);
//   any other element is fetched alone on its first read.
// - The snapshot is dropped (and rebuilt by the next reads)
//   * at every applicationElement and elementAtPoint call: each starts a fresh look;
//   * as soon as this process has made any request that may change simdesk — a script, a
//     window change, a workspace notice, anything but a read — through the same connection,
//     so a position read after the caller's own change is never an old one;
//   * when the connection was opened again (simdesk restarted);
//   * when a read meets a bundle that arrived more than kSnapshotLifetime ago, so that
//     changes made by others (a user's drag, another program's script) are seen within
//     that time.
// Without simdesk, or without the Accessibility permission, there is no element and every
// attribute reads as missing; trust reads as false.
class SimAccessibility final : public Accessibility {
 public:
  static constexpr std::chrono::milliseconds kSnapshotLifetime{100};
  static constexpr std::string_view kWalkAttributes[] = {kAXRole,     kAXFilename, kAXPosition,
                                                         kAXSize,     kAXChildren, kAXParent};

  explicit SimAccessibility(simdesk::protocol::Connection& connection) : connection_(connection) {}

  bool isProcessTrusted(Prompt prompt) override;
  std::optional<AccessibilityElement> applicationElement(ProcessId process) override;
  std::optional<AccessibilityElement> elementAtPoint(float x, float y) override;
  AttributeValue attribute(AccessibilityElement element, std::string_view name) override;
  std::optional<ProcessId> processOf(AccessibilityElement element) override;

  // How many requests reads have cost so far (for benchmarks and tests of the batching).
  std::uint64_t requestCount() const { return requests_; }

 private:
  using Bundle = simdesk::protocol::ElementBundle;

  void dropSnapshot();
  void dropIfStale();
  enum class Completeness { whole, walkAttributes };

  // Sends an accessibility read and reads the bundles under `keys` into the snapshot;
  // gives their handles in reply order, nothing when the request failed.
  std::optional<std::vector<std::uint64_t>> fetch(std::string_view type, nlohmann::json fields,
                                                  std::initializer_list<std::string_view> keys,
                                                  Completeness completeness);
  // The element's bundle holding `name` when the element has it, fetched when the snapshot
  // lacks it; null for a dead element.
  const Bundle* bundleOf(AccessibilityElement element, std::string_view name);
  AttributeValue childrenOf(AccessibilityElement element);

  simdesk::protocol::Connection& connection_;
  simdesk::protocol::BundleReader reader_;
  using Time = std::chrono::steady_clock::time_point;
  struct Known {
    Bundle bundle;  // a dead element has process 0
    Time arrived;
    Completeness completeness = Completeness::whole;
  };
  struct KnownChildren {
    std::vector<AccessibilityElement> children;
    Time arrived;
  };
  bool expired(Time arrived) const;

  std::unordered_map<std::uint64_t, Known> snapshot_;
  std::unordered_map<std::uint64_t, KnownChildren> children_;
  bool stamped_ = false;
  std::uint64_t changesAtStart_ = 0;
  std::uint64_t generationAtStart_ = 0;
  std::uint64_t requests_ = 0;
};

}  // namespace deskplay::platform
