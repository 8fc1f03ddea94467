#pragma once

#include <map>
#include <optional>
#include <string>

#include "common/result.hpp"
#include "line_reader.hpp"

namespace deskplay::burrowd {

// A file's identity: "dev", "ino" and "birth", each a decimal string.
using IdentityMap = std::map<std::string, std::string>;

struct Endpoint {
  std::string side;
  std::string name;
};

struct Request {
  std::string action;
  std::optional<Endpoint> endpoint;
  std::optional<Endpoint> from;
  std::optional<Endpoint> to;
  std::optional<IdentityMap> identity;
  std::optional<std::string> text;
};

// Decodes the reader's current line, consuming all of it. On failure the error's message
// is the decoder's description of the problem.
Result<Request> decodeRequest(LineReader& reader);

}  // namespace deskplay::burrowd
