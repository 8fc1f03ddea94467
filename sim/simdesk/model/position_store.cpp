#include "sim/simdesk/model/position_store.hpp"

#include <fstream>
#include <sstream>
#include <system_error>

#include <nlohmann/json.hpp>

#include "common/atomic_file.hpp"

namespace deskplay::simdesk {

PositionStore::PositionStore(std::filesystem::path file) : file_(std::move(file)) {}

void PositionStore::load() {
  entries_.clear();
  absentOrder_.clear();
  dirty_ = false;
  std::ifstream in(file_);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  const auto json = nlohmann::json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (!json.is_object() || !json.contains("items") || !json["items"].is_array()) return;
  for (const auto& item : json["items"]) {
    if (!item.is_object()) continue;
    const auto name = item.find("name");
    const auto x = item.find("x");
    const auto y = item.find("y");
    if (name == item.end() || !name->is_string() || x == item.end() || !x->is_number() ||
        y == item.end() || !y->is_number()) {
      continue;
    }
    set(name->get<std::string>(), {x->get<double>(), y->get<double>()});
    const auto present = item.find("present");
    if (present != item.end() && present->is_boolean() && !present->get<bool>()) {
      markAbsent(name->get<std::string>());
    }
  }
  dirty_ = false;
}

Status PositionStore::save() {
  if (!dirty_) return Status::success();
  auto items = nlohmann::json::array();
  for (const auto& [name, entry] : entries_) {
    if (!entry.present) continue;
    items.push_back({{"name", name}, {"x", entry.position.x}, {"y", entry.position.y}});
  }
  // Absent names oldest first, so that a reload keeps their order of forgetting.
  for (const std::string& name : absentOrder_) {
    const Entry& entry = entries_.at(name);
    items.push_back(
        {{"name", name}, {"x", entry.position.x}, {"y", entry.position.y}, {"present", false}});
  }
  const nlohmann::json document{{"version", 1}, {"items", std::move(items)}};
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  if (error) return Error{"cannot create " + file_.parent_path().string() + ": " + error.message()};
  Status written = replaceFileAtomically(
      file_, document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  if (written.ok()) dirty_ = false;
  return written;
}

std::optional<platform::Point> PositionStore::find(std::string_view name) const {
  auto it = entries_.find(std::string(name));
  if (it == entries_.end()) return std::nullopt;
  return it->second.position;
}

void PositionStore::set(const std::string& name, platform::Point position) {
  auto [it, inserted] = entries_.try_emplace(name);
  Entry& entry = it->second;
  if (!inserted && entry.present && entry.position == position) return;
  entry.position = position;
  if (!entry.present) {
    absentOrder_.erase(entry.absentSlot);
    entry.present = true;
  }
  dirty_ = true;
}

void PositionStore::markAbsent(const std::string& name) {
  auto it = entries_.find(name);
  if (it == entries_.end() || !it->second.present) return;
  it->second.present = false;
  it->second.absentSlot = absentOrder_.insert(absentOrder_.end(), name);
  while (absentOrder_.size() > kRememberedAbsent) {
    entries_.erase(absentOrder_.front());
    absentOrder_.pop_front();
  }
  dirty_ = true;
}

void PositionStore::markPresent(const std::string& name) {
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.present) return;
  absentOrder_.erase(it->second.absentSlot);
  it->second.present = true;
  dirty_ = true;
}

}  // namespace deskplay::simdesk

namespace deskplay::simdesk {

void PositionStore::forget(const std::string& name) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return;
  if (!it->second.present) absentOrder_.erase(it->second.absentSlot);
  entries_.erase(it);
  dirty_ = true;
}

}  // namespace deskplay::simdesk
