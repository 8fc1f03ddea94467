#pragma once

#include <string>
#include <utility>
#include <variant>

namespace deskplay::core {

// Why session feedback refused a record, a tile or a step. The first three are the checks'
// own verdicts; decoding and file-system errors pass through with their own text.
enum class FeedbackFailure {
  invalidRecord,
  ownershipChanged,
  positionFailed,
  decodingFailed,
  fileSystemFailed,
};

struct FeedbackError {
  FeedbackFailure failure = FeedbackFailure::invalidRecord;
  std::string message;
};

// A value or a feedback error; nothing here throws.
template <class T>
class [[nodiscard]] FeedbackResult {
 public:
  FeedbackResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  FeedbackResult(FeedbackError error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const FeedbackError& error() const { return std::get<1>(state_); }
  FeedbackFailure failure() const { return error().failure; }
  const std::string& message() const { return error().message; }

 private:
  std::variant<T, FeedbackError> state_;
};

// Success or a feedback error, for steps without a value.
class [[nodiscard]] FeedbackStatus {
 public:
  FeedbackStatus() = default;
  FeedbackStatus(FeedbackError error) : error_(std::move(error)), failed_(true) {}

  static FeedbackStatus success() { return {}; }
  bool ok() const { return !failed_; }
  const FeedbackError& error() const { return error_; }
  FeedbackFailure failure() const { return error_.failure; }
  const std::string& message() const { return error_.message; }

 private:
  FeedbackError error_;
  bool failed_ = false;
};

}  // namespace deskplay::core
