#include "script.hpp"

#include <algorithm>
#include <array>

#include "terminology.hpp"
#include "tokenizer.hpp"

namespace deskplay::applescript {
namespace {

using ast::Kind;
using ast::Node;
using Parsed = Result<Node*, ScriptFailure>;

std::string curly(std::string_view text) {
  return "\xE2\x80\x9C" + std::string(text) + "\xE2\x80\x9D";
}

struct Match {
  const Term* term = nullptr;
  std::size_t words = 0;
};

class Parser {
 public:
  Parser(Script::Program& program, const std::vector<Token>& tokens)
      : program_(program), tokens_(tokens) {}

  Parsed script() {
    Node& block = make(Kind::block, 0);
    skipLines();
    while (peek().kind != Token::Kind::endOfScript) {
      auto statement = this->statement();
      if (!statement.ok()) return statement;
      block.items.push_back(statement.value());
      if (!atLineEnd()) return endOfLineExpected();
      skipLines();
    }
    block.end = program_.source.size();
    return &block;
  }

 private:
  // --- tokens and terms ---

  const Token& peek(std::size_t ahead = 0) const {
    return tokens_[std::min(position_ + ahead, tokens_.size() - 1)];
  }
  void advance(std::size_t count = 1) {
    position_ = std::min(position_ + count, tokens_.size() - 1);
  }
  std::size_t previousEnd() const { return position_ == 0 ? 0 : tokens_[position_ - 1].end; }

  bool isWord(std::string_view word, std::size_t ahead = 0) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::word && token.text == word;
  }
  bool isSymbol(std::string_view symbol, std::size_t ahead = 0) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::symbol && token.text == symbol;
  }
  bool atLineEnd() const {
    return peek().kind == Token::Kind::endOfLine || peek().kind == Token::Kind::endOfScript;
  }
  void skipLines() {
    while (peek().kind == Token::Kind::endOfLine) advance();
  }

  // The longest term starting at the current token: the application's dictionary first,
  // then the language's own words. A token always meets the same dictionary, so the answer is
  // kept for when the parser asks again.
  Match match(std::size_t ahead = 0) const {
    const std::size_t at = std::min(position_ + ahead, tokens_.size() - 1);
    if (matches_.empty()) matches_.resize(tokens_.size());
    if (!matches_[at]) matches_[at] = findMatch(at);
    return *matches_[at];
  }

  Match findMatch(std::size_t at) const {
    if (tokens_[at].kind != Token::Kind::word) return {};
    const std::string_view first = tokens_[at].text;
    const std::size_t longest =
        static_cast<std::size_t>(std::max(languageTerms().longestPhraseFrom(first),
                                          dictionary_ ? dictionary_->longestPhraseFrom(first) : 1));
    std::array<std::size_t, 8> lengths{};
    std::string& phrase = phrase_;
    phrase.clear();
    std::size_t words = 0;
    while (words < longest && words < lengths.size() && at + words < tokens_.size() &&
           tokens_[at + words].kind == Token::Kind::word) {
      if (words > 0) phrase += ' ';
      phrase += tokens_[at + words].text;
      lengths[words++] = phrase.size();
    }
    for (std::size_t count = words; count > 0; --count) {
      const std::string_view candidate(phrase.data(), lengths[count - 1]);
      if (dictionary_ != nullptr) {
        if (const Term* term = dictionary_->find(candidate)) return {term, count};
      }
      if (const Term* term = languageTerms().find(candidate)) return {term, count};
    }
    return {};
  }

  bool isKeyword(const Match& m, std::string_view name) const {
    return m.term != nullptr && m.term->kind == TermKind::keyword && m.term->name == name;
  }

