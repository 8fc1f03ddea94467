#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace deskplay {

// The one error shape: a message meant for whoever reads the reply or the log.
struct Error {
  std::string message;
};

// A value or an error. Failures travel as values; nothing here throws.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const Error& error() const { return std::get<1>(state_); }
  const std::string& message() const { return error().message; }

 private:
  std::variant<T, Error> state_;
};

// Success, or an error, for operations without a value.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}

  static Status success() { return {}; }
  bool ok() const { return !error_.has_value(); }
  const Error& error() const { return *error_; }
  const std::string& message() const { return error_->message; }

 private:
  std::optional<Error> error_;
};

}  // namespace deskplay
