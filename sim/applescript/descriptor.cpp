#include "descriptor.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "coercion.hpp"
#include "evaluator.hpp"

namespace deskplay::applescript {
namespace {

std::string printedText(std::string_view text) {
  std::string printed = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') printed += '\\';
    printed += c;
  }
  return printed + "\"";
}

std::string fileUrl(std::string_view posixPath) {
  static constexpr std::string_view hex = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : posixPath) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       std::string_view("/-._~").find(c) != std::string_view::npos;
    if (plain) {
      url += c;
    } else {
      url += '%';
      url += hex[byte >> 4];
      url += hex[byte & 0x0F];
    }
  }
  return url;
}

std::string printed(const Value& value);

std::string printedSpecifier(const ObjectSpecifier& object) {
  std::string from = "null()";
  if (object.base) from = "'furl'(" + printedText(fileUrl(object.base->posixPath)) + ")";
  for (const SpecifierStep& step : object.steps) {
    std::string form;
    std::string key;
    switch (step.form) {
      case SpecifierStep::Form::property:
        form = "'prop'";
        key = "'" + std::string(step.term) + "'";
        break;
      case SpecifierStep::Form::name:
        form = "'name'";
        key = "'utxt'(" + printedText(step.name) + ")";
        break;
      case SpecifierStep::Form::index:
        form = "'indx'";
        key = "'long'(" + std::to_string(step.index) + ")";
        break;
      case SpecifierStep::Form::every:
        form = "'indx'";
        key = "'abso'('all ')";
        break;
    }
    from = "'obj '{ 'want':'" + std::string(step.term) + "', 'form':" + form + ", 'seld':" + key +
           ", 'from':" + from + " }";
  }
  return from;
}

std::string printed(const Value& value) {
  if (const auto* text = value.as<std::string>()) return "'utxt'(" + printedText(*text) + ")";
  if (const auto* integer = value.as<std::int64_t>())
    return "'long'(" + std::to_string(*integer) + ")";
  if (const auto* real = value.as<double>()) return "'doub'(" + realText(*real) + ")";
  if (const auto* boolean = value.as<bool>()) return *boolean ? "'true'" : "'fals'";
  if (value.is<MissingValue>()) return "'msng'";
  if (const auto* constant = value.as<Constant>()) {
    return "'enum'('" + std::string(constant->code) + "')";
  }
  if (const auto* file = value.as<FileRef>()) {
    const std::string url = printedText(fileUrl(file->posixPath));
    return file->kind == FileRef::Kind::alias ? "'alis'(" + url + ")" : "'furl'(" + url + ")";
  }
  if (const auto* list = value.as<List>()) {
    std::string text = "[ ";
    for (std::size_t i = 0; i < list->size(); ++i) {
      if (i > 0) text += ", ";
      text += printed((*list)[i]);
    }
    return text + " ]";
  }
  if (const auto* object = value.as<ObjectSpecifier>()) return printedSpecifier(*object);
  if (const auto* application = value.as<ApplicationRef>()) {
    return "'sign'(" + printedText(application->name) + ")";
  }
  return "null()";
}

std::int32_t int32Of(const Value& value) {
  if (value.is<List>() || value.is<Constant>() || value.is<MissingValue>()) return 0;
  const auto number = numberOf(value);
  if (!number) return 0;
  if (const auto* integer = number->as<std::int64_t>()) {
    if (*integer < std::numeric_limits<std::int32_t>::min() ||
        *integer > std::numeric_limits<std::int32_t>::max()) {
      return 0;
    }
    return static_cast<std::int32_t>(*integer);
  }
  const double rounded = std::nearbyint(std::get<double>(number->data));
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return 0;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

platform::ScriptValue descriptorOf(const Value& value) {
  platform::ScriptValue descriptor;
  const bool textual = !(value.is<List>() || value.is<Constant>() || value.is<MissingValue>() ||
                         value.is<ObjectSpecifier>() || value.is<ApplicationRef>());
  if (textual) descriptor.stringValue = textOf(value);
  descriptor.int32Value = int32Of(value);
  descriptor.description = printed(value);
  return descriptor;
}

platform::ScriptError errorDictionary(const ScriptFailure& failure) {
  platform::ScriptError error;
  error.message = failure.message();
  error.number = failure.number;
  std::string description = "{\n";
  if (failure.application) {
    description += "    NSAppleScriptErrorAppName = " + printedText(*failure.application) + ";\n";
  }
  description += "    NSAppleScriptErrorBriefMessage = " + printedText(failure.brief) + ";\n";
  description += "    NSAppleScriptErrorMessage = " + printedText(failure.message()) + ";\n";
  description += "    NSAppleScriptErrorNumber = " + std::to_string(failure.number) + ";\n";
  description += "    NSAppleScriptErrorRange = \"NSRange: {" + std::to_string(failure.rangeStart) +
                 ", " + std::to_string(failure.rangeEnd - failure.rangeStart) + "}\";\n}";
  error.description = std::move(description);
  return error;
}

std::optional<platform::ScriptError> compileError(std::string_view source) {
  auto script = Script::compile(source);
  if (script.ok()) return std::nullopt;
  return errorDictionary(script.error());
}

platform::ScriptRun run(const Script& script, ScriptEnvironment& environment) {
  auto result = evaluate(script, environment);
  if (!result.ok()) return platform::ScriptRun::runFailure(errorDictionary(result.error()));
  if (!result.value()) return platform::ScriptRun::success();
  return platform::ScriptRun::success(descriptorOf(*result.value()));
}

platform::ScriptRun run(std::string_view source, ScriptEnvironment& environment) {
  auto script = Script::compile(source);
  if (!script.ok()) return platform::ScriptRun::compileFailure(errorDictionary(script.error()));
  return run(script.value(), environment);
}

}  // namespace deskplay::applescript
