#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ast.hpp"
#include "script_failure.hpp"

namespace deskplay::applescript {

// A compiled script: its source and syntax tree. Compiling needs no application to be
// running; the dictionaries of Finder and System Events are built in.
class Script {
 public:
  // Fails with AppleScript's syntax error (number -2741 "Expected … but found …." and kin).
  static Result<Script, ScriptFailure> compile(std::string_view source);

  const ast::Node& root() const { return *program_->root; }
  std::string_view source() const { return program_->source; }

  // Storage of a compiled program; its address never changes, so nodes may point into it.
  // Nodes come from blocks, not one allocation each: long position scripts have thousands.
  struct Program {
    static constexpr std::size_t blockSize = 256;

    std::string source;
    std::vector<std::unique_ptr<ast::Node[]>> blocks;
    std::size_t usedInBlock = blockSize;
    const ast::Node* root = nullptr;

    ast::Node& newNode();
  };

 private:
  explicit Script(std::unique_ptr<Program> program) : program_(std::move(program)) {}

  std::unique_ptr<Program> program_;
};

}  // namespace deskplay::applescript
