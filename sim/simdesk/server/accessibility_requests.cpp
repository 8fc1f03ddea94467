#include "sim/simdesk/protocol/bundle_writer.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
using nlohmann::json;
using platform::AccessibilityElement;

namespace {

// Enough for any chain from a leaf to its application.
constexpr int kMaxAncestors = 16;
// Keeps a dump of a huge desktop bounded.
constexpr int kMaxTreeElements = 20000;

void appendBundle(std::string& out, AccessibilityTree& tree, AccessibilityElement element) {
  protocol::BundleWriter writer(out);
  writer.begin(element.handle, tree.processOf(element).value_or(0));
  for (const std::string& name : tree.attributeNames(element)) {
    writer.attribute(name, tree.attribute(element, name));
  }
  writer.end();
}

// A bundle with only the attributes asked for (those the element has).
void appendPartialBundle(std::string& out, AccessibilityTree& tree, AccessibilityElement element,
                         const std::vector<std::string>& names) {
  protocol::BundleWriter writer(out);
  writer.begin(element.handle, tree.processOf(element).value_or(0));
  for (const std::string& name : names) writer.attribute(name, tree.attribute(element, name));
  writer.end();
}

// The optional "attributes" list of a request; nothing when absent (everything is wanted).
Result<std::optional<std::vector<std::string>>> wantedAttributes(const RequestFields& request) {
  if (!request.has("attributes")) return std::optional<std::vector<std::string>>();
  auto list = request.raw("attributes");
  if (!list.ok()) return list.error();
  const Error invalid{"\"attributes\" must be a list of names"};
  if (!list.value().is_array()) return invalid;
  std::vector<std::string> names;
  for (const auto& name : list.value()) {
    if (!name.is_string()) return invalid;
    names.push_back(name.get<std::string>());
  }
  return std::optional(std::move(names));
}

// "key":bundle, or "key":null.
std::string bundleMember(std::string_view key, AccessibilityTree& tree,
                         std::optional<AccessibilityElement> element) {
  std::string out = "\"" + std::string(key) + "\":";
  if (element) {
    appendBundle(out, tree, *element);
  } else {
    out += "null";
  }
  return out;
}

json bundleOf(AccessibilityTree& tree, AccessibilityElement element) {
  json attributes = json::object();
  for (const std::string& name : tree.attributeNames(element)) {
    platform::AttributeValue value = tree.attribute(element, name);
    if (!std::holds_alternative<std::monostate>(value)) {
      attributes[name] = protocol::encodeAttribute(value);
    }
  }
  return {{"element", element.handle},
          {"pid", tree.processOf(element).value_or(0)},
          {"attributes", std::move(attributes)}};
}

std::vector<AccessibilityElement> childrenOf(AccessibilityTree& tree,
                                             AccessibilityElement element) {
  auto children = tree.attribute(element, platform::kAXChildren);
  if (auto* list = std::get_if<std::vector<AccessibilityElement>>(&children)) return *list;
  return {};
}

json treeOf(AccessibilityTree& tree, AccessibilityElement element, int& budget) {
  json node = bundleOf(tree, element);
  json children = json::array();
  for (const AccessibilityElement child : childrenOf(tree, element)) {
    if (--budget < 0) break;
    children.push_back(treeOf(tree, child, budget));
  }
  node["children"] = std::move(children);
  return node;
}

// A request from a client that has no Accessibility permission reads nothing, as the
// system answers an untrusted process.
bool trusted(SimulatedDesktop& desktop, const Client& client) {
  return desktop.privacy().isGranted(PrivacyService::accessibility, client.application);
}

}  // namespace

void addAccessibilityRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop) {
  dispatcher.add(requests::axTrusted,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto prompt = request.flag("prompt");
                   if (!prompt.ok()) return prompt.error();
                   const bool isTrusted = desktop.privacy().isProcessTrusted(
                       client.application, prompt.value() ? platform::Accessibility::Prompt::yes
                                                          : platform::Accessibility::Prompt::no);
                   return json{{"trusted", isTrusted}};
                 });
  dispatcher.addText(
      requests::axApplication,
      [&desktop](Client& client, const RequestFields& request) -> Result<std::string> {
        auto pid = request.integer("pid");
        if (!pid.ok()) return pid.error();
        auto& tree = desktop.accessibility();
        if (!trusted(desktop, client)) return bundleMember("element", tree, std::nullopt);
        return bundleMember("element", tree,
                            tree.applicationElement(static_cast<platform::ProcessId>(pid.value())));
      });
  dispatcher.addText(
      requests::axElementAtPoint,
      [&desktop](Client& client, const RequestFields& request) -> Result<std::string> {
        auto x = request.number("x");
        if (!x.ok()) return x.error();
        auto y = request.number("y");
        if (!y.ok()) return y.error();
        auto& tree = desktop.accessibility();
        const auto element =
            trusted(desktop, client) ? tree.elementAtPoint({x.value(), y.value()}) : std::nullopt;
        std::string out = bundleMember("element", tree, element) + ",\"ancestors\":[";
        AccessibilityElement current = element.value_or(AccessibilityElement{});
        for (int depth = 0; element && depth < kMaxAncestors; ++depth) {
          auto parent = tree.attribute(current, platform::kAXParent);
          const auto* next = std::get_if<AccessibilityElement>(&parent);
          if (next == nullptr) break;
          if (depth > 0) out += ',';
          appendBundle(out, tree, *next);
          current = *next;
        }
        return out + "]";
      });
  dispatcher.addText(
      requests::axElement,
      [&desktop](Client& client, const RequestFields& request) -> Result<std::string> {
        auto handle = request.handle("element");
        if (!handle.ok()) return handle.error();
        auto& tree = desktop.accessibility();
        const AccessibilityElement element{handle.value()};
        const bool readable = trusted(desktop, client) && tree.processOf(element);
        return bundleMember("element", tree, readable ? std::optional(element) : std::nullopt);
      });
  dispatcher.addText(
      requests::axChildren,
      [&desktop](Client& client, const RequestFields& request) -> Result<std::string> {
        auto handle = request.handle("element");
        if (!handle.ok()) return handle.error();
        auto wanted = wantedAttributes(request);
        if (!wanted.ok()) return wanted.error();
        std::string out = "\"children\":[";
        if (trusted(desktop, client)) {
          auto& tree = desktop.accessibility();
          bool first = true;
          for (const AccessibilityElement child : childrenOf(tree, {handle.value()})) {
            if (!first) out += ',';
            first = false;
            if (wanted.value()) {
              appendPartialBundle(out, tree, child, *wanted.value());
            } else {
              appendBundle(out, tree, child);
            }
          }
        }
        return out + "]";
      });
  dispatcher.add(requests::axTree,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   std::optional<platform::ProcessId> pid = desktop.finder().pid();
                   if (request.has("pid")) {
                     auto given = request.integer("pid");
                     if (!given.ok()) return given.error();
                     pid = static_cast<platform::ProcessId>(given.value());
                   }
                   auto& tree = desktop.accessibility();
                   const auto root = pid ? tree.applicationElement(*pid) : std::nullopt;
                   int budget = kMaxTreeElements;
                   return json{{"tree", root ? treeOf(tree, *root, budget) : json()}};
                 });
  dispatcher.add(requests::axFindTitled,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   auto title = request.text("title");
                   if (!title.ok()) return title.error();
                   std::optional<platform::ProcessId> pid;
                   if (request.has("pid")) {
                     auto given = request.integer("pid");
                     if (!given.ok()) return given.error();
                     pid = static_cast<platform::ProcessId>(given.value());
                   }
                   const auto found = desktop.accessibility().findPublished(title.value(), pid);
                   if (!found) {
                     return Error{"no enabled element titled \"" + title.value() + "\"" +
                                  (pid ? " in process " + std::to_string(*pid) : std::string())};
                   }
                   return json{{"pid", found->pid}, {"x", found->centre.x}, {"y", found->centre.y}};
                 });
}

}  // namespace deskplay::simdesk::server