  std::string describe(std::size_t ahead = 0) const {
    const Token& token = peek(ahead);
    switch (token.kind) {
      case Token::Kind::word: {
        const Match m = match(ahead);
        if (m.term == nullptr) return "identifier";
        switch (m.term->kind) {
          case TermKind::keyword:
          case TermKind::command:
            return curly(m.term->name);
          case TermKind::property:
            return "property";
          case TermKind::elementClass:
          case TermKind::typeClass:
            return "class name";
          case TermKind::constant:
            return "constant";
        }
        return "identifier";
      }
      case Token::Kind::string:
        return curly("\"");
      case Token::Kind::integer:
      case Token::Kind::real:
        return "number";
      case Token::Kind::symbol:
        return curly(token.text);
      case Token::Kind::possessive:
        return curly("'s");
      case Token::Kind::endOfLine:
        return "end of line";
      case Token::Kind::endOfScript:
        return "end of script";
      case Token::Kind::unknown:
        return "unknown token";
    }
    return "unknown token";
  }

  ScriptFailure failure(int number, std::string brief) const {
    ScriptFailure failure{number, std::move(brief), std::nullopt};
    failure.rangeStart = peek().start;
    failure.rangeEnd = peek().end;
    return failure;
  }
  ScriptFailure expected(std::string_view what) const {
    return failure(errors::expectedButFound,
                   "Expected " + std::string(what) + " but found " + describe() + ".");
  }
  ScriptFailure endOfLineExpected() const {
    // Two plain words in a row read as one variable after another.
    const bool variableBefore = position_ > 0 && tokens_[position_ - 1].kind == Token::Kind::word &&
                                peek().kind == Token::Kind::word && match().term == nullptr;
    if (variableBefore) {
      return failure(errors::syntaxError,
                     "A identifier can\xE2\x80\x99t go after this identifier.");
    }
    return expected("end of line");
  }

  // Nesting deeper than any script the programs send would only exhaust the stack.
  static constexpr int maximumDepth = 256;

  ScriptFailure tooDeep() const { return failure(errors::stackOverflow, "Stack overflow."); }

  Node& make(Kind kind, std::size_t start) {
    Node& node = program_.newNode();
    node.kind = kind;
    node.start = start;
    node.end = start;
    return node;
  }
  Node* finish(Node& node) {
    node.end = previousEnd();
    return &node;
  }

  // --- statements ---

  Parsed statement() {
    if (depth_ >= maximumDepth) return tooDeep();
    ++depth_;
    Parsed parsed = statementAtDepth();
    --depth_;
    return parsed;
  }

  Parsed statementAtDepth() {
    const Match m = match();
    if (m.term != nullptr && m.term->kind == TermKind::keyword) {
      if (m.term->name == "tell") return tell();
      if (m.term->name == "set") return set();
      if (m.term->name == "get") {
        Node& node = make(Kind::get, peek().start);
        advance();
        auto value = expression();
        if (!value.ok()) return value;
        node.left = value.value();
        return finish(node);
      }
      if (m.term->name == "return") {
        Node& node = make(Kind::returnValue, peek().start);
        advance();
        if (!atLineEnd() && !isWord("end")) {
          auto value = expression();
          if (!value.ok()) return value;
          node.left = value.value();
        }
        return finish(node);
      }
      if (m.term->name == "try") return tryBlock();
    }
    if (m.term != nullptr && m.term->kind == TermKind::command) return command(m);
    auto value = expression();
    if (!value.ok()) return value;
    if (isWord("exists") || isWord("exist")) {
      Node& node = make(Kind::command, value.value()->start);
      node.command = Command::exists;
      node.left = value.value();
      advance();
      return finish(node);
    }
    return value;
  }

  Parsed tell() {
    Node& node = make(Kind::tell, peek().start);
    advance();
    auto target = expression();
    if (!target.ok()) return target;
    node.left = target.value();
    const Dictionary* outer = dictionary_;
    if (node.left->kind == Kind::application) dictionary_ = applicationTerms(node.left->name);
    Parsed body = &node;
    if (isWord("to")) {
      advance();
      auto single = statement();
      if (single.ok()) node.items.push_back(single.value());
      body = std::move(single);
    } else if (!atLineEnd()) {
      body = expected("end of line");
    } else {
      body = block(node.items, "tell", BlockEnd::endOnly);
    }
    dictionary_ = outer;
    if (!body.ok()) return body;
    return finish(node);
  }

