#include "evaluator.hpp"

#include <cmath>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "coercion.hpp"

namespace deskplay::applescript {
namespace {

using ast::Kind;
using ast::Node;
using MaybeValue = std::optional<Value>;

constexpr std::string_view apostrophe = "\xE2\x80\x99";

ScriptFailure failureAt(int number, std::string brief, const Node& node) {
  ScriptFailure failure{number, std::move(brief), std::nullopt};
  failure.rangeStart = node.start;
  failure.rangeEnd = node.end;
  return failure;
}

class Evaluator {
 public:
  explicit Evaluator(ScriptEnvironment& environment) : environment_(environment) {}

  Result<MaybeValue, ScriptFailure> run(const Node& root) {
    MaybeValue result;
    auto flow = execute(root, result);
    if (!flow.ok()) return std::move(flow).error();
    return result;
  }

 private:
  enum class Flow { next, returned };

  // --- statements ---

  Result<Flow, ScriptFailure> execute(const Node& node, MaybeValue& result) {
    switch (node.kind) {
      case Kind::block:
        return executeAll(node.items, result);
      case Kind::tell:
        return tell(node, result);
      case Kind::set:
        return assign(node, result);
      case Kind::get:
        return store(value(*node.left), result);
      case Kind::returnValue: {
        if (node.left == nullptr) {
          result.reset();
          return Flow::returned;
        }
        auto returned = value(*node.left);
        if (!returned.ok()) return std::move(returned).error();
        result = std::move(returned).value();
        return Flow::returned;
      }
      case Kind::tryBlock:
        return tryBlock(node, result);
      case Kind::command: {
        auto answer = command(node);
        if (!answer.ok()) return std::move(answer).error();
        result = std::move(answer).value();
        return Flow::next;
      }
      default:
        return store(value(node), result);
    }
  }

  Result<Flow, ScriptFailure> store(Result<Value, ScriptFailure> outcome, MaybeValue& result) {
    if (!outcome.ok()) return std::move(outcome).error();
    result = std::move(outcome).value();
    return Flow::next;
  }

  Result<Flow, ScriptFailure> executeAll(const std::vector<const Node*>& statements,
                                         MaybeValue& result) {
    for (const Node* statement : statements) {
      auto flow = execute(*statement, result);
      if (!flow.ok() || flow.value() == Flow::returned) return flow;
    }
    return Flow::next;
  }

  Result<Flow, ScriptFailure> tell(const Node& node, MaybeValue& result) {
    auto target = reference(*node.left);
    if (!target.ok()) return std::move(target).error();
    auto* object = std::get_if<ObjectSpecifier>(&target.value());
    if (object == nullptr) {
      return failureAt(errors::notUnderstood,
                       sourceText(std::get<Value>(target.value())) + " doesn" +
                           std::string(apostrophe) +
                           "t understand the \xE2\x80\x9Ctell\xE2\x80\x9D message.",
                       *node.left);
    }
    targets_.push_back(std::move(*object));
    auto flow = executeAll(node.items, result);
    targets_.pop_back();
    return flow;
  }

  Result<Flow, ScriptFailure> tryBlock(const Node& node, MaybeValue& result) {
    const std::size_t depth = targets_.size();
    auto flow = executeAll(node.items, result);
    if (flow.ok()) return flow;
    targets_.resize(depth);
    const ScriptFailure& failure = flow.error();
    if (!node.name.empty()) variables_.insert_or_assign(node.name, Value(failure.message()));
    if (const auto* numberName = node.literal.as<std::string>()) {
      variables_.insert_or_assign(*numberName, Value(std::int64_t{failure.number}));
    }
    result.reset();
    return executeAll(node.handler, result);
  }

