#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "command.hpp"
#include "value.hpp"

namespace deskplay::applescript::ast {

enum class Kind {
  block,        // items: statements
  tell,         // left: target; items: body
  set,          // left: target reference; right: value
  get,          // left: expression
  returnValue,  // left: expression or none
  tryBlock,     // items: body; handler: on error body; name: message variable
  command,      // command; left: direct parameter or none
  literal,      // literal
  list,         // items
  application,  // name
  posixFile,    // left: path expression
  fileSpec,     // left: HFS path expression
  aliasSpec,    // left: HFS path expression
  dateSpec,     // left: date text expression
  variable,     // name
  it,           // the current target
  property,     // term; container or none
  element,      // term; form; key; filter; container or none
  coerce,       // left; term: the type class
  negate,       // left
  logicalNot,   // left
  binary,       // op; left; right
};

enum class BinaryOp {
  logicalAnd,
  logicalOr,
  equal,
  notEqual,
  less,
  greater,
  lessOrEqual,
  greaterOrEqual,
  contains,
  notContains,
  concatenate,
};

enum class ElementForm { keyed, every, first, last };

struct Node {
  Kind kind = Kind::literal;
  std::size_t start = 0;
  std::size_t end = 0;
  const Node* left = nullptr;
  const Node* right = nullptr;
  const Node* container = nullptr;
  const Node* key = nullptr;
  const Node* filter = nullptr;
  std::vector<const Node*> items;
  std::vector<const Node*> handler;
  Value literal;
  std::string_view term;
  std::string_view filterText;
  std::string name;
  BinaryOp op = BinaryOp::equal;
  ElementForm form = ElementForm::keyed;
  Command command = Command::count;
};

}  // namespace deskplay::applescript::ast
