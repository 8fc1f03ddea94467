#include "sim/simdesk/protocol/wire_types.hpp"

#include <string_view>
#include <type_traits>
#include <vector>

namespace deskplay::simdesk::protocol {

namespace {

using nlohmann::json;

const json* member(const json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

bool readNumber(const json& object, std::string_view key, double& out) {
  const json* value = member(object, key);
  if (value == nullptr || !value->is_number()) return false;
  out = value->get<double>();
  return true;
}

bool readBool(const json& object, std::string_view key, bool& out) {
  const json* value = member(object, key);
  if (value == nullptr || !value->is_boolean()) return false;
  out = value->get<bool>();
  return true;
}

bool readString(const json& object, std::string_view key, std::string& out) {
  const json* value = member(object, key);
  if (value == nullptr || !value->is_string()) return false;
  out = value->get<std::string>();
  return true;
}

template <class Integer>
bool readInteger(const json& object, std::string_view key, Integer& out) {
  const json* value = member(object, key);
  if (value == nullptr || !value->is_number_integer()) return false;
  if constexpr (std::is_unsigned_v<Integer>) {
    if (value->is_number_unsigned()) {
      out = value->get<Integer>();
      return true;
    }
    if (value->get<std::int64_t>() < 0) return false;
  }
  out = value->get<Integer>();
  return true;
}

bool readRect(const json& object, std::string_view key, platform::Rect& out) {
  const json* value = member(object, key);
  if (value == nullptr) return false;
  auto rect = decodeRect(*value);
  if (!rect) return false;
  out = *rect;
  return true;
}

json optionalText(const std::optional<std::string>& text) {
  return text ? json(*text) : json(nullptr);
}

bool readOptionalText(const json& object, std::string_view key, std::optional<std::string>& out) {
  const json* value = member(object, key);
  if (value == nullptr || value->is_null()) {
    out.reset();
    return true;
  }
  if (!value->is_string()) return false;
  out = value->get<std::string>();
  return true;
}

}  // namespace

json encodePoint(const platform::Point& point) { return {{"x", point.x}, {"y", point.y}}; }

std::optional<platform::Point> decodePoint(const json& json) {
  platform::Point point;
  if (!readNumber(json, "x", point.x) || !readNumber(json, "y", point.y)) return std::nullopt;
  return point;
}

json encodeSize(const platform::Size& size) {
  return {{"width", size.width}, {"height", size.height}};
}

std::optional<platform::Size> decodeSize(const json& json) {
  platform::Size size;
  if (!readNumber(json, "width", size.width) || !readNumber(json, "height", size.height)) {
    return std::nullopt;
  }
  return size;
}

json encodeRect(const platform::Rect& rect) {
  return {{"x", rect.origin.x},
          {"y", rect.origin.y},
          {"width", rect.size.width},
          {"height", rect.size.height}};
}

std::optional<platform::Rect> decodeRect(const json& json) {
  platform::Rect rect;
  if (!readNumber(json, "x", rect.origin.x) || !readNumber(json, "y", rect.origin.y) ||
      !readNumber(json, "width", rect.size.width) ||
      !readNumber(json, "height", rect.size.height)) {
    return std::nullopt;
  }
  return rect;
}

json encodeColor(const platform::Color& color) {
  return {{"red", color.red}, {"green", color.green}, {"blue", color.blue}, {"alpha", color.alpha}};
}

std::optional<platform::Color> decodeColor(const json& json) {
  platform::Color color;
  if (!readNumber(json, "red", color.red) || !readNumber(json, "green", color.green) ||
      !readNumber(json, "blue", color.blue) || !readNumber(json, "alpha", color.alpha)) {
    return std::nullopt;
  }
  return color;
}

json encodeScreen(const platform::Screen& screen) {
  return {{"frame", encodeRect(screen.frame)}, {"visibleFrame", encodeRect(screen.visibleFrame)}};
}

std::optional<platform::Screen> decodeScreen(const json& json) {
  platform::Screen screen;
  if (!readRect(json, "frame", screen.frame) || !readRect(json, "visibleFrame", screen.visibleFrame)) {
    return std::nullopt;
  }
  return screen;
}

json encodeTraits(const platform::WindowTraits& traits) {
  return {{"level", traits.level},
          {"background", traits.background ? encodeColor(*traits.background) : json(nullptr)},
          {"opaque", traits.opaque},
          {"hasShadow", traits.hasShadow},
          {"ignoresMouseEvents", traits.ignoresMouseEvents},
          {"acceptsMouseMovedEvents", traits.acceptsMouseMovedEvents},
          {"movableByWindowBackground", traits.movableByWindowBackground},
          {"collectionBehavior", traits.collectionBehavior},
          {"hidesOnDeactivate", traits.hidesOnDeactivate},
          {"floatingPanel", traits.floatingPanel},
          {"canHide", traits.canHide},
          {"releasedWhenClosed", traits.releasedWhenClosed},
          {"becomesKeyOrMain", traits.becomesKeyOrMain}};
}

std::optional<platform::WindowTraits> decodeTraits(const json& json) {
  platform::WindowTraits traits;
  const nlohmann::json* background = member(json, "background");
  if (background == nullptr) return std::nullopt;
  if (!background->is_null()) {
    traits.background = decodeColor(*background);
    if (!traits.background) return std::nullopt;
  }
  if (!readInteger(json, "level", traits.level) || !readBool(json, "opaque", traits.opaque) ||
      !readBool(json, "hasShadow", traits.hasShadow) ||
      !readBool(json, "ignoresMouseEvents", traits.ignoresMouseEvents) ||
      !readBool(json, "acceptsMouseMovedEvents", traits.acceptsMouseMovedEvents) ||
      !readBool(json, "movableByWindowBackground", traits.movableByWindowBackground) ||
      !readInteger(json, "collectionBehavior", traits.collectionBehavior) ||
      !readBool(json, "hidesOnDeactivate", traits.hidesOnDeactivate) ||
      !readBool(json, "floatingPanel", traits.floatingPanel) ||
      !readBool(json, "canHide", traits.canHide) ||
      !readBool(json, "releasedWhenClosed", traits.releasedWhenClosed) ||
      !readBool(json, "becomesKeyOrMain", traits.becomesKeyOrMain)) {
    return std::nullopt;
  }
  return traits;
}

json encodeContent(const platform::StatusPanel::Content& content) {
  return {{"text", content.text},
          {"accessibilityLabel", content.accessibilityLabel},
          {"labelFrame", encodeRect(content.labelFrame)},
          {"spinnerFrame", encodeRect(content.spinnerFrame)},
          {"spinnerVisible", content.spinnerVisible},
          {"spinnerAnimating", content.spinnerAnimating}};
}

std::optional<platform::StatusPanel::Content> decodeContent(const json& json) {
  platform::StatusPanel::Content content;
  if (!readString(json, "text", content.text) ||
      !readString(json, "accessibilityLabel", content.accessibilityLabel) ||
      !readRect(json, "labelFrame", content.labelFrame) ||
      !readRect(json, "spinnerFrame", content.spinnerFrame) ||
      !readBool(json, "spinnerVisible", content.spinnerVisible) ||
      !readBool(json, "spinnerAnimating", content.spinnerAnimating)) {
    return std::nullopt;
  }
  return content;
}

json encodeWindowInfo(const platform::WindowInfo& info) {
  return {{"number", info.number},       {"ownerProcess", info.ownerProcess},
          {"ownerName", info.ownerName}, {"name", info.name},
          {"layer", info.layer},         {"bounds", encodeRect(info.bounds)}};
}

std::optional<platform::WindowInfo> decodeWindowInfo(const json& json) {
  platform::WindowInfo info;
  if (!readInteger(json, "number", info.number) ||
      !readInteger(json, "ownerProcess", info.ownerProcess) ||
      !readString(json, "ownerName", info.ownerName) || !readString(json, "name", info.name) ||
      !readInteger(json, "layer", info.layer) || !readRect(json, "bounds", info.bounds)) {
    return std::nullopt;
  }
  return info;
}

json encodeApplication(const platform::RunningApplication& application) {
  return {{"pid", application.process},
          {"bundleIdentifier", optionalText(application.bundleIdentifier)},
          {"localizedName", optionalText(application.localizedName)}};
}

std::optional<platform::RunningApplication> decodeApplication(const json& json) {
  platform::RunningApplication application;
  if (!readInteger(json, "pid", application.process) ||
      !readOptionalText(json, "bundleIdentifier", application.bundleIdentifier) ||
      !readOptionalText(json, "localizedName", application.localizedName)) {
    return std::nullopt;
  }
  return application;
}

json encodeAttribute(const platform::AttributeValue& value) {
  struct Encoder {
    json operator()(std::monostate) const { return nullptr; }
    json operator()(const std::string& text) const { return text; }
    json operator()(bool flag) const { return flag; }
    json operator()(double number) const { return number; }
    json operator()(const platform::Point& point) const { return encodePoint(point); }
    json operator()(const platform::Size& size) const { return encodeSize(size); }
    json operator()(const platform::AccessibilityUrl& url) const { return {{"url", url.text}}; }
    json operator()(const platform::AccessibilityElement& element) const {
      return {{"element", element.handle}};
    }
    json operator()(const std::vector<platform::AccessibilityElement>& elements) const {
      json handles = json::array();
      for (const auto& element : elements) handles.push_back(element.handle);
      return {{"elements", std::move(handles)}};
    }
  };
  return std::visit(Encoder{}, value);
}

platform::AttributeValue decodeAttribute(const json& json) {
  if (json.is_string()) return json.get<std::string>();
  if (json.is_boolean()) return json.get<bool>();
  if (json.is_number()) return json.get<double>();
  if (!json.is_object()) return std::monostate{};
  if (json.size() == 2) {
    if (auto point = decodePoint(json)) return *point;
    if (auto size = decodeSize(json)) return *size;
    return std::monostate{};
  }
  if (json.size() != 1) return std::monostate{};
  std::string url;
  if (readString(json, "url", url)) return platform::AccessibilityUrl{std::move(url)};
  std::uint64_t handle = 0;
  if (readInteger(json, "element", handle)) return platform::AccessibilityElement{handle};
  const nlohmann::json* handles = member(json, "elements");
  if (handles == nullptr || !handles->is_array()) return std::monostate{};
  std::vector<platform::AccessibilityElement> elements;
  elements.reserve(handles->size());
  for (const auto& entry : *handles) {
    if (!entry.is_number_unsigned()) return std::monostate{};
    elements.push_back({entry.get<std::uint64_t>()});
  }
  return elements;
}

json encodeBundle(const ElementBundle& bundle) {
  json attributes = json::object();
  for (const auto& [name, value] : bundle.attributes) {
    if (!std::holds_alternative<std::monostate>(value)) attributes[name] = encodeAttribute(value);
  }
  return {{"element", bundle.handle}, {"pid", bundle.process}, {"attributes", std::move(attributes)}};
}

std::optional<ElementBundle> decodeBundle(const json& json) {
  ElementBundle bundle;
  if (!readInteger(json, "element", bundle.handle) || !readInteger(json, "pid", bundle.process)) {
    return std::nullopt;
  }
  const nlohmann::json* attributes = member(json, "attributes");
  if (attributes == nullptr || !attributes->is_object()) return std::nullopt;
  for (const auto& [name, value] : attributes->items()) {
    bundle.attributes.emplace(name, decodeAttribute(value));
  }
  return bundle;
}

json encodeScriptRun(const platform::ScriptRun& run) {
  using Outcome = platform::ScriptRun::Outcome;
  json encoded;
  switch (run.outcome) {
    case Outcome::succeeded:
      encoded["outcome"] = "succeeded";
      if (run.result) {
        json result = {{"int32", run.result->int32Value},
                       {"description", run.result->description}};
        if (run.result->stringValue) result["string"] = *run.result->stringValue;
        encoded["result"] = std::move(result);
      }
      return encoded;
    case Outcome::compileFailed:
      encoded["outcome"] = "compileFailed";
      break;
    case Outcome::runFailed:
      encoded["outcome"] = "runFailed";
      break;
  }
  json error = {{"description", run.error.description}};
  if (run.error.message) error["message"] = *run.error.message;
  if (run.error.number) error["number"] = *run.error.number;
  encoded["error"] = std::move(error);
  return encoded;
}

std::optional<platform::ScriptRun> decodeScriptRun(const json& json) {
  std::string outcome;
  if (!readString(json, "outcome", outcome)) return std::nullopt;
  if (outcome == "succeeded") {
    const nlohmann::json* result = member(json, "result");
    if (result == nullptr) return platform::ScriptRun::success();
    platform::ScriptValue value;
    if (!readInteger(*result, "int32", value.int32Value) ||
        !readString(*result, "description", value.description) ||
        !readOptionalText(*result, "string", value.stringValue)) {
      return std::nullopt;
    }
    return platform::ScriptRun::success(std::move(value));
  }
  const nlohmann::json* error = member(json, "error");
  if (error == nullptr) return std::nullopt;
  platform::ScriptError failure;
  if (!readString(*error, "description", failure.description) ||
      !readOptionalText(*error, "message", failure.message)) {
    return std::nullopt;
  }
  if (const nlohmann::json* number = member(*error, "number")) {
    if (!number->is_number_integer()) return std::nullopt;
    failure.number = number->get<int>();
  }
  if (outcome == "compileFailed") return platform::ScriptRun::compileFailure(std::move(failure));
  if (outcome == "runFailed") return platform::ScriptRun::runFailure(std::move(failure));
  return std::nullopt;
}

}  // namespace deskplay::simdesk::protocol
