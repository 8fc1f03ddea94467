#include "sim/simdesk/server/request_fields.hpp"

namespace deskplay::simdesk::server {

const nlohmann::json* RequestFields::find(std::string_view key) const {
  const auto found = request_.find(key);
  return found == request_.end() ? nullptr : &*found;
}

Error RequestFields::invalid(std::string_view key, std::string_view expected) {
  return Error{"\"" + std::string(key) + "\" must be " + std::string(expected)};
}

bool RequestFields::has(std::string_view key) const { return find(key) != nullptr; }

Result<std::string> RequestFields::text(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr || !value->is_string()) return invalid(key, "a string");
  return value->get<std::string>();
}

Result<double> RequestFields::number(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr || !value->is_number()) return invalid(key, "a number");
  return value->get<double>();
}

Result<bool> RequestFields::flag(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr || !value->is_boolean()) return invalid(key, "true or false");
  return value->get<bool>();
}

Result<std::int64_t> RequestFields::integer(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr || !value->is_number_integer() ||
      (value->is_number_unsigned() && value->get<std::uint64_t>() > INT64_MAX)) {
    return invalid(key, "an integer");
  }
  return value->get<std::int64_t>();
}

Result<std::uint64_t> RequestFields::handle(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr || !value->is_number_unsigned()) return invalid(key, "an element handle");
  return value->get<std::uint64_t>();
}

Result<nlohmann::json> RequestFields::raw(std::string_view key) const {
  const nlohmann::json* value = find(key);
  if (value == nullptr) return Error{"\"" + std::string(key) + "\" is missing"};
  return *value;
}

}  // namespace deskplay::simdesk::server
