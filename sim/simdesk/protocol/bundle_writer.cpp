#include "sim/simdesk/protocol/bundle_writer.hpp"

#include <charconv>
#include <cmath>

#include "common/json_line.hpp"
#include "common/utf8.hpp"

namespace deskplay::simdesk::protocol {

void BundleWriter::appendString(std::string& out, std::string_view text) {
  out += '"';
  if (isValidUtf8(text)) {
    appendEscapedJsonText(out, text, SlashEscaping::Plain);
  } else {
    appendEscapedJsonText(out, replacingInvalidUtf8(text), SlashEscaping::Plain);
  }
  out += '"';
}

void BundleWriter::appendNumber(std::string& out, double number) {
  if (!std::isfinite(number)) {
    out += "null";
    return;
  }
  char text[32];
  const auto written = std::to_chars(text, text + sizeof(text), number);
  out.append(text, written.ptr);
}

namespace {

void appendUnsigned(std::string& out, std::uint64_t number) {
  char text[24];
  const auto written = std::to_chars(text, text + sizeof(text), number);
  out.append(text, written.ptr);
}

}  // namespace

void BundleWriter::begin(std::uint64_t handle, platform::ProcessId process) {
  out_ += "{\"element\":";
  appendUnsigned(out_, handle);
  out_ += ",\"pid\":";
  char text[16];
  const auto written = std::to_chars(text, text + sizeof(text), process);
  out_.append(text, written.ptr);
  out_ += ",\"attributes\":{";
  firstAttribute_ = true;
}

void BundleWriter::attribute(std::string_view name, const platform::AttributeValue& value) {
  if (std::holds_alternative<std::monostate>(value)) return;
  if (!firstAttribute_) out_ += ',';
  firstAttribute_ = false;
  appendString(out_, name);
  out_ += ':';
  struct Writer {
    std::string& out;
    void operator()(std::monostate) const { out += "null"; }
    void operator()(const std::string& text) const { appendString(out, text); }
    void operator()(bool flag) const { out += flag ? "true" : "false"; }
    void operator()(double number) const { appendNumber(out, number); }
    void operator()(const platform::Point& point) const {
      out += "{\"x\":";
      appendNumber(out, point.x);
      out += ",\"y\":";
      appendNumber(out, point.y);
      out += '}';
    }
    void operator()(const platform::Size& size) const {
      out += "{\"width\":";
      appendNumber(out, size.width);
      out += ",\"height\":";
      appendNumber(out, size.height);
      out += '}';
    }
    void operator()(const platform::AccessibilityUrl& url) const {
      out += "{\"url\":";
      appendString(out, url.text);
      out += '}';
    }
    void operator()(const platform::AccessibilityElement& element) const {
      out += "{\"element\":";
      appendUnsigned(out, element.handle);
      out += '}';
    }
    void operator()(const std::vector<platform::AccessibilityElement>& elements) const {
      out += "{\"elements\":[";
      for (std::size_t at = 0; at < elements.size(); ++at) {
        if (at > 0) out += ',';
        appendUnsigned(out, elements[at].handle);
      }
      out += "]}";
    }
  };
  std::visit(Writer{out_}, value);
}

void BundleWriter::end() { out_ += "}}"; }

}  // namespace deskplay::simdesk::protocol