  Parsed set() {
    Node& node = make(Kind::set, peek().start);
    advance();
    auto target = reference();
    if (!target.ok()) return target;
    if (!isWord("to")) return expected(curly("to"));
    advance();
    auto value = expression();
    if (!value.ok()) return value;
    node.left = target.value();
    node.right = value.value();
    return finish(node);
  }

  Parsed tryBlock() {
    Node& node = make(Kind::tryBlock, peek().start);
    advance();
    if (!atLineEnd()) return expected("end of line");
    if (auto body = block(node.items, "try", BlockEnd::endOrOnError); !body.ok()) return body;
    if (isWord("on")) {
      advance();
      if (!isWord("error")) return expected(curly("error"));
      advance();
      if (peek().kind == Token::Kind::word && match().term == nullptr) {
        node.name = peek().text;
        advance();
      }
      if (isWord("number")) {
        advance();
        if (peek().kind != Token::Kind::word || match().term != nullptr)
          return expected("identifier");
        node.literal = Value(peek().text);
        advance();
      }
      if (!atLineEnd()) return expected("end of line");
      if (auto handler = block(node.handler, "try", BlockEnd::endOnly); !handler.ok()) {
        return handler;
      }
    }
    return finish(node);
  }

  enum class BlockEnd { endOnly, endOrOnError };

  // Statements up to `end` (and `end <kind>`), or up to `on error` inside a try.
  Parsed block(std::vector<const Node*>& items, std::string_view kind, BlockEnd blockEnd) {
    skipLines();
    while (true) {
      if (peek().kind == Token::Kind::endOfScript) return expected(curly("end"));
      if (isWord("end")) break;
      if (blockEnd == BlockEnd::endOrOnError && isWord("on")) return nullptr;
      auto statement = this->statement();
      if (!statement.ok()) return statement;
      items.push_back(statement.value());
      if (!atLineEnd()) return endOfLineExpected();
      skipLines();
    }
    advance();
    if (isWord(kind) || (kind == "try" && isWord("error"))) {
      advance();
    } else if (peek().kind == Token::Kind::word) {
      return failure(errors::expectedButFound,
                     "Expected " + curly("end") + " or " + curly("end " + std::string(kind)) +
                         " but found " + curly("end " + peek().text) + ".");
    }
    return nullptr;
  }

  Parsed command(const Match& m) {
    Node& node = make(Kind::command, peek().start);
    const std::string_view name = m.term->name;
    advance(m.words);
    static constexpr std::array<Command, 6> commands{Command::count,    Command::exists,
                                                     Command::activate, Command::quit,
                                                     Command::close,    Command::update};
    for (const Command command : commands) {
      if (commandName(command) == name) node.command = command;
    }
    const bool optional = node.command == Command::activate || node.command == Command::quit;
    if (optional && (atLineEnd() || isWord("end") || isSymbol(")"))) return finish(node);
    auto direct = node.command == Command::count ? coercion() : reference();
    if (!direct.ok()) return direct;
    node.left = direct.value();
    return finish(node);
  }

  // --- expressions, loosest first ---

  Parsed expression() { return logicalOr(); }

  Parsed binaryChain(std::string_view word, ast::BinaryOp op, Parsed (Parser::*operand)()) {
    auto left = (this->*operand)();
    if (!left.ok()) return left;
    int links = 0;
    while (isWord(word)) {
      // Each link nests the tree one level deeper.
      if (depth_ + ++links >= maximumDepth) return tooDeep();
      advance();
      auto right = (this->*operand)();
      if (!right.ok()) return right;
      Node& node = make(Kind::binary, left.value()->start);
      node.op = op;
      node.left = left.value();
      node.right = right.value();
      left = finish(node);
    }
    return left;
  }

