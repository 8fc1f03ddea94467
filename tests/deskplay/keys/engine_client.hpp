#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "common/unique_fd.hpp"

namespace deskplay::testing {

// A game engine's side of the input socket: a loopback TCP client reading JSON lines.
class EngineClient {
 public:
  explicit EngineClient(int port);

  bool connected() const { return connected_; }

  // The next line, parsed (a line that is no JSON reads as a discarded value); nothing when
  // none arrives in time. A zero timeout gives a line only if it is already there.
  std::optional<nlohmann::json> readLine(
      std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  UniqueFd fd_;
  bool connected_ = false;
  std::string pending_;
};

// {"type":"keydown","keyCode":keyCode,"char":characters}
nlohmann::json keyLine(std::int64_t keyCode, const std::string& characters);

}  // namespace deskplay::testing
