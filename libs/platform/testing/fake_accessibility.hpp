#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/accessibility.hpp"

namespace deskplay::platform::testing {

// An accessibility tree built by the test: elements with attributes, parents and children,
// owning processes, and screen areas for hit-testing. Reads are counted.
class FakeAccessibility final : public Accessibility {
 public:
  bool isProcessTrusted(Prompt prompt) override;
  std::optional<AccessibilityElement> applicationElement(ProcessId process) override;
  std::optional<AccessibilityElement> elementAtPoint(float x, float y) override;
  AttributeValue attribute(AccessibilityElement element, std::string_view name) override;
  std::optional<ProcessId> processOf(AccessibilityElement element) override;

  AccessibilityElement addElement(
      ProcessId owner, std::map<std::string, AttributeValue, std::less<>> attributes = {});
  // The application element of `process`; later calls replace it.
  AccessibilityElement addApplication(ProcessId process);
  void setAttribute(AccessibilityElement element, const std::string& name, AttributeValue value);
  // "This element's parent is that one": sets AXParent and appends to the parent's AXChildren.
  void setParent(AccessibilityElement child, AccessibilityElement parent);
  // Points inside `area` (top-left origin) hit `element`; the latest placement wins.
  void placeElement(AccessibilityElement element, const Rect& area);
  void setTrusted(bool trusted) { trusted_ = trusted; }

  int prompts() const { return prompts_; }
  int attributeReads() const { return attributeReads_; }
  std::vector<std::pair<float, float>> hitTests() const { return hitTests_; }

 private:
  struct Node {
    ProcessId owner = 0;
    std::map<std::string, AttributeValue, std::less<>> attributes;
  };

  std::vector<Node> nodes_;  // handle = index + 1
  std::map<ProcessId, AccessibilityElement> applications_;
  std::vector<std::pair<Rect, AccessibilityElement>> placements_;
  bool trusted_ = true;
  int prompts_ = 0;
  int attributeReads_ = 0;
  std::vector<std::pair<float, float>> hitTests_;

  Node* find(AccessibilityElement element);
};

}  // namespace deskplay::platform::testing