  Parsed logicalOr() { return binaryChain("or", ast::BinaryOp::logicalOr, &Parser::logicalAnd); }
  Parsed logicalAnd() { return binaryChain("and", ast::BinaryOp::logicalAnd, &Parser::logicalNot); }

  Parsed logicalNot() {
    if (depth_ >= maximumDepth) return tooDeep();
    ++depth_;
    Parsed parsed = logicalNotAtDepth();
    --depth_;
    return parsed;
  }

  Parsed logicalNotAtDepth() {
    // `not arranged` is one of Finder's constants, not a negation.
    const Match m = match();
    if (!isWord("not") || (m.term != nullptr && m.term->kind != TermKind::keyword)) {
      return comparison();
    }
    Node& node = make(Kind::logicalNot, peek().start);
    advance();
    auto operand = logicalNot();
    if (!operand.ok()) return operand;
    node.left = operand.value();
    return finish(node);
  }

  // Consumes a comparison operator, if one is next.
  std::optional<ast::BinaryOp> comparisonOperator() {
    using ast::BinaryOp;
    static constexpr std::array<std::pair<std::string_view, BinaryOp>, 6> symbols{{
        {"=", BinaryOp::equal},
        {"\xE2\x89\xA0", BinaryOp::notEqual},
        {"<", BinaryOp::less},
        {">", BinaryOp::greater},
        {"\xE2\x89\xA4", BinaryOp::lessOrEqual},
        {"\xE2\x89\xA5", BinaryOp::greaterOrEqual},
    }};
    for (const auto& [symbol, op] : symbols) {
      if (isSymbol(symbol)) {
        advance();
        return op;
      }
    }
    if (isWord("equals")) {
      advance();
      return BinaryOp::equal;
    }
    if (isWord("contains") || isWord("contain")) {
      advance();
      return BinaryOp::contains;
    }
    if (isWord("does") && isWord("not", 1) && (isWord("equal", 2) || isWord("contain", 2))) {
      const bool contain = isWord("contain", 2);
      advance(3);
      return contain ? BinaryOp::notContains : BinaryOp::notEqual;
    }
    if (!isWord("is")) return std::nullopt;
    advance();
    bool negated = false;
    if (isWord("not")) {
      negated = true;
      advance();
    }
    if (isWord("greater") || isWord("less")) {
      const bool greater = isWord("greater");
      advance();
      if (isWord("than")) advance();
      if (negated) return greater ? BinaryOp::lessOrEqual : BinaryOp::greaterOrEqual;
      return greater ? BinaryOp::greater : BinaryOp::less;
    }
    if (isWord("equal")) {
      advance();
      if (isWord("to")) advance();
    }
    return negated ? BinaryOp::notEqual : BinaryOp::equal;
  }

  Parsed comparison() {
    auto left = concatenation();
    if (!left.ok()) return left;
    const auto op = comparisonOperator();
    if (!op) return left;
    auto right = concatenation();
    if (!right.ok()) return right;
    Node& node = make(Kind::binary, left.value()->start);
    node.op = *op;
    node.left = left.value();
    node.right = right.value();
    return finish(node);
  }

  Parsed concatenation() {
    auto left = unary();
    if (!left.ok()) return left;
    int links = 0;
    while (isSymbol("&")) {
      // Each link nests the tree one level deeper.
      if (depth_ + ++links >= maximumDepth) return tooDeep();
      advance();
      auto right = unary();
      if (!right.ok()) return right;
      Node& node = make(Kind::binary, left.value()->start);
      node.op = ast::BinaryOp::concatenate;
      node.left = left.value();
      node.right = right.value();
      left = finish(node);
    }
    return left;
  }

  Parsed unary() {
    if (depth_ >= maximumDepth) return tooDeep();
    ++depth_;
    Parsed parsed = unaryAtDepth();
    --depth_;
    return parsed;
  }

