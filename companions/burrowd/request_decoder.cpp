#include <nlohmann/json.hpp>
#include <string_view>
#include <utility>
#include <vector>

#include "common/utf8.hpp"
#include "request.hpp"

namespace deskplay::burrowd {

namespace {

using Json = nlohmann::json;

enum class Field { Action, Endpoint, From, To, Identity, Text, Side, Name, Other };

// Builds a Request while the parser walks the line, so that a large "text" is moved
// out of the parser's buffer instead of being copied into a document first.
class RequestBuilder {
 public:
  bool null() { return scalar("null"); }
  bool boolean(bool) { return scalar("a boolean"); }
  bool number_integer(Json::number_integer_t) { return scalar("a number"); }
  bool number_unsigned(Json::number_unsigned_t) { return scalar("a number"); }
  bool number_float(Json::number_float_t, const std::string&) { return scalar("a number"); }
  bool binary(Json::binary_t&) { return scalar("binary data"); }

  bool string(std::string& value);
  bool start_object(std::size_t);
  bool key(std::string& name);
  bool end_object();
  bool start_array(std::size_t);
  bool end_array() {
    frames_.pop_back();
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
    // The parser quotes the offending input, which need not be UTF-8 itself.
    if (error_.empty()) error_ = "Request is not valid JSON: " + replacingInvalidUtf8(error.what());
    return false;
  }

  Result<Request> finish(bool parsed);

 private:
  enum class Frame { Request, Endpoint, Identity, Ignored };

  struct Level {
    explicit Level(Frame kind) : frame(kind) {}
    Frame frame;
    Field field = Field::Other;  // the key whose value comes next
    std::string key;
  };

  bool fail(std::string message) {
    error_ = std::move(message);
    return false;
  }
  bool wrongType(std::string_view found) {
    return fail("Request key \"" + path() + "\" has the wrong type: expected " +
                expectedType(frames_.back()) + ", found " + std::string(found));
  }
  static std::string expectedType(const Level& level);
  std::string path() const;
  bool scalar(std::string_view kind);

