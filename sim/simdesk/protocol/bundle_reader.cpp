#include "sim/simdesk/protocol/bundle_reader.hpp"

#include <string>

namespace deskplay::simdesk::protocol {

namespace {

using simdjson::dom::element;
using simdjson::dom::object;

bool number(element value, double& out) {
  if (value.is_double()) return !value.get_double().get(out);
  std::int64_t signedValue = 0;
  if (!value.get_int64().get(signedValue)) {
    out = static_cast<double>(signedValue);
    return true;
  }
  std::uint64_t unsignedValue = 0;
  if (!value.get_uint64().get(unsignedValue)) {
    out = static_cast<double>(unsignedValue);
    return true;
  }
  return false;
}

// The same decoding as decodeAttribute, over simdjson's tree.
platform::AttributeValue attribute(element value) {
  std::string_view text;
  if (!value.get_string().get(text)) return std::string(text);
  bool flag = false;
  if (!value.get_bool().get(flag)) return flag;
  double scalar = 0;
  if (number(value, scalar)) return scalar;
  object fields;
  if (value.get_object().get(fields)) return std::monostate{};
  const std::size_t count = fields.size();
  if (count == 2) {
    double first = 0;
    double second = 0;
    element x, y, width, height;
    if (!fields["x"].get(x) && !fields["y"].get(y) && number(x, first) && number(y, second)) {
      return platform::Point{first, second};
    }
    if (!fields["width"].get(width) && !fields["height"].get(height) && number(width, first) &&
        number(height, second)) {
      return platform::Size{first, second};
    }
    return std::monostate{};
  }
  if (count != 1) return std::monostate{};
  if (!fields["url"].get_string().get(text)) return platform::AccessibilityUrl{std::string(text)};
  std::uint64_t handle = 0;
  if (!fields["element"].get_uint64().get(handle)) return platform::AccessibilityElement{handle};
  simdjson::dom::array handles;
  if (fields["elements"].get_array().get(handles)) return std::monostate{};
  std::vector<platform::AccessibilityElement> elements;
  elements.reserve(handles.size());
  for (element entry : handles) {
    if (entry.get_uint64().get(handle)) return std::monostate{};
    elements.push_back({handle});
  }
  return elements;
}

bool bundle(element value, ElementBundle& out) {
  object fields;
  std::int64_t pid = 0;
  object attributes;
  if (value.get_object().get(fields) || fields["element"].get_uint64().get(out.handle) ||
      fields["pid"].get_int64().get(pid) || fields["attributes"].get_object().get(attributes)) {
    return false;
  }
  out.process = static_cast<platform::ProcessId>(pid);
  for (auto [name, attributeValue] : attributes) {
    out.attributes.emplace(std::string(name), attribute(attributeValue));
  }
  return true;
}

}  // namespace

Result<std::vector<ElementBundle>> BundleReader::read(std::string_view line,
                                                      std::initializer_list<std::string_view> keys) {
  element reply;
  if (parser_.parse(line.data(), line.size(), true).get(reply)) {
    return Error{"simdesk's reply is not valid JSON"};
  }
  std::vector<ElementBundle> bundles;
  const Error malformed{"simdesk's reply holds a malformed element"};
  for (const std::string_view key : keys) {
    element value;
    if (reply[key].get(value) || value.is_null()) continue;
    simdjson::dom::array list;
    if (!value.get_array().get(list)) {
      bundles.reserve(bundles.size() + list.size());
      for (element entry : list) {
        if (!bundle(entry, bundles.emplace_back())) return malformed;
      }
    } else if (!bundle(value, bundles.emplace_back())) {
      return malformed;
    }
  }
  return bundles;
}

}  // namespace deskplay::simdesk::protocol
