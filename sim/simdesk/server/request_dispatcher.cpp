#include "sim/simdesk/server/request_dispatcher.hpp"

#include <utility>

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::server {

namespace fields = protocol::fields;

namespace {

nlohmann::json failure(nlohmann::json id, std::string message) {
  return {{fields::id, std::move(id)}, {fields::ok, false}, {fields::error, std::move(message)}};
}

}  // namespace

void RequestDispatcher::add(std::string_view type, Handler handler) {
  addText(type, [handler = std::move(handler)](Client& client, const RequestFields& request)
                    -> Result<std::string> {
    Result<nlohmann::json> result = handler(client, request);
    if (!result.ok()) return result.error();
    std::string members;
    if (!result.value().is_object()) return members;
    // Texts from the model may hold bytes that are no UTF-8 (file names); they travel
    // replaced rather than failing the reply.
    for (const auto& [key, value] : result.value().items()) {
      if (key == fields::id || key == fields::ok) continue;
      if (!members.empty()) members += ',';
      members += nlohmann::json(key).dump();
      members += ':';
      members += value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    return members;
  });
}

void RequestDispatcher::addText(std::string_view type, TextHandler handler) {
  handlers_.insert_or_assign(std::string(type), std::move(handler));
}

std::string RequestDispatcher::handleLine(Client& client, std::string_view line) {
  nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
  std::string out = request.is_discarded()
                        ? failure(nullptr, "request is not valid JSON").dump()
                        : reply(client, request);
  out.push_back('\n');
  return out;
}

std::string RequestDispatcher::reply(Client& client, const nlohmann::json& request) {
  if (!request.is_object()) return failure(nullptr, "request must be a JSON object").dump();
  const auto id = request.find(fields::id);
  if (id == request.end() || !id->is_number_integer()) {
    return failure(nullptr, "request needs an integer \"id\"").dump();
  }
  const auto type = request.find(fields::type);
  if (type == request.end() || !type->is_string()) {
    return failure(*id, "request needs a \"type\"").dump();
  }
  const auto handler = handlers_.find(type->get<std::string>());
  if (handler == handlers_.end()) {
    return failure(*id, "unknown request type \"" + type->get<std::string>() + "\"")
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  if (!client.greeted && type->get<std::string>() != protocol::requests::hello) {
    return failure(*id, "say hello first").dump();
  }
  Result<std::string> members = handler->second(client, RequestFields(request));
  if (!members.ok()) {
    return failure(*id, members.message()).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  std::string answer = "{\"id\":" + id->dump() + ",\"ok\":true";
  if (!members.value().empty()) {
    answer += ',';
    answer += members.value();
  }
  answer += '}';
  return answer;
}

}  // namespace deskplay::simdesk::server
