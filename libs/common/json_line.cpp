#include "common/json_line.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/utf8.hpp"

namespace deskplay {

namespace {

using Json = nlohmann::ordered_json;

Status appendString(std::string& out, std::string_view text, JsonStyle style) {
  if (!isValidUtf8(text)) return Error{"JSON text is not valid UTF-8"};
  // Room for the quotes, a few escapes and whatever closes the line, so that a long text
  // is copied once.
  out.reserve(out.size() + text.size() + text.size() / 64 + 64);
  out += '"';
  appendEscapedJsonText(out, text, style.slashes);
  out += '"';
  return Status::success();
}

Status appendObject(std::string& out, const Json& object, JsonStyle style) {
  std::vector<const Json::object_t::value_type*> members;
  members.reserve(object.size());
  for (const auto& member : object.get_ref<const Json::object_t&>()) members.push_back(&member);
  if (style.keys == KeyOrder::Sorted) {
    std::sort(members.begin(), members.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
  }
  out += '{';
  bool first = true;
  for (const auto* member : members) {
    if (!first) out += ',';
    first = false;
    if (Status key = appendString(out, member->first, style); !key.ok()) return key;
    out += ':';
    if (Status value = appendJson(out, member->second, style); !value.ok()) return value;
  }
  out += '}';
  return Status::success();
}

}  // namespace

void appendEscapedJsonText(std::string& out, std::string_view text, SlashEscaping slashes) {
  while (!text.empty()) {
    const size_t special = findJsonSpecialByte(text, slashes);
    out.append(text.substr(0, special));
    if (special == text.size()) return;
    const char c = text[special];
    text.remove_prefix(special + 1);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '/':
        out += "\\/";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const auto byte = static_cast<unsigned char>(c);
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
      }
    }
  }
}

Status appendJson(std::string& out, const Json& value, JsonStyle style) {
  switch (value.type()) {
    case Json::value_t::object:
      return appendObject(out, value, style);
    case Json::value_t::array: {
      out += '[';
      bool first = true;
      for (const auto& element : value) {
        if (!first) out += ',';
        first = false;
        if (Status written = appendJson(out, element, style); !written.ok()) return written;
      }
      out += ']';
      return Status::success();
    }
    case Json::value_t::string:
      return appendString(out, value.get_ref<const std::string&>(), style);
    case Json::value_t::discarded:
      return Error{"a discarded JSON value cannot be written"};
    default:
      // Numbers, booleans and null have one spelling and no strings inside.
      out += value.dump();
      return Status::success();
  }
}

Result<std::string> jsonLine(const Json& value, JsonStyle style) {
  std::string line;
  if (Status written = appendJson(line, value, style); !written.ok()) return written.error();
  line += '\n';
  return line;
}

nlohmann::ordered_json jsonNumber(double value) {
  constexpr double kLargestExactInteger = 9007199254740992.0;
  if (std::trunc(value) == value && std::fabs(value) <= kLargestExactInteger) {
    return static_cast<std::int64_t>(value);
  }
  return value;
}

}  // namespace deskplay
