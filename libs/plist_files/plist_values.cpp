#include "plist_files/plist_values.hpp"

#include <cstdlib>
#include <memory>

namespace deskplay::plist {

namespace {

struct FreeText {
  void operator()(char* text) const { std::free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;

}  // namespace

std::string stringValue(plist_t node) {
  char* text = nullptr;
  plist_get_string_val(node, &text);
  const OwnedText owned(text);
  return text == nullptr ? std::string() : std::string(text);
}

std::string dataValue(plist_t node) {
  char* bytes = nullptr;
  uint64_t length = 0;
  plist_get_data_val(node, &bytes, &length);
  const OwnedText owned(bytes);
  return bytes == nullptr ? std::string() : std::string(bytes, length);
}

std::int64_t integerValue(plist_t node) {
  uint64_t value = 0;
  plist_get_uint_val(node, &value);
  return static_cast<std::int64_t>(value);
}

void forEachDictItem(plist_t dictionary,
                     const std::function<void(std::string_view key, plist_t value)>& visit) {
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(dictionary, &iterator);
  const OwnedText ownedIterator(static_cast<char*>(iterator));
  while (true) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(dictionary, iterator, &key, &value);
    const OwnedText ownedKey(key);
    if (value == nullptr) break;
    visit(key == nullptr ? std::string_view() : std::string_view(key), value);
  }
}

}  // namespace deskplay::plist
