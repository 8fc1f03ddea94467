#include "sim/simdesk/ctl/input_commands.hpp"

#include <poll.h>
#include <utf8proc.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "platform/event_taps.hpp"
#include "sim/simdesk/ctl/exit_status.hpp"
#include "sim/simdesk/keymap/us_layout.hpp"
#include "sim/simdesk/protocol/event_wire.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::ctl {

namespace requests = protocol::requests;
using nlohmann::json;
using platform::Event;
using platform::EventType;

namespace {

// Long enough for every event to wait out a few unanswering taps.
constexpr std::chrono::seconds kDeliveryWait{30};

std::optional<double> parseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

template <class T>
std::optional<T> parseInteger(const std::string& text) {
  T value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> parseFlags(const std::string& list) {
  std::uint64_t flags = 0;
  std::stringstream names(list);
  std::string name;
  while (std::getline(names, name, ',')) {
    if (name == "shift") {
      flags |= platform::event_flags::shift;
    } else if (name == "control") {
      flags |= platform::event_flags::control;
    } else if (name == "option") {
      flags |= platform::event_flags::option;
    } else if (name == "command") {
      flags |= platform::event_flags::command;
    } else if (name == "capslock") {
      flags |= platform::event_flags::capsLock;
    } else if (name == "function") {
      flags |= platform::event_flags::function;
    } else {
      return std::nullopt;
    }
  }
  return flags;
}

// The code points of UTF-8 text; nothing when it is not valid UTF-8.
std::optional<std::vector<char32_t>> codePoints(const std::string& text) {
  std::vector<char32_t> points;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (std::size_t at = 0; at < text.size();) {
    utf8proc_int32_t point = 0;
    const utf8proc_ssize_t length =
        utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &point);
    if (length <= 0) return std::nullopt;
    points.push_back(static_cast<char32_t>(point));
    at += static_cast<std::size_t>(length);
  }
  return points;
}

// Injects events and waits until simdesk reports the last of them delivered.
class Injection {
 public:
  Injection(protocol::Connection& connection, std::ostream& err)
      : connection_(connection), err_(err) {
    listener_ = connection_.listen(protocol::events::eventsDelivered, [this](const json& pushed) {
      const auto sequence = pushed.find("sequence");
      if (sequence != pushed.end() && sequence->is_number_unsigned()) {
        delivered_ = std::max(delivered_, sequence->get<std::uint64_t>());
      }
    });
  }
  ~Injection() { connection_.unlisten(listener_); }
  Injection(const Injection&) = delete;
  Injection& operator=(const Injection&) = delete;

  bool inject(const Event& event) {
    auto reply =
        connection_.request(requests::eventsInject, {{"event", protocol::encodeEvent(event)}},
                            protocol::Effect::mayChange);
    if (!reply.ok()) return report(reply.error());
    const auto sequence = reply.value().find("sequence");
    if (sequence == reply.value().end() || !sequence->is_number_unsigned()) {
      return report(Error{"simdesk's answer is malformed"});
    }
    last_ = sequence->get<std::uint64_t>();
    return true;
  }

  // The exit status once every injected event went all the way.
  int finish() {
    const auto deadline = std::chrono::steady_clock::now() + kDeliveryWait;
    while (true) {
      connection_.dispatchEvents();
      if (delivered_ >= last_) return kDone;
      const int descriptor = connection_.eventDescriptor();
      if (descriptor < 0) return failed(err_, "simdesk closed the connection");
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return failed(err_, "simdesk did not deliver the events in time");
      pollfd readable{descriptor, POLLIN, 0};
      ::poll(&readable, 1, static_cast<int>(left.count()));
    }
  }

 private:
  bool report(const Error& error) {
    if (error.kind == ErrorKind::unavailable) {
      failed(err_, error.message + " (socket " + connection_.options().socketPath.string() + ")");
    } else {
      failed(err_, error.message);
    }
    return false;
  }

  protocol::Connection& connection_;
  std::ostream& err_;
  int listener_ = 0;
  std::uint64_t last_ = 0;
  std::uint64_t delivered_ = 0;
};

Event keyEvent(EventType type, std::int64_t keyCode, std::uint64_t flags, std::string characters,
               std::string ignoringModifiers) {
  Event event;
  event.type = type;
  event.keyCode = keyCode;
  event.flags = flags;
  event.characters = std::move(characters);
  event.charactersIgnoringModifiers = std::move(ignoringModifiers);
  return event;
}

Event mouseEvent(EventType type, platform::Point location, std::uint64_t flags = 0) {
  Event event;
  event.type = type;
  event.location = location;
  event.flags = flags;
  return event;
}

// Sends all events, then waits for their delivery.
int injectAll(protocol::Connection& connection, std::ostream& err,
              const std::vector<Event>& events) {
  Injection injection(connection, err);
  for (const Event& event : events) {
    if (!injection.inject(event)) return kFailed;
  }
  return injection.finish();
}

std::optional<platform::Point> pointAt(const std::vector<std::string>& arguments, std::size_t at) {
  const auto x = parseNumber(arguments[at]);
  const auto y = parseNumber(arguments[at + 1]);
  if (!x || !y) return std::nullopt;
  return platform::Point{*x, *y};
}

}  // namespace

int keyCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
               std::ostream&, std::ostream& err) {
  if (arguments.empty()) return usage(err, "key needs a key CODE");
  const auto keyCode = parseInteger<std::int64_t>(arguments[0]);
  if (!keyCode || *keyCode < 0 || *keyCode > 0xFF) {
    return usage(err, "key needs a virtual key code 0-255, not " + arguments[0]);
  }
  std::optional<std::string> characters;
  std::uint64_t flags = 0;
  bool down = true;
  bool up = true;
  for (std::size_t at = 1; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (argument == "--chars" && at + 1 < arguments.size()) {
      characters = arguments[++at];
    } else if (argument == "--flags" && at + 1 < arguments.size()) {
      const auto parsed = parseFlags(arguments[++at]);
      if (!parsed)
        return usage(err, "--flags takes control,option,shift,command,capslock,function");
      flags = *parsed;
    } else if (argument == "--up") {
      down = false;
    } else if (argument == "--down") {
      up = false;
    } else {
      return usage(err, "unknown key argument \"" + argument + "\"");
    }
  }
  if (!down && !up) return usage(err, "key takes --up or --down, not both");
  if (const std::uint64_t held = modifierFlagOf(*keyCode); held != 0) {
    // A modifier key sends no key-down or key-up: each change of the flags is one
    // flags-changed event with the flags that hold after it, and no characters.
    std::vector<Event> events;
    if (down) events.push_back(keyEvent(EventType::flagsChanged, *keyCode, flags | held, "", ""));
    if (up) events.push_back(keyEvent(EventType::flagsChanged, *keyCode, flags & ~held, "", ""));
    return injectAll(connection, err, events);
  }
  // Without --chars the key carries what it types on a US keyboard.
  const Shift shift = (flags & platform::event_flags::shift) != 0 ? Shift::down : Shift::up;
  const std::string typed = characters.value_or(usCharactersFor(*keyCode, shift).value_or(""));
  flags |= inherentKeyFlags(*keyCode);
  std::vector<Event> events;
  if (down) events.push_back(keyEvent(EventType::keyDown, *keyCode, flags, typed, typed));
  if (up) events.push_back(keyEvent(EventType::keyUp, *keyCode, flags, typed, typed));
  return injectAll(connection, err, events);
}

int typeCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream&, std::ostream& err) {
  if (arguments.size() != 1) return usage(err, "type needs one TEXT");
  const auto points = codePoints(arguments[0]);
  if (!points) return usage(err, "type needs UTF-8 text");
  std::vector<Event> events;
  for (const char32_t point : *points) {
    const auto stroke = usKeyStrokeFor(point);
    if (!stroke) {
      return failed(
          err, "no key types U+" + [&] {
            std::ostringstream hex;
            hex << std::hex << std::uppercase << static_cast<std::uint32_t>(point);
            return hex.str();
          }() + " on a US keyboard");
    }
    const std::uint64_t flags =
        (stroke->shift ? platform::event_flags::shift : 0) | inherentKeyFlags(stroke->keyCode);
    for (const EventType type : {EventType::keyDown, EventType::keyUp}) {
      events.push_back(keyEvent(type, stroke->keyCode, flags, stroke->characters,
                                stroke->charactersIgnoringModifiers));
    }
  }
  return injectAll(connection, err, events);
}

int clickCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                 std::ostream&, std::ostream& err) {
  if (arguments.size() < 2) return usage(err, "click needs X Y");
  const auto at = pointAt(arguments, 0);
  if (!at) return usage(err, "click needs two numbers");
  bool right = false;
  std::uint64_t flags = 0;
  for (std::size_t index = 2; index < arguments.size(); ++index) {
    if (arguments[index] == "--right") {
      right = true;
    } else if (arguments[index] == "--control") {
      flags |= platform::event_flags::control;
    } else {
      return usage(err, "unknown click argument \"" + arguments[index] + "\"");
    }
  }
  return injectAll(
      connection, err,
      {mouseEvent(right ? EventType::rightMouseDown : EventType::leftMouseDown, *at, flags),
       mouseEvent(right ? EventType::rightMouseUp : EventType::leftMouseUp, *at, flags)});
}

int dragCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream&, std::ostream& err) {
  if (arguments.size() != 4 && arguments.size() != 6) {
    return usage(err, "drag needs X1 Y1 X2 Y2 [--steps N]");
  }
  const auto from = pointAt(arguments, 0);
  const auto to = pointAt(arguments, 2);
  if (!from || !to) return usage(err, "drag needs four numbers");
  int steps = 10;
  if (arguments.size() == 6) {
    const auto parsed = arguments[4] == "--steps" ? parseInteger<int>(arguments[5]) : std::nullopt;
    if (!parsed || *parsed < 1 || *parsed > 10000) return usage(err, "--steps needs 1-10000");
    steps = *parsed;
  }
  std::vector<Event> events{mouseEvent(EventType::leftMouseDown, *from)};
  for (int step = 1; step <= steps; ++step) {
    const double part = static_cast<double>(step) / steps;
    events.push_back(mouseEvent(EventType::leftMouseDragged, {from->x + (to->x - from->x) * part,
                                                              from->y + (to->y - from->y) * part}));
  }
  events.push_back(mouseEvent(EventType::leftMouseUp, *to));
  return injectAll(connection, err, events);
}

int moveCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream&, std::ostream& err) {
  if (arguments.size() != 2) return usage(err, "move needs X Y");
  const auto to = pointAt(arguments, 0);
  if (!to) return usage(err, "move needs two numbers");
  return injectAll(connection, err, {mouseEvent(EventType::mouseMoved, *to)});
}

int eventsCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                  std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) return usage(err, "events takes no arguments");
  auto reply = connection.request(requests::eventsLog, json::object(), protocol::Effect::readsOnly);
  if (!reply.ok()) {
    if (reply.error().kind == ErrorKind::unavailable) {
      return failed(err,
                    reply.message() + " (socket " + connection.options().socketPath.string() + ")");
    }
    return failed(err, reply.message());
  }
  for (const auto& record : reply.value()["records"]) {
    out << record.dump(-1, ' ', false, json::error_handler_t::replace) << "\n";
  }
  return kDone;
}

}  // namespace deskplay::simdesk::ctl