  Result<Flow, ScriptFailure> assign(const Node& node, MaybeValue& result) {
    auto newValue = value(*node.right);
    if (!newValue.ok()) return std::move(newValue).error();
    const Node& target = *node.left;
    if (target.kind == Kind::variable) {
      variables_.insert_or_assign(target.name, newValue.value());
      result = std::move(newValue).value();
      return Flow::next;
    }
    if (target.kind == Kind::property || target.kind == Kind::element) {
      auto object = reference(target);
      if (!object.ok()) return std::move(object).error();
      if (const auto* specifier = std::get_if<ObjectSpecifier>(&object.value())) {
        auto objects = resolve(*specifier);
        if (!objects.ok()) return std::move(objects).error();
        for (const ObjectSpecifier& each : objects.value()) {
          auto stored = send(
              each, [&](ScriptableApplication& app) { return app.set(each, newValue.value()); });
          if (!stored.ok()) return std::move(stored).error();
        }
        result = std::move(newValue).value();
        return Flow::next;
      }
    }
    auto current = value(target);
    const Value shown = current.ok() ? current.value() : Value(MissingValue{});
    return failureAt(errors::cantSet,
                     "Can" + std::string(apostrophe) + "t set " + sourceText(shown) + " to " +
                         sourceText(newValue.value()) + ".",
                     node);
  }

  // --- commands ---

