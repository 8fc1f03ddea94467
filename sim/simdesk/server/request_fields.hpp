#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay::simdesk::server {

// Typed reads of a request's fields. A missing field or one of another type is an error
// naming the field, which rejects the whole request.
class RequestFields {
 public:
  explicit RequestFields(const nlohmann::json& request) : request_(request) {}

  Result<std::string> text(std::string_view key) const;
  Result<double> number(std::string_view key) const;
  Result<bool> flag(std::string_view key) const;
  Result<std::int64_t> integer(std::string_view key) const;
  Result<std::uint64_t> handle(std::string_view key) const;
  // The raw field, of any type; an error only when it is missing.
  Result<nlohmann::json> raw(std::string_view key) const;
  bool has(std::string_view key) const;

 private:
  const nlohmann::json* find(std::string_view key) const;
  static Error invalid(std::string_view key, std::string_view expected);

  const nlohmann::json& request_;
};

}  // namespace deskplay::simdesk::server
