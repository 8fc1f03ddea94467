#include "platform/testing/fake_accessibility.hpp"

namespace deskplay::platform::testing {

bool FakeAccessibility::isProcessTrusted(Prompt prompt) {
  if (prompt == Prompt::yes && !trusted_) ++prompts_;
  return trusted_;
}

std::optional<AccessibilityElement> FakeAccessibility::applicationElement(ProcessId process) {
  auto found = applications_.find(process);
  if (found == applications_.end()) return std::nullopt;
  return found->second;
}

std::optional<AccessibilityElement> FakeAccessibility::elementAtPoint(float x, float y) {
  hitTests_.emplace_back(x, y);
  for (auto placement = placements_.rbegin(); placement != placements_.rend(); ++placement) {
    if (placement->first.contains(Point{static_cast<double>(x), static_cast<double>(y)}))
      return placement->second;
  }
  return std::nullopt;
}

AttributeValue FakeAccessibility::attribute(AccessibilityElement element, std::string_view name) {
  ++attributeReads_;
  Node* node = find(element);
  if (node == nullptr) return {};
  auto found = node->attributes.find(name);
  return found == node->attributes.end() ? AttributeValue{} : found->second;
}

std::optional<ProcessId> FakeAccessibility::processOf(AccessibilityElement element) {
  Node* node = find(element);
  if (node == nullptr) return std::nullopt;
  return node->owner;
}

AccessibilityElement FakeAccessibility::addElement(
    ProcessId owner, std::map<std::string, AttributeValue, std::less<>> attributes) {
  nodes_.push_back(Node{owner, std::move(attributes)});
  return AccessibilityElement{nodes_.size()};
}

AccessibilityElement FakeAccessibility::addApplication(ProcessId process) {
  const AccessibilityElement element =
      addElement(process, {{std::string(kAXRole), "AXApplication"}});
  applications_[process] = element;
  return element;
}

void FakeAccessibility::setAttribute(AccessibilityElement element, const std::string& name,
                                     AttributeValue value) {
  if (Node* node = find(element)) node->attributes.insert_or_assign(name, std::move(value));
}

void FakeAccessibility::setParent(AccessibilityElement child, AccessibilityElement parent) {
  Node* parentNode = find(parent);
  Node* childNode = find(child);
  if (parentNode == nullptr || childNode == nullptr) return;
  AttributeValue& children = parentNode->attributes[std::string(kAXChildren)];
  if (!std::holds_alternative<std::vector<AccessibilityElement>>(children)) {
    children = std::vector<AccessibilityElement>{};
  }
  std::get<std::vector<AccessibilityElement>>(children).push_back(child);
  childNode->attributes.insert_or_assign(std::string(kAXParent), parent);
}

void FakeAccessibility::placeElement(AccessibilityElement element, const Rect& area) {
  placements_.emplace_back(area, element);
}

FakeAccessibility::Node* FakeAccessibility::find(AccessibilityElement element) {
  if (element.handle == 0 || element.handle > nodes_.size()) return nullptr;
  return &nodes_[element.handle - 1];
}

}  // namespace deskplay::platform::testing