  Parsed unaryAtDepth() {
    if (isSymbol("+")) {
      advance();
      return unary();
    }
    if (!isSymbol("-")) return coercion();
    const std::size_t start = peek().start;
    advance();
    auto operand = unary();
    if (!operand.ok()) return operand;
    Node* inner = operand.value();
    if (inner->kind == Kind::literal &&
        (inner->literal.is<std::int64_t>() || inner->literal.is<double>())) {
      Node& folded = *inner;
      if (const auto* integer = folded.literal.as<std::int64_t>()) {
        folded.literal = Value(-*integer);
      } else {
        folded.literal = Value(-std::get<double>(folded.literal.data));
      }
      folded.start = start;
      return inner;
    }
    Node& node = make(Kind::negate, start);
    node.left = inner;
    return finish(node);
  }

  Parsed coercion() {
    auto value = reference();
    if (!value.ok()) return value;
    int links = 0;
    while (isWord("as")) {
      // Each link nests the tree one level deeper.
      if (depth_ + ++links >= maximumDepth) return tooDeep();
      advance();
      const Match m = match();
      const bool typeWord =
          m.term != nullptr &&
          (m.term->kind == TermKind::typeClass || isKeyword(m, "alias") || isKeyword(m, "file") ||
           isKeyword(m, "posix file") || isKeyword(m, "date") ||
           (m.term->kind == TermKind::elementClass &&
            (m.term->name == "file" || m.term->name == "alias")));
      if (!typeWord) return expected("class name");
      Node& node = make(Kind::coerce, value.value()->start);
      node.left = value.value();
      node.term = m.term->name;
      advance(m.words);
      value = finish(node);
    }
    return value;
  }

  // A primary and any `'s` steps after it: `the dock preferences's autohide`.
  Parsed reference() {
    auto value = primary();
    if (!value.ok()) return value;
    int links = 0;
    while (peek().kind == Token::Kind::possessive) {
      // Each link nests the tree one level deeper.
      if (depth_ + ++links >= maximumDepth) return tooDeep();
      advance();
      const Match m = match();
      if (m.term == nullptr ||
          (m.term->kind != TermKind::property && m.term->kind != TermKind::elementClass)) {
        return expected("property");
      }
      value = term(m, value.value());
    }
    return value;
  }

  Parsed literal(Value value) {
    Node& node = make(Kind::literal, peek().start);
    node.literal = std::move(value);
    advance();
    return finish(node);
  }

  Parsed primary() {
    if (depth_ >= maximumDepth) return tooDeep();
    ++depth_;
    Parsed parsed = primaryAtDepth();
    --depth_;
    return parsed;
  }

  Parsed primaryAtDepth() {
    if (isWord("the")) advance();
    const Token& token = peek();
    switch (token.kind) {
      case Token::Kind::string:
        return literal(Value(token.text));
      case Token::Kind::integer:
        return literal(Value(token.integer));
      case Token::Kind::real:
        return literal(Value(token.real));
      case Token::Kind::symbol:
        if (token.text == "(") return parenthesized();
        if (token.text == "{") return list();
        return expected("expression");
      case Token::Kind::word:
        return word();
      default:
        return expected("expression");
    }
  }

  Parsed parenthesized() {
    advance();
    auto inner = expression();
    if (!inner.ok()) return inner;
    if (!isSymbol(")")) return expected(curly(")"));
    advance();
    return inner;
  }

  Parsed list() {
    Node& node = make(Kind::list, peek().start);
    advance();
    if (isSymbol("}")) {
      advance();
      return finish(node);
    }
    while (true) {
      auto item = expression();
      if (!item.ok()) return item;
      node.items.push_back(item.value());
      if (isSymbol("}")) break;
      if (!isSymbol(",")) return expected(curly(",") + " or " + curly("}"));
      advance();
    }
    advance();
    return finish(node);
  }

