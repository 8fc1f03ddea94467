#include "value_text.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace deskplay::plistbuddy {

namespace {

std::string lowered(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// from_chars reads no leading "+", which people do write.
std::string_view withoutPlus(std::string_view text) {
  return text.size() > 1 && text[0] == '+' && text[1] != '-' ? text.substr(1) : text;
}

template <class Number>
std::optional<Number> wholeNumber(std::string_view text) {
  const std::string_view digits = withoutPlus(text);
  Number number{};
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, number);
  if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
  return number;
}

std::optional<int64_t> integerFrom(std::string_view text) {
  return wholeNumber<int64_t>(text);
}

std::optional<double> realFrom(std::string_view text) {
  const std::optional<double> number = wholeNumber<double>(text);
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

std::optional<bool> boolFrom(std::string_view text) {
  const std::string word = lowered(text);
  if (word == "true" || word == "yes" || word == "1") return true;
  if (word == "false" || word == "no" || word == "0") return false;
  return std::nullopt;
}

Error invalid(std::string_view typeName, std::string_view text) {
  return Error{"Invalid " + std::string(typeName) + " Value: " + std::string(text)};
}

}  // namespace

std::optional<EntryType> entryTypeNamed(std::string_view name) {
  const std::string word = lowered(name);
  if (word == "string") return EntryType::string;
  if (word == "integer") return EntryType::integer;
  if (word == "real") return EntryType::real;
  if (word == "bool") return EntryType::boolean;
  if (word == "dict") return EntryType::dict;
  if (word == "array") return EntryType::array;
  return std::nullopt;
}

Result<plist::PlistNode> newValue(EntryType type, const std::optional<std::string>& text) {
  plist_t node = nullptr;
  switch (type) {
    case EntryType::string:
      node = plist_new_string(text.value_or("").c_str());
      break;
    case EntryType::integer:
      node = plist_new_uint(0);
      break;
    case EntryType::real:
      node = plist_new_real(0.0);
      break;
    case EntryType::boolean:
      node = plist_new_bool(0);
      break;
    case EntryType::dict:
      return plist::PlistNode(plist_new_dict());
    case EntryType::array:
      return plist::PlistNode(plist_new_array());
  }
  plist::PlistNode value(node);
  if (text && type != EntryType::string) {
    const Status assigned = assignValue(value.get(), *text);
    if (!assigned.ok()) return assigned.error();
  }
  return value;
}

Status assignValue(plist_t node, const std::string& text) {
  switch (plist_get_node_type(node)) {
    case PLIST_STRING:
      plist_set_string_val(node, text.c_str());
      return Status::success();
    case PLIST_UINT: {
      const std::optional<int64_t> number = integerFrom(text);
      if (!number) return invalid("Integer", text);
      // Negative integers are stored as their two's complement, as the binary format does.
      plist_set_uint_val(node, static_cast<uint64_t>(*number));
      return Status::success();
    }
    case PLIST_REAL: {
      const std::optional<double> number = realFrom(text);
      if (!number) return invalid("Real", text);
      plist_set_real_val(node, *number);
      return Status::success();
    }
    case PLIST_BOOLEAN: {
      const std::optional<bool> truth = boolFrom(text);
      if (!truth) return invalid("Bool", text);
      plist_set_bool_val(node, *truth ? 1 : 0);
      return Status::success();
    }
    case PLIST_DATA:
      plist_set_data_val(node, text.data(), text.size());
      return Status::success();
    default:
      return Error{"Unsupported Type Of Entry"};
  }
}

}  // namespace deskplay::plistbuddy
