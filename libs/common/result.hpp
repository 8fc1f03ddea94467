#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace deskplay {

// What kind of failure an error is, for callers that handle some failures differently from
// others. Callers branch on the kind, never on the message.
enum class ErrorKind {
  // Anything the caller can only report.
  failed,
  // The service asked (simdesk) is not there to ask.
  unavailable,
};

// The common error shape: a kind to branch on and a message meant for whoever reads the reply
// or the log.
struct Error {
  explicit Error(std::string text) : message(std::move(text)) {}
  Error(ErrorKind errorKind, std::string text) : kind(errorKind), message(std::move(text)) {}

  ErrorKind kind = ErrorKind::failed;
  std::string message;
};

namespace result_detail {

// An error's message, whether the error keeps it as text or words it on request.
template <class E>
decltype(auto) messageOf(const E& error) {
  if constexpr (requires { error.message(); }) {
    return error.message();
  } else {
    return (error.message);
  }
}

}  // namespace result_detail

// A value or an error. Failures travel as values; nothing here throws. E is `Error` unless a
// part needs more than a kind and a message (script errors carry AppleScript's numbers).
template <class T, class E = Error>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const E& error() const& { return std::get<1>(state_); }
  E&& error() && { return std::get<1>(std::move(state_)); }
  decltype(auto) message() const { return result_detail::messageOf(error()); }

 private:
  std::variant<T, E> state_;
};

// Success, or an error, for operations without a value.
template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(E error) : error_(std::move(error)) {}

  static Result success() { return {}; }
  bool ok() const { return !error_.has_value(); }
  const E& error() const& { return *error_; }
  E&& error() && { return *std::move(error_); }
  decltype(auto) message() const { return result_detail::messageOf(error()); }

 private:
  std::optional<E> error_;
};

using Status = Result<void>;

}  // namespace deskplay
