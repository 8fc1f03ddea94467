#include "common/canonical_order.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace deskplay {

std::string canonicalComposedForm(std::string_view text) {
  utf8proc_uint8_t* composed = nullptr;
  const utf8proc_ssize_t length =
      utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                   static_cast<utf8proc_ssize_t>(text.size()), &composed,
                   static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
  if (length < 0) return std::string(text);
  std::string result(reinterpret_cast<const char*>(composed), static_cast<size_t>(length));
  std::free(composed);
  return result;
}

void sortByCanonicalForm(std::vector<std::string>& names) {
  // UTF-8 byte order is scalar-value order, so the NFC forms compare as plain bytes.
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (auto& name : names) {
    std::string key = canonicalComposedForm(name);
    keyed.emplace_back(std::move(key), std::move(name));
  }
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace deskplay