  Parsed word() {
    const Match m = match();
    if (m.term == nullptr) {
      Node& node = make(Kind::variable, peek().start);
      node.name = peek().text;
      advance();
      return finish(node);
    }
    switch (m.term->kind) {
      case TermKind::property:
      case TermKind::elementClass:
        return term(m, nullptr);
      case TermKind::constant:
        return constant(m);
      case TermKind::command:
        return command(m);
      case TermKind::typeClass:
        return expected("expression");
      case TermKind::keyword:
        return keywordPrimary(m);
    }
    return expected("expression");
  }

  Parsed constant(const Match& m) {
    Node& node = make(Kind::literal, peek().start);
    node.literal = Value(Constant{m.term->name, m.term->code});
    advance(m.words);
    return finish(node);
  }

  Parsed withOperand(Kind kind) {
    Node& node = make(kind, peek().start);
    advance(kind == Kind::posixFile ? 2 : 1);
    auto operand = primary();
    if (!operand.ok()) return operand;
    node.left = operand.value();
    return finish(node);
  }

  Parsed keywordPrimary(const Match& m) {
    const std::string_view name = m.term->name;
    if (name == "true" || name == "false") {
      Node& node = make(Kind::literal, peek().start);
      node.literal = Value(name == "true");
      advance();
      return finish(node);
    }
    if (name == "missing value") {
      Node& node = make(Kind::literal, peek().start);
      node.literal = Value(MissingValue{});
      advance(2);
      return finish(node);
    }
    if (name == "application" || name == "app") return application();
    if (name == "posix file") return withOperand(Kind::posixFile);
    if (name == "file") return withOperand(Kind::fileSpec);
    if (name == "alias") return withOperand(Kind::aliasSpec);
    if (name == "date") return withOperand(Kind::dateSpec);
    if (name == "it") {
      Node& node = make(Kind::it, peek().start);
      advance();
      return finish(node);
    }
    if (name == "its") {
      Node& it = make(Kind::it, peek().start);
      advance();
      finish(it);
      const Match next = match();
      if (next.term == nullptr ||
          (next.term->kind != TermKind::property && next.term->kind != TermKind::elementClass)) {
        return expected("property");
      }
      return term(next, &it);
    }
    if (name == "every" || name == "first" || name == "last" || name == "front" || name == "back") {
      const std::size_t start = peek().start;
      advance();
      const Match element = match();
      if (element.term == nullptr || element.term->kind != TermKind::elementClass) {
        return expected("class name");
      }
      const ast::ElementForm form = name == "every"                        ? ast::ElementForm::every
                                    : (name == "first" || name == "front") ? ast::ElementForm::first
                                                                           : ast::ElementForm::last;
      auto node = elementTail(element, form, nullptr);
      if (node.ok()) node.value()->start = start;
      return node;
    }
    return expected("expression");
  }

  Parsed application() {
    Node& node = make(Kind::application, peek().start);
    advance();
    if (peek().kind != Token::Kind::string) return expected(curly("\""));
    const std::string_view known = canonicalApplicationName(peek().text);
    if (known.empty()) {
      return failure(errors::noSuchObject,
                     "Can\xE2\x80\x99t get application " + quoted(peek().text) + ".");
    }
    node.name = std::string(known);
    advance();
    return finish(node);
  }

  // A property or element term; `container` is set when a possessive or `its` gave it.
  Parsed term(const Match& m, const Node* container) {
    if (m.term->kind == TermKind::property) {
      Node& node = make(Kind::property, container ? container->start : peek().start);
      node.term = m.term->name;
      advance(m.words);
      if (container != nullptr) {
        node.container = container;
      } else if (auto of = ofContainer(); !of.ok()) {
        return of;
      } else {
        node.container = of.value();
      }
      return finish(node);
    }
    if (m.term->plural) return elementTail(m, ast::ElementForm::every, container);
    return elementTail(m, ast::ElementForm::keyed, container);
  }

