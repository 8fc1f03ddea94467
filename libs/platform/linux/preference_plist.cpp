#include "platform/linux/preference_plist.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plist_files/plist_values.hpp"

namespace deskplay::platform {

namespace {

// Dates are seconds and microseconds since 2001-01-01 in this plist library.
PreferenceDate dateOf(plist_t node) {
  int32_t seconds = 0;
  int32_t microseconds = 0;
  plist_get_date_val(node, &seconds, &microseconds);
  return PreferenceDate{static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6};
}

plist_t newDate(const PreferenceDate& date) {
  const double whole = std::floor(date.sinceReferenceDate);
  const double clamped = std::clamp(whole, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                    static_cast<double>(std::numeric_limits<int32_t>::max()));
  const auto microseconds =
      static_cast<int32_t>(std::lround((date.sinceReferenceDate - whole) * 1e6));
  return plist_new_date(static_cast<int32_t>(clamped), std::min(microseconds, 999999));
}

struct NodeBuilder {
  plist_t operator()(const std::string& text) const { return plist_new_string(text.c_str()); }
  plist_t operator()(bool flag) const { return plist_new_bool(flag ? 1 : 0); }
  // Integers are stored as 64-bit two's complement; negative values read back as such.
  plist_t operator()(std::int64_t number) const {
    return plist_new_uint(static_cast<uint64_t>(number));
  }
  plist_t operator()(double number) const { return plist_new_real(number); }
  plist_t operator()(const PreferenceData& data) const {
    return plist_new_data(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size());
  }
  plist_t operator()(const PreferenceDate& date) const { return newDate(date); }
  plist_t operator()(const PreferenceArray& array) const {
    plist_t node = plist_new_array();
    for (const PreferenceValue& item : array)
      plist_array_append_item(node, plistFromPreference(item).release());
    return node;
  }
  plist_t operator()(const PreferenceDictionary& dictionary) const {
    plist_t node = plist_new_dict();
    for (const auto& [key, item] : dictionary) {
      plist_dict_set_item(node, key.c_str(), plistFromPreference(item).release());
    }
    return node;
  }
};

}  // namespace

std::optional<PreferenceValue> preferenceFromPlist(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t flag = 0;
      plist_get_bool_val(node, &flag);
      return PreferenceValue(flag != 0);
    }
    case PLIST_UINT:
      return PreferenceValue(plist::integerValue(node));
    case PLIST_REAL: {
      double number = 0;
      plist_get_real_val(node, &number);
      return PreferenceValue(number);
    }
    case PLIST_STRING:
      return PreferenceValue(plist::stringValue(node));
    case PLIST_DATA: {
      const std::string bytes = plist::dataValue(node);
      return PreferenceValue(PreferenceData{{bytes.begin(), bytes.end()}});
    }
    case PLIST_DATE:
      return PreferenceValue(dateOf(node));
    case PLIST_ARRAY: {
      PreferenceArray array;
      const uint32_t size = plist_array_get_size(node);
      for (uint32_t index = 0; index < size; ++index) {
        if (auto item = preferenceFromPlist(plist_array_get_item(node, index))) {
          array.push_back(std::move(*item));
        }
      }
      return PreferenceValue(std::move(array));
    }
    case PLIST_DICT: {
      PreferenceDictionary dictionary;
      plist::forEachDictItem(node, [&](std::string_view key, plist_t item) {
        if (auto value = preferenceFromPlist(item)) dictionary.emplace(key, std::move(*value));
      });
      return PreferenceValue(std::move(dictionary));
    }
    default:
      return std::nullopt;
  }
}

plist::PlistNode plistFromPreference(const PreferenceValue& value) {
  return plist::PlistNode(std::visit(NodeBuilder{}, value.value));
}

}  // namespace deskplay::platform
