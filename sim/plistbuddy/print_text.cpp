#include "print_text.hpp"

#include <charconv>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "plist_files/plist_values.hpp"

namespace deskplay::plistbuddy {

namespace {

// Plist dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr int64_t kUnixTimeOfPlistEpoch = 978307200;

std::string realText(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string dateText(plist_t node) {
  int32_t seconds = 0;
  int32_t microseconds = 0;
  plist_get_date_val(node, &seconds, &microseconds);
  const auto unixTime = static_cast<std::time_t>(kUnixTimeOfPlistEpoch + seconds);
  std::tm parts{};
  char buffer[64];
  if (gmtime_r(&unixTime, &parts) == nullptr) return {};
  const std::size_t length =
      std::strftime(buffer, sizeof buffer, "%a %b %d %H:%M:%S UTC %Y", &parts);
  return std::string(buffer, length);
}

void appendNode(std::string& out, plist_t node, std::size_t depth);

void appendIndent(std::string& out, std::size_t depth) {
  out.append(depth * 4, ' ');
}

void appendDict(std::string& out, plist_t dict, std::size_t depth) {
  out += "Dict {\n";
  plist::forEachDictItem(dict, [&](std::string_view key, plist_t value) {
    appendIndent(out, depth + 1);
    out += key;
    out += " = ";
    appendNode(out, value, depth + 1);
    out += '\n';
  });
  appendIndent(out, depth);
  out += '}';
}

void appendArray(std::string& out, plist_t array, std::size_t depth) {
  out += "Array {\n";
  const uint32_t size = plist_array_get_size(array);
  for (uint32_t i = 0; i < size; ++i) {
    appendIndent(out, depth + 1);
    appendNode(out, plist_array_get_item(array, i), depth + 1);
    out += '\n';
  }
  appendIndent(out, depth);
  out += '}';
}

void appendNode(std::string& out, plist_t node, std::size_t depth) {
  switch (plist_get_node_type(node)) {
    case PLIST_DICT:
      appendDict(out, node, depth);
      break;
    case PLIST_ARRAY:
      appendArray(out, node, depth);
      break;
    case PLIST_STRING:
      out += plist::stringValue(node);
      break;
    case PLIST_UINT:
      out += std::to_string(plist::integerValue(node));
      break;
    case PLIST_REAL: {
      double value = 0.0;
      plist_get_real_val(node, &value);
      out += realText(value);
      break;
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      out += value != 0 ? "true" : "false";
      break;
    }
    case PLIST_DATE:
      out += dateText(node);
      break;
    case PLIST_DATA:
      out += plist::dataValue(node);
      break;
    case PLIST_UID: {
      uint64_t value = 0;
      plist_get_uid_val(node, &value);
      out += std::to_string(value);
      break;
    }
    default:
      break;
  }
}

}  // namespace

std::string printText(plist_t node) {
  std::string out;
  appendNode(out, node, 0);
  return out;
}

}  // namespace deskplay::plistbuddy
