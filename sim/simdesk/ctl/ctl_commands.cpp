#include "sim/simdesk/ctl/ctl_commands.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>

#include "sim/simdesk/ctl/application_commands.hpp"
#include "sim/simdesk/ctl/exit_status.hpp"
#include "sim/simdesk/ctl/input_commands.hpp"
#include "sim/simdesk/ctl/tree_text.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/screen_sizes.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::simdesk::ctl {

namespace requests = protocol::requests;
using nlohmann::json;
using protocol::Effect;

namespace {

struct Invocation {
  const std::vector<std::string>& arguments;  // after the command word
  protocol::Connection& connection;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;

  int usage(const std::string& message) const {
    err << "simdeskctl: " << message << " (see --help)\n";
    return kUsage;
  }
  int failed(const std::string& message) const {
    err << "simdeskctl: " << message << "\n";
    return kFailed;
  }
  // Sends a request; on failure reports it and gives nothing.
  std::optional<json> ask(std::string_view type, json fields, Effect effect) const {
    auto reply = connection.request(type, std::move(fields), effect);
    if (!reply.ok()) {
      const std::string& message = reply.message();
      if (reply.error().kind == ErrorKind::unavailable) {
        failed(message + " (socket " + connection.options().socketPath.string() + ")");
      } else {
        failed(message);
      }
      return std::nullopt;
    }
    return std::move(reply.value());
  }
  int simple(std::string_view type, json fields) const {
    return ask(type, std::move(fields), Effect::mayChange) ? kDone : kFailed;
  }
};

std::optional<double> parseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> parseInteger(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string readAll(std::istream& in) {
  std::string text;
  char chunk[65536];
  while (in.read(chunk, sizeof(chunk)) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

std::string absolute(const std::string& path) {
  std::error_code error;
  const auto full = std::filesystem::absolute(path, error);
  return error ? path : full.lexically_normal().string();
}

int script(const Invocation& call) {
  if (call.arguments.size() > 1) return call.usage("script takes one FILE or -");
  std::string source;
  if (call.arguments.empty() || call.arguments[0] == "-") {
    source = readAll(call.in);
  } else {
    std::ifstream file(call.arguments[0], std::ios::binary);
    if (!file) return call.failed("cannot read " + call.arguments[0]);
    source = readAll(file);
  }
  auto reply = call.ask(requests::scriptRun, {{"source", source}}, Effect::mayChange);
  if (!reply) return kFailed;
  const auto run = protocol::decodeScriptRun(*reply);
  if (!run) return call.failed("simdesk's answer is malformed");
  if (run->outcome == platform::ScriptRun::Outcome::succeeded) {
    if (run->result)
      call.out << run->result->stringValue.value_or(run->result->description) << "\n";
    return kDone;
  }
  const char* kind = run->outcome == platform::ScriptRun::Outcome::compileFailed
                         ? "syntax error"
                         : "execution error";
  call.err << kind << ": " << run->error.message.value_or(run->error.description);
  if (run->error.number) call.err << " (" << *run->error.number << ")";
  call.err << "\n";
  return kFailed;
}

int state(const Invocation& call) {
  if (!call.arguments.empty()) return call.usage("state takes no arguments");
  auto reply = call.ask(requests::state, json::object(), Effect::readsOnly);
  if (!reply) return kFailed;
  call.out << (*reply)["state"].dump(2, ' ', false, json::error_handler_t::replace) << "\n";
  return kDone;
}

int screenshot(const Invocation& call) {
  if (call.arguments.size() != 1) return call.usage("screenshot needs OUT.png");
  return call.ask(requests::screenshot, {{"path", absolute(call.arguments[0])}}, Effect::readsOnly)
             ? kDone
             : kFailed;
}

int axTree(const Invocation& call) {
  json fields = json::object();
  if (call.arguments.size() > 1) return call.usage("ax-tree takes at most a PID");
  if (call.arguments.size() == 1) {
    const auto pid = parseInteger(call.arguments[0]);
    if (!pid) return call.usage("ax-tree needs a process id, not " + call.arguments[0]);
    fields["pid"] = *pid;
  }
  auto reply = call.ask(requests::axTree, std::move(fields), Effect::readsOnly);
  if (!reply) return kFailed;
  if ((*reply)["tree"].is_null()) return call.failed("no such application (is Finder running?)");
  call.out << treeText((*reply)["tree"]);
  return kDone;
}

int axAt(const Invocation& call) {
  if (call.arguments.size() != 2) return call.usage("ax-at needs X Y");
  const auto x = parseNumber(call.arguments[0]);
  const auto y = parseNumber(call.arguments[1]);
  if (!x || !y) return call.usage("ax-at needs two numbers");
  auto reply = call.ask(requests::axElementAtPoint, {{"x", *x}, {"y", *y}}, Effect::readsOnly);
  if (!reply) return kFailed;
  if ((*reply)["element"].is_null()) return call.failed("no element there");
  call.out << elementLine((*reply)["element"]) << "\n";
  for (const auto& ancestor : (*reply)["ancestors"])
    call.out << "  in " << elementLine(ancestor) << "\n";
  return kDone;
}

int finder(const Invocation& call) {
  if (call.arguments.size() == 1 && call.arguments[0] == "quit") {
    return call.simple(requests::finderQuit, json::object());
  }
  if (call.arguments.size() == 1 && call.arguments[0] == "launch") {
    return call.simple(requests::finderLaunch, json::object());
  }
  return call.usage("finder needs quit or launch");
}

int privacy(const Invocation& call) {
  static const std::map<std::string, std::string> services = {
      {"accessibility", "accessibility"}, {"input-monitoring", "inputMonitoring"}};
  if (call.arguments.size() != 3 ||
      (call.arguments[0] != "grant" && call.arguments[0] != "revoke") ||
      !services.contains(call.arguments[1]) || call.arguments[2].empty()) {
    return call.usage("privacy needs grant|revoke accessibility|input-monitoring APP");
  }
  return call.simple(requests::privacySet, {{"service", services.at(call.arguments[1])},
                                            {"app", call.arguments[2]},
                                            {"granted", call.arguments[0] == "grant"}});
}

int screens(const Invocation& call) {
  if (call.arguments.size() > 1) return call.usage("screens takes WxH[,WxH…]|none");
  if (call.arguments.empty()) {
    auto reply = call.ask(requests::screensGet, json::object(), Effect::readsOnly);
    if (!reply) return kFailed;
    for (const auto& screen : (*reply)["screens"]) call.out << screen.dump() << "\n";
    return kDone;
  }
  auto sizes = protocol::parseScreenSizes(call.arguments[0]);
  if (!sizes.ok()) return call.usage(sizes.message());
  json list = json::array();
  for (const auto& size : sizes.value()) list.push_back(protocol::encodeSize(size));
  return call.simple(requests::screensSet, {{"screens", std::move(list)}});
}

int windows(const Invocation& call) {
  if (!call.arguments.empty()) return call.usage("windows takes no arguments");
  auto reply = call.ask(requests::windowsOnScreen, json::object(), Effect::readsOnly);
  if (!reply) return kFailed;
  // Applications' windows also say what kind they are, their alpha and whether they are key.
  auto details = call.ask(requests::windowsList, json::object(), Effect::readsOnly);
  if (!details) return kFailed;
  std::map<std::uint32_t, json> byNumber;
  for (const auto& entry : (*details)["windows"]) {
    byNumber[entry.value("number", std::uint32_t{0})] = entry;
  }
  for (const auto& entry : (*reply)["windows"]) {
    const auto info = protocol::decodeWindowInfo(entry);
    if (!info) continue;
    call.out << info->number << " " << info->ownerName << " (" << info->ownerProcess << ") layer "
             << info->layer << " at " << info->bounds.origin.x << "," << info->bounds.origin.y
             << " " << info->bounds.size.width << "x" << info->bounds.size.height;
    if (!info->name.empty()) call.out << " " << json(info->name).dump();
    if (const auto detail = byNumber.find(info->number); detail != byNumber.end()) {
      call.out << " " << detail->second.value("role", "") << " alpha "
               << detail->second.value("alpha", 1.0);
      if (detail->second.value("key", false)) call.out << " key";
    }
    call.out << "\n";
  }
  return kDone;
}

int prompts(const Invocation& call) {
  if (!call.arguments.empty()) return call.usage("prompts takes no arguments");
  auto reply = call.ask(requests::prompts, json::object(), Effect::readsOnly);
  if (!reply) return kFailed;
  for (const auto& prompt : (*reply)["prompts"]) {
    call.out << "prompt " << prompt.value("service", "") << " " << prompt.value("app", "") << "\n";
  }
  for (const auto& opened : (*reply)["openedUrls"]) {
    call.out << "opened " << opened.value("url", "") << " " << opened.value("app", "") << "\n";
  }
  return kDone;
}

int reduceMotion(const Invocation& call) {
  if (call.arguments.size() != 1 || (call.arguments[0] != "on" && call.arguments[0] != "off")) {
    return call.usage("reduce-motion needs on or off");
  }
  return call.simple(requests::displayOptionsSet, {{"reduceMotion", call.arguments[0] == "on"}});
}

template <InputCommand command>
int input(const Invocation& call) {
  return command(call.arguments, call.connection, call.out, call.err);
}

}  // namespace

std::string ctlUsage() {
  return "usage: simdeskctl COMMAND [ARGUMENTS]\n"
         "\n"
         "Talks to the simdesk of this session ($SIMDESK_SOCKET, else\n"
         "$XDG_RUNTIME_DIR/simdesk.sock, else /tmp/simdesk-<uid>.sock).\n"
         "\n"
         "  script [FILE|-]                 run AppleScript (from stdin without FILE); prints\n"
         "                                  the result, or the error on stderr (exit 1)\n"
         "  state                           the whole model as JSON\n"
         "  screenshot OUT.png              a PNG of every screen\n"
         "  ax-tree [PID]                   an application's accessibility tree (Finder's),\n"
         "                                  with what it published for its own windows\n"
         "  ax-at X Y                       the element at a point (top-left origin)\n"
         "  finder quit|launch              quit or start Finder\n"
         "  privacy grant|revoke accessibility|input-monitoring APP\n"
         "  screens [WxH[,WxH...]|none]     show or set the displays\n"
         "  windows                         the on-screen window list, front to back: number,\n"
         "                                  owner (pid), level, bounds, title; applications'\n"
         "                                  windows add their kind (content, window, …), alpha\n"
         "                                  and \"key\" for the key window\n"
         "  status-items                    the menu bar's status items, right to left, as JSON\n"
         "                                  lines: item, owner, pid, title, inserted,\n"
         "                                  highlighted, frame (top-left origin)\n"
         "  open-panel choose PATH|cancel   answer the open panel on screen as the person would\n"
         "  notifications                   the distributed notifications posted, oldest first,\n"
         "                                  as JSON lines: name, pid, app\n"
         "  prompts                         recorded trust prompts and opened settings panes\n"
         "  reduce-motion on|off            the accessibility display option\n"
         "\n"
         "Input, as the person's own (points are global, origin top left of the main display);\n"
         "each returns once simdesk has delivered the events through every event tap:\n"
         "  key CODE [--chars C] [--flags control,option,shift,command,capslock,function]\n"
         "      [--up|--down]                a key (a macOS virtual key code) down then up;\n"
         "                                  without --chars it carries what it types on a\n"
         "                                  US keyboard; a modifier key (shift 56, control 59,\n"
         "                                  option 58, command 55, …) changes the flags instead\n"
         "  type TEXT                       a key down and up per character (US layout)\n"
         "  click X Y [--right] [--control] a mouse button down and up\n"
         "  drag X1 Y1 X2 Y2 [--steps N]    left button down, N drags (10), up\n"
         "  move X Y                        the pointer moves there\n"
         "  press TITLE [--pid PID]         click the centre of the first enabled element with\n"
         "                                  that title that an application published (of that\n"
         "                                  process); exit 1 when there is none\n"
         "  events                          the delivery log as JSON lines: what each tap\n"
         "                                  did, what each monitor and application received\n"
         "  --help                          show this text\n";
}

int runCtl(const std::vector<std::string>& arguments, protocol::Connection& connection,
           std::istream& in, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) {
    err << "simdeskctl: a command is needed (see --help)\n";
    return kUsage;
  }
  if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
    out << ctlUsage();
    return kDone;
  }
  static const std::map<std::string, std::function<int(const Invocation&)>> commands = {
      {"script", script},
      {"state", state},
      {"screenshot", screenshot},
      {"ax-tree", axTree},
      {"ax-at", axAt},
      {"finder", finder},
      {"privacy", privacy},
      {"screens", screens},
      {"windows", windows},
      {"prompts", prompts},
      {"reduce-motion", reduceMotion},
      {"key", input<keyCommand>},
      {"type", input<typeCommand>},
      {"click", input<clickCommand>},
      {"drag", input<dragCommand>},
      {"move", input<moveCommand>},
      {"events", input<eventsCommand>},
      {"press", input<pressCommand>},
      {"status-items", input<statusItemsCommand>},
      {"open-panel", input<openPanelCommand>},
      {"notifications", input<notificationsCommand>}};
  const auto command = commands.find(arguments[0]);
  if (command == commands.end()) {
    err << "simdeskctl: unknown command \"" << arguments[0] << "\" (see --help)\n";
    return kUsage;
  }
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  return command->second(Invocation{rest, connection, in, out, err});
}

}  // namespace deskplay::simdesk::ctl
