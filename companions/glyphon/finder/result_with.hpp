#pragma once

#include <optional>
#include <utility>

#include "protocol/command.hpp"

namespace deskplay::glyphon {

// A result carrying one field: resultWith(&CommandResult::iconSize, 64).
template <class Field, class Value>
CommandResult resultWith(std::optional<Field> CommandResult::*field, Value&& value) {
  CommandResult result;
  result.*field = std::forward<Value>(value);
  return result;
}

}  // namespace deskplay::glyphon
