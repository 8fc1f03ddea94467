#include "coercion.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "tokenizer.hpp"

namespace deskplay::applescript {
namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), lower);
  return result;
}

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view space = " \t\r\n";
  const auto first = text.find_first_not_of(space);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::optional<Value> numberFromText(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  std::int64_t integer = 0;
  const char* end = text.data() + text.size();
  const auto [integerEnd, integerError] =
      std::from_chars(text.data() + (text.front() == '+' ? 1 : 0), end, integer);
  if (integerError == std::errc{} && integerEnd == end && integer <= largestInteger &&
      integer >= -largestInteger - 1) {
    return Value(integer);
  }
  double real = 0;
  const auto [realEnd, realError] =
      std::from_chars(text.data() + (text.front() == '+' ? 1 : 0), end, real);
  if (realError == std::errc{} && realEnd == end && std::isfinite(real)) return Value(real);
  return std::nullopt;
}

const Value* singleItem(const Value& value) {
  const auto* list = value.as<List>();
  return list != nullptr && list->size() == 1 ? &list->front() : nullptr;
}

}  // namespace

std::optional<std::string> textOf(const Value& value) {
  if (const auto* text = value.as<std::string>()) return *text;
  if (const auto* integer = value.as<std::int64_t>()) return std::to_string(*integer);
  if (const auto* real = value.as<double>()) return realText(*real);
  if (const auto* boolean = value.as<bool>()) return std::string(*boolean ? "true" : "false");
  if (const auto* constant = value.as<Constant>()) return std::string(constant->name);
  if (value.is<MissingValue>()) return std::string("missing value");
  if (const auto* file = value.as<FileRef>()) return hfsPath(file->posixPath);
  if (const auto* list = value.as<List>()) {
    std::string joined;
    for (const Value& item : *list) {
      auto text = textOf(item);
      if (!text) return std::nullopt;
      joined += *text;
    }
    return joined;
  }
  return std::nullopt;
}

std::optional<Value> numberOf(const Value& value) {
  if (value.is<std::int64_t>() || value.is<double>()) return value;
  if (const auto* text = value.as<std::string>()) return numberFromText(*text);
  if (const auto* boolean = value.as<bool>()) return Value(std::int64_t{*boolean ? 1 : 0});
  if (const Value* item = singleItem(value)) return numberOf(*item);
  return std::nullopt;
}

std::optional<bool> booleanOf(const Value& value) {
  if (const auto* boolean = value.as<bool>()) return *boolean;
  if (const auto* text = value.as<std::string>()) {
    const std::string word = lowered(*text);
    if (word == "true") return true;
    if (word == "false") return false;
    return std::nullopt;
  }
  if (const auto* integer = value.as<std::int64_t>()) {
    if (*integer == 0 || *integer == 1) return *integer == 1;
    return std::nullopt;
  }
  if (const Value* item = singleItem(value)) return booleanOf(*item);
  return std::nullopt;
}

