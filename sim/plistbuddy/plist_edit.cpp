#include "plist_edit.hpp"

#include <optional>
#include <vector>

#include "entry_path.hpp"
#include "print_text.hpp"
#include "value_text.hpp"

namespace deskplay::plistbuddy {

namespace {

Error doesNotExist(const Command& command) {
  return Error{std::string(verbName(command.verb)) + ": Entry, \"" + command.entry +
               "\", Does Not Exist"};
}

Error withVerb(const Command& command, const std::string& message) {
  return Error{std::string(verbName(command.verb)) + ": " + message};
}

bool isContainer(plist_t node) {
  const plist_type type = plist_get_node_type(node);
  return type == PLIST_DICT || type == PLIST_ARRAY;
}

// The container that will hold the new entry: existing dictionaries and arrays are walked
// through, missing names become new dictionaries. Nothing when a step is not a container.
plist_t parentForAdd(plist_t root, const std::vector<std::string>& keys) {
  plist_t node = root;
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    plist_t child = childNamed(node, keys[i]);
    if (child == nullptr && plist_get_node_type(node) == PLIST_DICT) {
      plist_dict_set_item(node, keys[i].c_str(), plist_new_dict());
      child = plist_dict_get_item(node, keys[i].c_str());
    }
    if (child == nullptr || !isContainer(child)) return nullptr;
    node = child;
  }
  return node;
}

bool insertInto(plist_t parent, const std::string& key, plist::PlistNode value) {
  if (plist_get_node_type(parent) == PLIST_DICT) {
    plist_dict_set_item(parent, key.c_str(), value.release());
    return true;
  }
  if (plist_get_node_type(parent) != PLIST_ARRAY) return false;
  const std::optional<uint32_t> index = arrayIndex(key);
  const uint32_t size = plist_array_get_size(parent);
  if (!index || *index > size) return false;
  if (*index == size) {
    plist_array_append_item(parent, value.release());
  } else {
    plist_array_insert_item(parent, value.release(), *index);
  }
  return true;
}

}  // namespace

Result<std::string> printEntry(plist_t root, const Command& command) {
  const plist_t node = findEntry(root, entryKeys(command.entry));
  if (node == nullptr) return doesNotExist(command);
  return printText(node);
}

Status setEntry(plist_t root, const Command& command) {
  const plist_t node = findEntry(root, entryKeys(command.entry));
  if (node == nullptr) return doesNotExist(command);
  if (isContainer(node)) return withVerb(command, "Cannot Perform Set On Containers");
  const Status assigned = assignValue(node, command.value.value_or(""));
  if (!assigned.ok()) return withVerb(command, assigned.message());
  return Status::success();
}

Status addEntry(plist_t root, const Command& command) {
  const std::optional<EntryType> type = entryTypeNamed(command.type);
  if (!type) return Error{"Unrecognized Type: " + command.type};
  Result<plist::PlistNode> value = newValue(*type, command.value);
  if (!value.ok()) return withVerb(command, value.message());
  const std::vector<std::string> keys = entryKeys(command.entry);
  const plist_t named = findEntry(root, keys);
  // "…:list:" appends to the array `list`.
  if (command.entry.ends_with(':') && named != nullptr &&
      plist_get_node_type(named) == PLIST_ARRAY) {
    plist_array_append_item(named, std::move(value).value().release());
    return Status::success();
  }
  // Inside an array an existing index is where the new item goes, not a clash.
  if (named != nullptr &&
      (keys.empty() || plist_get_node_type(plist_get_parent(named)) != PLIST_ARRAY)) {
    return withVerb(command, "\"" + command.entry + "\" Entry Already Exists");
  }
  const plist_t parent = parentForAdd(root, keys);
  if (parent == nullptr || !insertInto(parent, keys.back(), std::move(value).value())) {
    return withVerb(command, "Can't Add Entry, \"" + command.entry + "\", to Parent");
  }
  return Status::success();
}

}  // namespace deskplay::plistbuddy
