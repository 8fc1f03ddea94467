#pragma once

#include <string>

#include "common/result.hpp"

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

// The error of session feedback's results (`Result<T, FeedbackError>`): the failure to branch
// on, and a message for the log.
struct FeedbackError {
  FeedbackFailure failure = FeedbackFailure::invalidRecord;
  std::string message;
};

}  // namespace deskplay::core