  std::vector<Level> frames_;
  bool sawObject_ = false;
  Request request_;
  bool hasAction_ = false;
  Endpoint endpoint_;
  bool hasSide_ = false;
  bool hasName_ = false;
  Field endpointField_ = Field::Other;
  IdentityMap identity_;
  std::string error_;
};

Field requestField(std::string_view key) {
  if (key == "action") return Field::Action;
  if (key == "endpoint") return Field::Endpoint;
  if (key == "from") return Field::From;
  if (key == "to") return Field::To;
  if (key == "identity") return Field::Identity;
  if (key == "text") return Field::Text;
  return Field::Other;
}

std::string RequestBuilder::expectedType(const Level& level) {
  if (level.frame == Frame::Identity) return "a string";
  switch (level.field) {
    case Field::Endpoint:
    case Field::From:
    case Field::To:
      return "an object with \"side\" and \"name\"";
    case Field::Identity:
      return "an object of strings";
    default:
      return "a string";
  }
}

std::string RequestBuilder::path() const {
  std::string joined;
  for (const auto& level : frames_) {
    if (level.frame == Frame::Ignored) break;
    if (!joined.empty()) joined += '.';
    joined += level.key;
  }
  return joined;
}

bool RequestBuilder::scalar(std::string_view kind) {
  if (frames_.empty()) return fail("Request is not a JSON object");
  const Level& level = frames_.back();
  switch (level.frame) {
    case Frame::Ignored:
      return true;
    case Frame::Identity:
      return wrongType(kind);
    case Frame::Endpoint:
      if (level.field == Field::Other) return true;
      return wrongType(kind);
    case Frame::Request:
      break;
  }
  if (level.field == Field::Other) return true;
  if (kind != "null") return wrongType(kind);
  // An optional key given as null counts as absent; "action" cannot be absent.
  switch (level.field) {
    case Field::Action:
      return wrongType(kind);
    case Field::Endpoint:
      request_.endpoint.reset();
      break;
    case Field::From:
      request_.from.reset();
      break;
    case Field::To:
      request_.to.reset();
      break;
    case Field::Identity:
      request_.identity.reset();
      break;
    case Field::Text:
      request_.text.reset();
      break;
    default:
      break;
  }
  return true;
}

bool RequestBuilder::string(std::string& value) {
  if (frames_.empty()) return fail("Request is not a JSON object");
  const Level& level = frames_.back();
  switch (level.frame) {
    case Frame::Ignored:
      return true;
    case Frame::Identity:
      identity_[level.key] = std::move(value);
      return true;
    case Frame::Endpoint:
      if (level.field == Field::Side) {
        endpoint_.side = std::move(value);
        hasSide_ = true;
      } else if (level.field == Field::Name) {
        endpoint_.name = std::move(value);
        hasName_ = true;
      }
      return true;
    case Frame::Request:
      break;
  }
  switch (level.field) {
    case Field::Action:
      request_.action = std::move(value);
      hasAction_ = true;
      return true;
    case Field::Text:
      request_.text = std::move(value);
      return true;
    case Field::Other:
      return true;
    default:
      return wrongType("a string");
  }
}

bool RequestBuilder::start_object(std::size_t) {
  if (frames_.empty()) {
    if (sawObject_) return fail("Request is not a JSON object");
    sawObject_ = true;
    frames_.emplace_back(Frame::Request);
    return true;
  }
  const Level& level = frames_.back();
  if (level.frame == Frame::Ignored ||
      (level.frame != Frame::Identity && level.field == Field::Other)) {
    frames_.emplace_back(Frame::Ignored);
    return true;
  }
  if (level.frame == Frame::Request) {
    switch (level.field) {
      case Field::Endpoint:
      case Field::From:
      case Field::To:
        endpointField_ = level.field;
        endpoint_ = {};
        hasSide_ = hasName_ = false;
        frames_.emplace_back(Frame::Endpoint);
        return true;
      case Field::Identity:
        identity_.clear();
        frames_.emplace_back(Frame::Identity);
        return true;
      default:
        break;
    }
  }
  return wrongType("an object");
}

bool RequestBuilder::key(std::string& name) {
  Level& level = frames_.back();
  switch (level.frame) {
    case Frame::Request:
      level.field = requestField(name);
      break;
    case Frame::Endpoint:
      level.field = name == "side" ? Field::Side : name == "name" ? Field::Name : Field::Other;
      break;
    case Frame::Identity:
    case Frame::Ignored:
      break;
  }
  if (level.frame != Frame::Ignored) level.key = std::move(name);
  return true;
}

bool RequestBuilder::end_object() {
  const Frame closing = frames_.back().frame;
  if (closing == Frame::Endpoint) {
    if (!hasSide_ || !hasName_) {
      frames_.pop_back();
      return fail("Request key \"" + path() + "\" is missing \"" + (hasSide_ ? "name" : "side") +
                  "\"");
    }
    std::optional<Endpoint>& target = endpointField_ == Field::Endpoint ? request_.endpoint
                                      : endpointField_ == Field::From   ? request_.from
                                                                        : request_.to;
    target = std::move(endpoint_);
  } else if (closing == Frame::Identity) {
    request_.identity = std::move(identity_);
  }
  frames_.pop_back();
  return true;
}

bool RequestBuilder::start_array(std::size_t) {
  if (frames_.empty()) return fail("Request is not a JSON object");
  const Level& level = frames_.back();
  if (level.frame == Frame::Ignored ||
      (level.frame != Frame::Identity && level.field == Field::Other)) {
    frames_.emplace_back(Frame::Ignored);
    return true;
  }
  return wrongType("an array");
}

Result<Request> RequestBuilder::finish(bool parsed) {
  if (!parsed) return Error{error_.empty() ? "Request is not valid JSON" : error_};
  if (!hasAction_) return Error{"Request is missing the key \"action\""};
  return std::move(request_);
}

}  // namespace

Result<Request> decodeRequest(LineReader& reader) {
  RequestBuilder builder;
  const bool parsed = Json::sax_parse(LineIterator(reader), LineIterator(), &builder);
  reader.finishLine();
  if (parsed && reader.lineHasNul())
    return Error{"Request is not valid JSON: a NUL byte in the line"};
  return builder.finish(parsed);
}

}  // namespace deskplay::burrowd