std::string posixPathOfHfs(std::string_view hfs) {
  std::string path;
  const std::string disk = std::string(startupDiskName) + ":";
  if (hfs.starts_with(disk)) {
    hfs.remove_prefix(disk.size());
  } else {
    path = "/Volumes";
  }
  path += '/';
  for (const char c : hfs) path += c == ':' ? '/' : (c == '/' ? ':' : c);
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

Result<Value, ScriptFailure> coerce(const Value& value, std::string_view typeName,
                                    ScriptEnvironment& environment) {
  if (typeName == "text" || typeName == "string" || typeName == "unicode text") {
    if (auto text = textOf(value)) return Value(std::move(*text));
  } else if (typeName == "integer") {
    if (auto number = numberOf(value)) {
      if (number->is<std::int64_t>()) return *number;
      const double rounded = std::nearbyint(std::get<double>(number->data));
      if (std::fabs(rounded) <= static_cast<double>(largestInteger)) {
        return Value(static_cast<std::int64_t>(rounded));
      }
    }
  } else if (typeName == "real") {
    if (auto number = numberOf(value)) {
      if (const auto* integer = number->as<std::int64_t>()) {
        return Value(static_cast<double>(*integer));
      }
      return *number;
    }
  } else if (typeName == "number") {
    if (auto number = numberOf(value)) return *number;
  } else if (typeName == "boolean") {
    if (auto boolean = booleanOf(value)) return Value(*boolean);
  } else if (typeName == "list") {
    if (value.is<List>()) return value;
    return Value(List{value});
  } else if (typeName == "alias" || typeName == "file" || typeName == "posix file") {
    std::optional<std::string> posixPath;
    if (const auto* file = value.as<FileRef>()) {
      posixPath = file->posixPath;
    } else if (const auto* text = value.as<std::string>()) {
      posixPath = typeName == "posix file" ? *text : posixPathOfHfs(*text);
    }
    if (posixPath) {
      if (typeName != "alias") return Value(FileRef{FileRef::Kind::file, *posixPath});
      if (environment.fileExists(*posixPath)) {
        return Value(FileRef{FileRef::Kind::alias, *posixPath});
      }
    }
  }
  return cantMake(value, typeName == "posix file" ? "POSIX file" : typeName);
}

bool equalValues(const Value& a, const Value& b) {
  const bool aNumber = a.is<std::int64_t>() || a.is<double>();
  const bool bNumber = b.is<std::int64_t>() || b.is<double>();
  if (aNumber && bNumber) {
    const auto real = [](const Value& v) {
      if (const auto* i = v.as<std::int64_t>()) return static_cast<double>(*i);
      return std::get<double>(v.data);
    };
    return real(a) == real(b);
  }
  if (const auto* aText = a.as<std::string>()) {
    const auto* bText = b.as<std::string>();
    return bText != nullptr && lowered(*aText) == lowered(*bText);
  }
  if (const auto* aList = a.as<List>()) {
    const auto* bList = b.as<List>();
    return bList != nullptr && aList->size() == bList->size() &&
           std::equal(aList->begin(), aList->end(), bList->begin(), equalValues);
  }
  return a == b;
}

Result<int, ScriptFailure> compareValues(const Value& a, const Value& b) {
  if (const auto* aText = a.as<std::string>()) {
    const auto bText = textOf(b);
    if (!bText) return cantMake(b, "text");
    const auto order = lowered(*aText).compare(lowered(*bText));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }
  const auto aNumber = numberOf(a);
  if (!aNumber) return cantMake(a, "number");
  const auto bNumber = numberOf(b);
  if (!bNumber) return cantMake(b, "number");
  const auto real = [](const Value& v) {
    if (const auto* i = v.as<std::int64_t>()) return static_cast<double>(*i);
    return std::get<double>(v.data);
  };
  const double x = real(*aNumber);
  const double y = real(*bNumber);
  return x < y ? -1 : (x > y ? 1 : 0);
}

Result<bool, ScriptFailure> containsValue(const Value& container, const Value& part) {
  if (const auto* text = container.as<std::string>()) {
    const auto partText = textOf(part);
    if (!partText) return cantMake(part, "text");
    return lowered(*text).find(lowered(*partText)) != std::string::npos;
  }
  if (const auto* list = container.as<List>()) {
    if (const auto* sublist = part.as<List>()) {
      if (sublist->empty()) return true;
      if (sublist->size() > list->size()) return false;
      for (std::size_t at = 0; at + sublist->size() <= list->size(); ++at) {
        if (std::equal(sublist->begin(), sublist->end(), list->begin() + static_cast<long>(at),
                       equalValues)) {
          return true;
        }
      }
      return false;
    }
    return std::any_of(list->begin(), list->end(),
                       [&](const Value& item) { return equalValues(item, part); });
  }
  return cantMake(container, "list");
}

}  // namespace deskplay::applescript
