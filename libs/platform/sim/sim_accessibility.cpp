#include "platform/sim/sim_accessibility.hpp"

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
using simdesk::protocol::Effect;

bool SimAccessibility::isProcessTrusted(Prompt prompt) {
  // A prompt is recorded by simdesk, a change like any other.
  auto reply = connection_.request(requests::axTrusted, {{"prompt", prompt == Prompt::yes}},
                                   prompt == Prompt::yes ? Effect::mayChange : Effect::readsOnly);
  if (!reply.ok()) return false;
  const auto trusted = reply.value().find("trusted");
  return trusted != reply.value().end() && trusted->is_boolean() && trusted->get<bool>();
}

void SimAccessibility::dropSnapshot() {
  snapshot_.clear();
  children_.clear();
  stamped_ = false;
}

void SimAccessibility::dropIfStale() {
  if (!stamped_) return;
  if (connection_.changeCount() != changesAtStart_ ||
      connection_.generation() != generationAtStart_) {
    dropSnapshot();
  }
}

bool SimAccessibility::expired(Time arrived) const {
  return std::chrono::steady_clock::now() - arrived > kSnapshotLifetime;
}

std::optional<std::vector<std::uint64_t>> SimAccessibility::fetch(
    std::string_view type, nlohmann::json fields, std::initializer_list<std::string_view> keys,
    Completeness completeness) {
  ++requests_;
  auto line = connection_.requestLine(type, std::move(fields), Effect::readsOnly);
  if (!line.ok()) return std::nullopt;
  // The reply's age counts from its arrival; decoding it is our own time.
  const Time arrived = std::chrono::steady_clock::now();
  auto bundles = reader_.read(line.value(), keys);
  if (!bundles.ok()) return std::nullopt;
  if (!stamped_) {
    // Stamped after the reply: a reconnection during this request belongs to the snapshot.
    stamped_ = true;
    changesAtStart_ = connection_.changeCount();
    generationAtStart_ = connection_.generation();
  }
  std::vector<std::uint64_t> handles;
  handles.reserve(bundles.value().size());
  for (Bundle& bundle : bundles.value()) {
    handles.push_back(bundle.handle);
    snapshot_.insert_or_assign(bundle.handle, Known{std::move(bundle), arrived, completeness});
  }
  return handles;
}

std::optional<AccessibilityElement> SimAccessibility::applicationElement(ProcessId process) {
  dropSnapshot();
  const auto handles = fetch(requests::axApplication, {{"pid", process}}, {"element"},
                             Completeness::whole);
  if (!handles || handles->empty()) return std::nullopt;
  return AccessibilityElement{handles->front()};
}

std::optional<AccessibilityElement> SimAccessibility::elementAtPoint(float x, float y) {
  dropSnapshot();
  const auto handles = fetch(requests::axElementAtPoint,
                             {{"x", static_cast<double>(x)}, {"y", static_cast<double>(y)}},
                             {"element", "ancestors"}, Completeness::whole);
  if (!handles || handles->empty()) return std::nullopt;
  return AccessibilityElement{handles->front()};
}

namespace {

bool isWalkAttribute(std::string_view name) {
  for (const std::string_view walked : SimAccessibility::kWalkAttributes) {
    if (walked == name) return true;
  }
  return false;
}

}  // namespace

const SimAccessibility::Bundle* SimAccessibility::bundleOf(AccessibilityElement element,
                                                          std::string_view name) {
  if (const auto known = snapshot_.find(element.handle); known != snapshot_.end()) {
    if (expired(known->second.arrived)) {
      dropSnapshot();
    } else if (known->second.completeness == Completeness::whole || isWalkAttribute(name)) {
      return known->second.bundle.process == 0 ? nullptr : &known->second.bundle;
    }
  }
  const auto handles = fetch(requests::axElement, {{"element", element.handle}}, {"element"},
                             Completeness::whole);
  if (!handles) return nullptr;
  if (handles->empty()) {
    // Remembered as dead for the snapshot's life, so that repeated reads cost nothing.
    snapshot_.insert_or_assign(element.handle,
                               Known{Bundle{element.handle, 0, {}}, std::chrono::steady_clock::now()});
    return nullptr;
  }
  // A reply about another element tells nothing about this one.
  const auto fetched = snapshot_.find(element.handle);
  return fetched == snapshot_.end() ? nullptr : &fetched->second.bundle;
}

AttributeValue SimAccessibility::childrenOf(AccessibilityElement element) {
  if (const auto known = children_.find(element.handle); known != children_.end()) {
    if (!expired(known->second.arrived)) return known->second.children;
    dropSnapshot();
  }
  // An element known to have no children needs no request.
  if (const auto known = snapshot_.find(element.handle);
      known != snapshot_.end() && !expired(known->second.arrived)) {
    const Bundle& bundle = known->second.bundle;
    if (bundle.process == 0 || !bundle.attributes.contains(kAXChildren)) return std::monostate{};
  }
  const Time asked = std::chrono::steady_clock::now();
  nlohmann::json wanted = nlohmann::json::array();
  for (const std::string_view name : kWalkAttributes) wanted.push_back(name);
  const auto handles = fetch(requests::axChildren,
                             {{"element", element.handle}, {"attributes", std::move(wanted)}},
                             {"children"}, Completeness::walkAttributes);
  if (!handles) return std::monostate{};
  std::vector<AccessibilityElement> children;
  children.reserve(handles->size());
  for (const std::uint64_t handle : *handles) children.push_back({handle});
  // Its children arrived with the reply: they are as old as that.
  const Time arrived = handles->empty() ? asked : snapshot_.at(handles->front()).arrived;
  return children_.insert_or_assign(element.handle, KnownChildren{std::move(children), arrived})
      .first->second.children;
}

AttributeValue SimAccessibility::attribute(AccessibilityElement element, std::string_view name) {
  dropIfStale();
  if (name == kAXChildren) return childrenOf(element);
  const Bundle* bundle = bundleOf(element, name);
  if (bundle == nullptr) return std::monostate{};
  const auto found = bundle->attributes.find(name);
  return found == bundle->attributes.end() ? AttributeValue{} : found->second;
}

std::optional<ProcessId> SimAccessibility::processOf(AccessibilityElement element) {
  dropIfStale();
  const Bundle* bundle = bundleOf(element, kAXRole);
  if (bundle == nullptr) return std::nullopt;
  return bundle->process;
}

}  // namespace deskplay::platform