  Result<MaybeValue, ScriptFailure> command(const Node& node) {
    const Command which = node.command;
    if (which == Command::activate || which == Command::quit) return applicationCommand(node);
    auto direct = reference(*node.left);
    if (!direct.ok()) return std::move(direct).error();
    if (const auto* plain = std::get_if<Value>(&direct.value())) {
      if (which == Command::exists) return MaybeValue(Value(true));
      if (which == Command::count) {
        if (const auto* list = plain->as<List>()) {
          return MaybeValue(Value(static_cast<std::int64_t>(list->size())));
        }
        if (const auto* text = plain->as<std::string>()) {
          std::int64_t characters = 0;
          for (const char c : *text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
          return MaybeValue(Value(characters));
        }
      }
      auto failure = notUnderstood(sourceText(*plain), which);
      failure.rangeStart = node.start;
      failure.rangeEnd = node.end;
      return failure;
    }
    const auto& object = std::get<ObjectSpecifier>(direct.value());
    const bool filtered = hasFilter(object);
    auto objects = resolve(object);
    if (!objects.ok()) return std::move(objects).error();
    if (filtered && which == Command::count) {
      return MaybeValue(Value(static_cast<std::int64_t>(objects.value().size())));
    }
    if (filtered && which == Command::exists) return MaybeValue(Value(!objects.value().empty()));
    MaybeValue last;
    for (const ObjectSpecifier& each : objects.value()) {
      auto answer =
          send(each, [&](ScriptableApplication& app) { return app.perform(which, &each); });
      if (!answer.ok()) return std::move(answer).error();
      last = std::move(answer).value();
    }
    return last;
  }

  Result<MaybeValue, ScriptFailure> applicationCommand(const Node& node) {
    ObjectSpecifier application;
    if (node.left != nullptr) {
      auto direct = reference(*node.left);
      if (!direct.ok()) return std::move(direct).error();
      const auto* object = std::get_if<ObjectSpecifier>(&direct.value());
      if (object == nullptr) {
        auto failure = notUnderstood(sourceText(std::get<Value>(direct.value())), node.command);
        failure.rangeStart = node.start;
        failure.rangeEnd = node.end;
        return failure;
      }
      application = *object;
    } else if (!targets_.empty()) {
      application.application = targets_.back().application;
    } else {
      return failureAt(errors::notUnderstood,
                       "\xC2\xABscript\xC2\xBB doesn" + std::string(apostrophe) +
                           "t understand the \xE2\x80\x9C" +
                           std::string(commandName(node.command)) + "\xE2\x80\x9D message.",
                       node);
    }
    const bool wholeApplication = application.steps.empty() && !application.base;
    return send(application, [&](ScriptableApplication& app) {
      return app.perform(node.command, wholeApplication ? nullptr : &application);
    });
  }

  // --- application events ---

  // Calls the application of `object`, naming it in whatever error it raises.
  template <class Call>
  auto send(const ObjectSpecifier& object, Call call)
      -> decltype(call(std::declval<ScriptableApplication&>())) {
    ScriptableApplication* app = environment_.application(object.application);
    if (app == nullptr) return cantGet(ObjectSpecifier{object.application, std::nullopt, {}});
    auto answer = call(*app);
    if (!answer.ok()) {
      ScriptFailure failure = std::move(answer).error();
      if (!failure.application) failure.application = object.application;
      return failure;
    }
    return answer;
  }

  static bool hasFilter(const ObjectSpecifier& object) {
    for (const SpecifierStep& step : object.steps) {
      if (step.filter != nullptr) return true;
    }
    return false;
  }

  // The objects a specifier stands for once its `whose` tests are applied: itself when it
  // has none.
  Result<std::vector<ObjectSpecifier>, ScriptFailure> resolve(const ObjectSpecifier& object) {
    std::size_t filtered = 0;
    while (filtered < object.steps.size() && object.steps[filtered].filter == nullptr) ++filtered;
    if (filtered == object.steps.size()) return std::vector<ObjectSpecifier>{object};

    ObjectSpecifier candidates{object.application, object.base, {}};
    candidates.steps.assign(object.steps.begin(),
                            object.steps.begin() + static_cast<long>(filtered) + 1);
    const SpecifierStep& test = object.steps[filtered];
    candidates.steps.back().filter = nullptr;
    candidates.steps.back().filterText = {};
    auto elements =
        send(candidates, [&](ScriptableApplication& app) { return app.get(candidates); });
    if (!elements.ok()) return std::move(elements).error();
    const List* list = elements.value().as<List>();
    const List single{elements.value()};
    if (list == nullptr) list = &single;

    std::vector<ObjectSpecifier> matches;
    for (const Value& element : *list) {
      const auto* specifier = element.as<ObjectSpecifier>();
      if (specifier == nullptr) return cantGet(object);
      targets_.push_back(*specifier);
      auto verdict = value(*test.filter);
      targets_.pop_back();
      if (!verdict.ok()) return std::move(verdict).error();
      const auto passes = booleanOf(verdict.value());
      if (!passes) return cantMake(verdict.value(), "boolean");
      if (!*passes) continue;
      ObjectSpecifier match = *specifier;
      match.steps.insert(match.steps.end(), object.steps.begin() + static_cast<long>(filtered) + 1,
                         object.steps.end());
      auto resolved = resolve(match);
      if (!resolved.ok()) return resolved;
      for (auto& each : resolved.value()) matches.push_back(std::move(each));
    }
    return matches;
  }

  Result<Value, ScriptFailure> get(const ObjectSpecifier& object) {
    if (object.steps.empty() && !object.base) return Value(ApplicationRef{object.application});
    if (!hasFilter(object)) {
      return send(object, [&](ScriptableApplication& app) { return app.get(object); });
    }
    auto objects = resolve(object);
    if (!objects.ok()) return std::move(objects).error();
    List values;
    values.reserve(objects.value().size());
    for (const ObjectSpecifier& each : objects.value()) {
      auto got = send(each, [&](ScriptableApplication& app) { return app.get(each); });
      if (!got.ok()) return got;
      values.push_back(std::move(got).value());
    }
    return Value(std::move(values));
  }

  // --- references ---

  using Reference = std::variant<Value, ObjectSpecifier>;

  Result<ObjectSpecifier, ScriptFailure> container(const Node* node, const SpecifierStep& step) {
    if (node == nullptr) {
      if (!targets_.empty()) return targets_.back();
      return cantGet(ObjectSpecifier{{}, std::nullopt, {step}});
    }
    auto found = reference(*node);
    if (!found.ok()) return std::move(found).error();
    if (auto* object = std::get_if<ObjectSpecifier>(&found.value())) return std::move(*object);
    const Value& plain = std::get<Value>(found.value());
    if (const auto* file = plain.as<FileRef>(); file != nullptr && !targets_.empty()) {
      return ObjectSpecifier{targets_.back().application, *file, {}};
    }
    if (const auto* application = plain.as<ApplicationRef>()) {
      return ObjectSpecifier{application->name, std::nullopt, {}};
    }
    ScriptFailure failure{errors::noSuchObject,
                          "Can" + std::string(apostrophe) + "t get " +
                              sourceText(ObjectSpecifier{{}, std::nullopt, {step}}) + " of " +
                              sourceText(plain) + ".",
                          std::nullopt};
    failure.rangeStart = node->start;
    failure.rangeEnd = node->end;
    return failure;
  }

  Result<Reference, ScriptFailure> reference(const Node& node) {
    switch (node.kind) {
      case Kind::application:
        return Reference(ObjectSpecifier{node.name, std::nullopt, {}});
      case Kind::it:
        if (targets_.empty()) return Reference(Value(MissingValue{}));
        return Reference(targets_.back());
      case Kind::property: {
        SpecifierStep step{SpecifierStep::Form::property, node.term, {}, 0, nullptr, {}};
        auto owner = container(node.container, step);
        if (!owner.ok()) return std::move(owner).error();
        return Reference(owner.value().with(std::move(step)));
      }
      case Kind::element: {
        auto step = elementStep(node);
        if (!step.ok()) return std::move(step).error();
        auto owner = container(node.container, step.value());
        if (!owner.ok()) return std::move(owner).error();
        return Reference(owner.value().with(std::move(step).value()));
      }
      case Kind::variable: {
        auto found = variable(node);
        if (!found.ok()) return std::move(found).error();
        if (auto* object = found.value().as<ObjectSpecifier>()) return Reference(*object);
        return Reference(std::move(found).value());
      }
      default: {
        auto plain = value(node);
        if (!plain.ok()) return std::move(plain).error();
        if (auto* object = plain.value().as<ObjectSpecifier>()) return Reference(*object);
        return Reference(std::move(plain).value());
      }
    }
  }

  Result<SpecifierStep, ScriptFailure> elementStep(const Node& node) {
    SpecifierStep step{SpecifierStep::Form::every, node.term, {}, 0, node.filter, node.filterText};
    switch (node.form) {
      case ast::ElementForm::every:
        return step;
      case ast::ElementForm::first:
        step.form = SpecifierStep::Form::index;
        step.index = 1;
        return step;
      case ast::ElementForm::last:
        step.form = SpecifierStep::Form::index;
        step.index = -1;
        return step;
      case ast::ElementForm::keyed:
        break;
    }
    auto key = value(*node.key);
    if (!key.ok()) return std::move(key).error();
    if (const auto* name = key.value().as<std::string>()) {
      step.form = SpecifierStep::Form::name;
      step.name = *name;
      return step;
    }
    const auto number = numberOf(key.value());
    if (number && !key.value().is<bool>()) {
      const double index = number->is<std::int64_t>()
                               ? static_cast<double>(*number->as<std::int64_t>())
                               : std::get<double>(number->data);
      if (index == std::floor(index)) {
        step.form = SpecifierStep::Form::index;
        step.index = static_cast<std::int64_t>(index);
        return step;
      }
    }
    auto failure = cantMake(key.value(), "integer");
    failure.rangeStart = node.key->start;
    failure.rangeEnd = node.key->end;
    return failure;
  }

  Result<Value, ScriptFailure> variable(const Node& node) {
    const auto found = variables_.find(node.name);
    if (found != variables_.end()) return found->second;
    return failureAt(errors::variableNotDefined, "The variable " + node.name + " is not defined.",
                     node);
  }

  // --- values ---

  Result<Value, ScriptFailure> value(const Node& node) {
    switch (node.kind) {
      case Kind::literal:
        return node.literal;
      case Kind::list: {
        List items;
        items.reserve(node.items.size());
        for (const Node* item : node.items) {
          auto itemValue = value(*item);
          if (!itemValue.ok()) return itemValue;
          items.push_back(std::move(itemValue).value());
        }
        return Value(std::move(items));
      }
      case Kind::application:
        return Value(ApplicationRef{node.name});
      case Kind::variable:
        return variable(node);
      case Kind::it: {
        if (targets_.empty()) return Value(MissingValue{});
        return Value(targets_.back());
      }
      case Kind::property:
      case Kind::element: {
        auto found = reference(node);
        if (!found.ok()) return std::move(found).error();
        if (auto* plain = std::get_if<Value>(&found.value())) return std::move(*plain);
        return get(std::get<ObjectSpecifier>(found.value()));
      }
      case Kind::posixFile:
      case Kind::fileSpec:
      case Kind::aliasSpec:
      case Kind::dateSpec:
        return fileLike(node);
      case Kind::coerce: {
        auto operand = value(*node.left);
        if (!operand.ok()) return operand;
        return coerce(operand.value(), node.term, environment_);
      }
      case Kind::negate: {
        auto operand = value(*node.left);
        if (!operand.ok()) return operand;
        const auto number = numberOf(operand.value());
        if (!number) return cantMake(operand.value(), "number");
        if (const auto* integer = number->as<std::int64_t>()) return Value(-*integer);
        return Value(-std::get<double>(number->data));
      }
      case Kind::logicalNot: {
        auto operand = value(*node.left);
        if (!operand.ok()) return operand;
        const auto boolean = booleanOf(operand.value());
        if (!boolean) return cantMake(operand.value(), "boolean");
        return Value(!*boolean);
      }
      case Kind::binary:
        return binary(node);
      case Kind::command: {
        auto answer = command(node);
        if (!answer.ok()) return std::move(answer).error();
        if (!answer.value()) {
          return failureAt(errors::noResult,
                           "No result was returned from some part of this expression.", node);
        }
        return std::move(*answer.value());
      }
      default:
        return failureAt(errors::syntaxError, "This statement has no value.", node);
    }
  }

  Result<Value, ScriptFailure> fileLike(const Node& node) {
    auto operand = value(*node.left);
    if (!operand.ok()) return operand;
    if (node.kind == Kind::dateSpec) return cantMake(operand.value(), "date");
    const auto* text = operand.value().as<std::string>();
    if (text == nullptr) {
      return cantMake(operand.value(), node.kind == Kind::posixFile ? "POSIX file" : "file");
    }
    if (node.kind == Kind::posixFile) return Value(FileRef{FileRef::Kind::file, *text});
    std::string posixPath = posixPathOfHfs(*text);
    if (node.kind == Kind::fileSpec)
      return Value(FileRef{FileRef::Kind::file, std::move(posixPath)});
    if (!environment_.fileExists(posixPath)) {
      return failureAt(errors::fileNotFound,
                       "File " + *text + " wasn" + std::string(apostrophe) + "t found.", node);
    }
    return Value(FileRef{FileRef::Kind::alias, std::move(posixPath)});
  }

  Result<Value, ScriptFailure> binary(const Node& node) {
    using ast::BinaryOp;
    auto left = value(*node.left);
    if (!left.ok()) return left;
    if (node.op == BinaryOp::logicalAnd || node.op == BinaryOp::logicalOr) {
      const auto first = booleanOf(left.value());
      if (!first) return cantMake(left.value(), "boolean");
      if (node.op == BinaryOp::logicalAnd ? !*first : *first) return Value(*first);
      auto right = value(*node.right);
      if (!right.ok()) return right;
      const auto second = booleanOf(right.value());
      if (!second) return cantMake(right.value(), "boolean");
      return Value(*second);
    }
    auto right = value(*node.right);
    if (!right.ok()) return right;
    const Value& a = left.value();
    const Value& b = right.value();
    switch (node.op) {
      case BinaryOp::equal:
        return Value(equalValues(a, b));
      case BinaryOp::notEqual:
        return Value(!equalValues(a, b));
      case BinaryOp::contains: {
        auto contained = containsValue(a, b);
        if (!contained.ok()) return std::move(contained).error();
        return Value(contained.value());
      }
      case BinaryOp::notContains: {
        auto contained = containsValue(a, b);
        if (!contained.ok()) return std::move(contained).error();
        return Value(!contained.value());
      }
      case BinaryOp::concatenate:
        return concatenate(a, b);
      default:
        break;
    }
    auto order = compareValues(a, b);
    if (!order.ok()) return std::move(order).error();
    switch (node.op) {
      case BinaryOp::less:
        return Value(order.value() < 0);
      case BinaryOp::greater:
        return Value(order.value() > 0);
      case BinaryOp::lessOrEqual:
        return Value(order.value() <= 0);
      default:
        return Value(order.value() >= 0);
    }
  }

  static Result<Value, ScriptFailure> concatenate(const Value& a, const Value& b) {
    if (const auto* text = a.as<std::string>()) {
      if (auto more = textOf(b)) return Value(*text + *more);
    }
    List joined;
    if (const auto* list = a.as<List>()) {
      joined = *list;
    } else {
      joined.push_back(a);
    }
    if (const auto* list = b.as<List>()) {
      joined.insert(joined.end(), list->begin(), list->end());
    } else {
      joined.push_back(b);
    }
    return Value(std::move(joined));
  }

  ScriptEnvironment& environment_;
  std::vector<ObjectSpecifier> targets_;
  std::unordered_map<std::string, Value> variables_;
};

}  // namespace

Result<std::optional<Value>, ScriptFailure> evaluate(const Script& script,
                                                     ScriptEnvironment& environment) {
  return Evaluator(environment).run(script.root());
}

}  // namespace deskplay::applescript
