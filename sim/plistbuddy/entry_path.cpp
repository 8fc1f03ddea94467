#include "entry_path.hpp"

#include <charconv>

namespace deskplay::plistbuddy {

std::vector<std::string> entryKeys(std::string_view entry) {
  std::vector<std::string> keys;
  std::size_t start = 0;
  while (start <= entry.size()) {
    std::size_t end = entry.find(':', start);
    if (end == std::string_view::npos) end = entry.size();
    if (end > start) keys.emplace_back(entry.substr(start, end - start));
    start = end + 1;
  }
  return keys;
}

std::optional<uint32_t> arrayIndex(std::string_view key) {
  uint32_t index = 0;
  const char* end = key.data() + key.size();
  const auto [stop, error] = std::from_chars(key.data(), end, index);
  if (key.empty() || error != std::errc() || stop != end) return std::nullopt;
  return index;
}

plist_t childNamed(plist_t container, const std::string& key) {
  switch (plist_get_node_type(container)) {
    case PLIST_DICT:
      return plist_dict_get_item(container, key.c_str());
    case PLIST_ARRAY: {
      const std::optional<uint32_t> index = arrayIndex(key);
      if (!index || *index >= plist_array_get_size(container)) return nullptr;
      return plist_array_get_item(container, *index);
    }
    default:
      return nullptr;
  }
}

plist_t findEntry(plist_t root, const std::vector<std::string>& keys) {
  plist_t node = root;
  for (const std::string& key : keys) {
    node = childNamed(node, key);
    if (node == nullptr) return nullptr;
  }
  return node;
}

}  // namespace deskplay::plistbuddy
