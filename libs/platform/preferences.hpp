#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/result.hpp"

namespace deskplay::platform {

struct PreferenceValue;
using PreferenceArray = std::vector<PreferenceValue>;
using PreferenceDictionary = std::map<std::string, PreferenceValue, std::less<>>;

// Raw bytes, kept apart from text.
struct PreferenceData {
  std::vector<unsigned char> bytes;
  friend bool operator==(const PreferenceData&, const PreferenceData&) = default;
};

// A point in time, as seconds since 2001-01-01 00:00 UTC.
struct PreferenceDate {
  double sinceReferenceDate = 0;
  friend bool operator==(const PreferenceDate&, const PreferenceDate&) = default;
};

// One stored value with its type, as property lists keep them.
struct PreferenceValue {
  std::variant<std::string, bool, std::int64_t, double, PreferenceData, PreferenceDate,
               PreferenceArray, PreferenceDictionary>
      value;

  PreferenceValue() = default;
  template <class T>
  requires std::is_constructible_v<decltype(value), T&&> PreferenceValue(T&& v)
      : value(std::forward<T>(v)) {}
  PreferenceValue(const char* text) : value(std::string(text)) {}
  PreferenceValue(int number) : value(std::int64_t{number}) {}

  template <class T>
  const T* get() const {
    return std::get_if<T>(&value);
  }
  friend bool operator==(const PreferenceValue&, const PreferenceValue&) = default;
};

// User defaults: the application's own typed settings, and other applications' preferences
// domains ("com.apple.finder").
// Main thread; calls block briefly and never call back. A value written by one process is
// read back by the next with its type.
class Preferences {
 public:
  virtual ~Preferences() = default;

  // The application's defaults. A write is stored at once.
  virtual std::optional<PreferenceValue> value(std::string_view key) = 0;
  virtual Status setValue(std::string_view key, const PreferenceValue& value) = 0;
  virtual Status removeValue(std::string_view key) = 0;

  // A named domain. Writes are kept until the domain is synchronised; reads see them.
  virtual std::optional<PreferenceValue> domainValue(std::string_view domain,
                                                     std::string_view key) = 0;
  virtual void setDomainValue(std::string_view domain, std::string_view key,
                              const PreferenceValue& value) = 0;
  // Stores the domain's pending writes and rereads what others stored; false when the
  // store could not be written.
  virtual bool synchronizeDomain(std::string_view domain) = 0;
};

}  // namespace deskplay::platform
