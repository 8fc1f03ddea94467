#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>

#include "common/result.hpp"
#include "common/unique_fd.hpp"
#include "platform/accessibility.hpp"
#include "sim/simdesk/server/request_fields.hpp"

namespace deskplay::simdesk::server {

// What simdesk knows of one connection.
struct Client {
  bool greeted = false;
  std::string application;
  platform::ProcessId pid = 0;
  std::uint64_t connection = 0;  // unique among the server's connections, never reused
  std::set<std::string, std::less<>> subscriptions;
  // Descriptors passed along with the connection's requests, oldest first; a request that
  // takes one takes the oldest.
  std::deque<UniqueFd> descriptors;
};

// Turns request lines into reply lines through a table of handlers by request type. A
// handler's object is merged into the reply; its error becomes the reply's "error". Lines
// that are no JSON object, lack an integer "id" or a "type", name an unknown type, or come
// before the connection's hello get an error reply, never a crash.
class RequestDispatcher {
 public:
  using Handler =
      std::function<Result<nlohmann::json>(Client& client, const RequestFields& request)>;
  // For replies too large to build as a JSON tree: the reply's members as JSON text
  // ("name":value,…, without braces), spliced in after "id" and "ok".
  using TextHandler =
      std::function<Result<std::string>(Client& client, const RequestFields& request)>;

  void add(std::string_view type, Handler handler);
  void addText(std::string_view type, TextHandler handler);
  // The reply line for one request line, with its line feed.
  std::string handleLine(Client& client, std::string_view line);

 private:
  std::string reply(Client& client, const nlohmann::json& request);

  std::map<std::string, TextHandler, std::less<>> handlers_;
};

}  // namespace deskplay::simdesk::server