  bool keyFollows() const {
    const Token& next = peek();
    if (next.kind == Token::Kind::string || next.kind == Token::Kind::integer ||
        next.kind == Token::Kind::real) {
      return true;
    }
    if (isSymbol("(")) return true;
    if (isSymbol("-") &&
        (peek(1).kind == Token::Kind::integer || peek(1).kind == Token::Kind::real)) {
      return true;
    }
    return next.kind == Token::Kind::word && match().term == nullptr;
  }

  Parsed key() {
    if (isSymbol("-")) return unary();
    if (isSymbol("(")) return parenthesized();
    return primary();
  }

  Parsed elementTail(const Match& m, ast::ElementForm form, const Node* container) {
    const std::size_t start = container ? container->start : peek().start;
    advance(m.words);
    if (form == ast::ElementForm::keyed) {
      if (isWord("named") || isWord("index")) advance();
      if (!keyFollows()) {
        if (m.term->alsoProperty) {
          Node& node = make(Kind::property, start);
          node.term = m.term->name;
          if (container != nullptr) {
            node.container = container;
          } else if (auto of = ofContainer(); !of.ok()) {
            return of;
          } else {
            node.container = of.value();
          }
          return finish(node);
        }
        return expected("expression");
      }
    }
    Node& node = make(Kind::element, start);
    node.term = m.term->name;
    node.form = form;
    if (form == ast::ElementForm::keyed) {
      auto keyNode = key();
      if (!keyNode.ok()) return keyNode;
      node.key = keyNode.value();
    }
    if (auto filter = whoseClause(node); !filter.ok()) return filter;
    if (container != nullptr) {
      node.container = container;
    } else if (auto of = ofContainer(); !of.ok()) {
      return of;
    } else {
      node.container = of.value();
    }
    if (node.filter == nullptr) {
      if (auto filter = whoseClause(node); !filter.ok()) return filter;
    }
    // Finder reads `file "Macintosh HD:…"` on its own as a file by its path.
    if (node.container == nullptr && node.key != nullptr && node.key->kind == Kind::literal &&
        node.key->literal.is<std::string>() && (m.term->name == "file")) {
      node.kind = Kind::fileSpec;
      node.left = node.key;
      node.key = nullptr;
    }
    return finish(node);
  }

  Parsed whoseClause(Node& element) {
    if (element.form != ast::ElementForm::every || !(isWord("whose") || isWord("where"))) {
      return nullptr;
    }
    advance();
    const std::size_t start = peek().start;
    auto test = expression();
    if (!test.ok()) return test;
    element.filter = test.value();
    element.filterText = std::string_view(program_.source).substr(start, previousEnd() - start);
    return nullptr;
  }

  Parsed ofContainer() {
    if (!isWord("of") && !isWord("in")) return nullptr;
    advance();
    return reference();
  }

  Script::Program& program_;
  const std::vector<Token>& tokens_;
  std::size_t position_ = 0;
  int depth_ = 0;
  const Dictionary* dictionary_ = nullptr;
  mutable std::string phrase_;
  mutable std::vector<std::optional<Match>> matches_;
};

}  // namespace

ast::Node& Script::Program::newNode() {
  if (usedInBlock == blockSize) {
    blocks.push_back(std::make_unique<ast::Node[]>(blockSize));
    usedInBlock = 0;
  }
  return blocks.back()[usedInBlock++];
}

Result<Script, ScriptFailure> Script::compile(std::string_view source) {
  auto program = std::make_unique<Program>();
  program->source = std::string(source);
  auto tokens = tokenize(program->source);
  if (!tokens.ok()) return std::move(tokens).error();
  Parser parser(*program, tokens.value());
  auto root = parser.script();
  if (!root.ok()) return std::move(root).error();
  program->root = root.value();
  return Script(std::move(program));
}

}  // namespace deskplay::applescript
