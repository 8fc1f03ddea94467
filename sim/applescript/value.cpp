#include "value.hpp"

#include <charconv>
#include <cmath>

namespace deskplay::applescript {

ObjectSpecifier ObjectSpecifier::with(SpecifierStep step) const {
  ObjectSpecifier longer = *this;
  longer.steps.push_back(std::move(step));
  return longer;
}

std::string hfsPath(std::string_view posixPath) {
  std::string path(startupDiskName);
  for (const char c : posixPath) {
    if (c == '/') {
      path += ':';
    } else if (c == ':') {
      path += '/';
    } else {
      path += c;
    }
  }
  if (path.size() == startupDiskName.size()) path += ':';
  return path;
}

std::string quoted(std::string_view text) {
  std::string literal = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') literal += '\\';
    literal += c;
  }
  literal += '"';
  return literal;
}

std::string realText(double value) {
  char buffer[64];
  const double magnitude = std::fabs(value);
  const bool scientific = magnitude >= 1e4 || (magnitude < 1e-4 && magnitude != 0.0);
  const auto format = scientific ? std::chars_format::scientific : std::chars_format::fixed;
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, format).ptr;
  std::string text(buffer, end);
  const auto exponentAt = text.find('e');
  std::string mantissa = text.substr(0, exponentAt);
  if (mantissa.find('.') == std::string::npos) mantissa += ".0";
  if (exponentAt == std::string::npos) return mantissa;
  const char sign = text[exponentAt + 1];
  std::string digits = text.substr(exponentAt + 2);
  while (digits.size() > 1 && digits.front() == '0') digits.erase(0, 1);
  return mantissa + "E" + (sign == '-' ? "-" : "+") + digits;
}

namespace {

std::string stepText(const SpecifierStep& step) {
  switch (step.form) {
    case SpecifierStep::Form::property:
      return std::string(step.term);
    case SpecifierStep::Form::name:
      return std::string(step.term) + " " + quoted(step.name);
    case SpecifierStep::Form::index:
      return std::string(step.term) + " " + std::to_string(step.index);
    case SpecifierStep::Form::every: {
      std::string text = "every " + std::string(step.term);
      if (step.filter != nullptr) text += " whose " + std::string(step.filterText);
      return text;
    }
  }
  return {};
}

std::string fileText(const FileRef& file) {
  return (file.kind == FileRef::Kind::alias ? "alias " : "file ") + quoted(hfsPath(file.posixPath));
}

}  // namespace

std::string sourceText(const ObjectSpecifier& specifier) {
  std::string text;
  for (auto step = specifier.steps.rbegin(); step != specifier.steps.rend(); ++step) {
    if (!text.empty()) text += " of ";
    text += stepText(*step);
  }
  if (specifier.base) {
    if (!text.empty()) text += " of ";
    text += fileText(*specifier.base);
  } else if (text.empty()) {
    text = "application " + quoted(specifier.application);
  }
  return text;
}

std::string sourceText(const Value& value) {
  struct Render {
    std::string operator()(const MissingValue&) const { return "missing value"; }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return realText(v); }
    std::string operator()(const std::string& v) const { return quoted(v); }
    std::string operator()(const List& items) const {
      std::string text = "{";
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += ", ";
        text += sourceText(items[i]);
      }
      return text + "}";
    }
    std::string operator()(const Constant& v) const { return std::string(v.name); }
    std::string operator()(const FileRef& v) const { return fileText(v); }
    std::string operator()(const ObjectSpecifier& v) const { return sourceText(v); }
    std::string operator()(const ApplicationRef& v) const {
      return "application " + quoted(v.name);
    }
  };
  return std::visit(Render{}, value.data);
}

}  // namespace deskplay::applescript
