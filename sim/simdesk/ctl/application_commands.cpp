#include "sim/simdesk/ctl/application_commands.hpp"

#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>

#include "sim/simdesk/ctl/exit_status.hpp"
#include "sim/simdesk/ctl/input_commands.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::ctl {

namespace requests = protocol::requests;
using nlohmann::json;

namespace {

std::optional<json> ask(protocol::Connection& connection, std::ostream& err, std::string_view type,
                        json fields, protocol::Effect effect) {
  auto reply = connection.request(type, std::move(fields), effect);
  if (reply.ok()) return std::move(reply.value());
  if (reply.error().kind == ErrorKind::unavailable) {
    failed(err, reply.message() + " (socket " + connection.options().socketPath.string() + ")");
  } else {
    failed(err, reply.message());
  }
  return std::nullopt;
}

std::string line(const json& object) {
  return object.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string numberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), value);
  return std::string(text, result.ptr);
}

}  // namespace

int statusItemsCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                       std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) return usage(err, "status-items takes no arguments");
  auto reply =
      ask(connection, err, requests::statusItemsList, json::object(), protocol::Effect::readsOnly);
  if (!reply) return kFailed;
  for (const json& item : (*reply)["items"]) out << line(item);
  return kDone;
}

int openPanelCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                     std::ostream&, std::ostream& err) {
  json fields;
  if (arguments.size() == 1 && arguments[0] == "cancel") {
    fields = {{"answer", "cancel"}};
  } else if (arguments.size() == 2 && arguments[0] == "choose") {
    std::error_code error;
    const auto path = std::filesystem::absolute(arguments[1], error);
    fields = {
        {"answer", "choose"},
        {"path", (error ? std::filesystem::path(arguments[1]) : path).lexically_normal().string()}};
  } else {
    return usage(err, "open-panel needs choose PATH or cancel");
  }
  return ask(connection, err, requests::openPanelAnswer, std::move(fields),
             protocol::Effect::mayChange)
             ? kDone
             : kFailed;
}

int notificationsCommand(const std::vector<std::string>& arguments,
                         protocol::Connection& connection, std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) return usage(err, "notifications takes no arguments");
  auto reply =
      ask(connection, err, requests::notificationsLog, json::object(), protocol::Effect::readsOnly);
  if (!reply) return kFailed;
  for (const json& notification : (*reply)["notifications"]) out << line(notification);
  return kDone;
}

int pressCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                 std::ostream& out, std::ostream& err) {
  json fields;
  if (arguments.size() == 1) {
    fields = {{"title", arguments[0]}};
  } else if (arguments.size() == 3 && arguments[1] == "--pid") {
    int pid = 0;
    const std::string& text = arguments[2];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    if (error != std::errc() || end != text.data() + text.size() || pid <= 0) {
      return usage(err, "press needs a process id after --pid, not " + text);
    }
    fields = {{"title", arguments[0]}, {"pid", pid}};
  } else {
    return usage(err, "press needs TITLE [--pid PID]");
  }
  auto found =
      ask(connection, err, requests::axFindTitled, std::move(fields), protocol::Effect::readsOnly);
  if (!found) return kFailed;
  const double x = found->value("x", 0.0);
  const double y = found->value("y", 0.0);
  return clickCommand({numberText(x), numberText(y)}, connection, out, err);
}

}  // namespace deskplay::simdesk::ctl
