#include "sim/simdesk/server/server_options.hpp"

#include <charconv>

#include "sim/simdesk/protocol/screen_sizes.hpp"

namespace deskplay::simdesk::server {

namespace {

std::optional<std::chrono::milliseconds> parseMilliseconds(const std::string& text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return std::chrono::milliseconds(value);
}

}  // namespace

Result<ServerOptions> parseServerOptions(const std::vector<std::string>& arguments) {
  ServerOptions options;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    // "--name value" and "--name=value" alike.
    const auto valueOf = [&](const std::string& name) -> std::optional<std::string> {
      if (argument == name && at + 1 < arguments.size()) return arguments[++at];
      if (argument.starts_with(name + "=")) return argument.substr(name.size() + 1);
      return std::nullopt;
    };
    if (argument == "--help" || argument == "-h") {
      options.action = ServerOptions::Action::help;
    } else if (argument == "--socket" || argument.starts_with("--socket=")) {
      auto path = valueOf("--socket");
      if (!path || path->empty()) return Error{"--socket needs a path"};
      options.socket = *path;
    } else if (argument == "--screens" || argument.starts_with("--screens=")) {
      auto spec = valueOf("--screens");
      if (!spec) return Error{"--screens needs WxH[,WxH…] or none"};
      auto sizes = protocol::parseScreenSizes(*spec);
      if (!sizes.ok()) return sizes.error();
      options.screens = sizes.value();
    } else if (argument == "--view") {
      options.display = ServerOptions::Display::window;
    } else if (argument == "--tap-timeout" || argument.starts_with("--tap-timeout=")) {
      auto milliseconds = valueOf("--tap-timeout");
      const auto parsed = milliseconds ? parseMilliseconds(*milliseconds) : std::nullopt;
      if (!parsed) return Error{"--tap-timeout needs a whole number of milliseconds above 0"};
      options.tapTimeout = *parsed;
    } else {
      return Error{"unknown argument \"" + argument + "\" (see --help)"};
    }
  }
  return options;
}

std::string serverUsage() {
  return "usage: simdesk [--socket PATH] [--screens WxH[,WxH...]|none] [--tap-timeout MS]\n"
         "               [--view]\n"
         "\n"
         "The simulated desktop: Finder, System Events, AppleScript, Accessibility, windows,\n"
         "screens and privacy permissions for the programs of this session, over JSON lines on\n"
         "a Unix socket. Prints \"SIMDESK_READY <socket>\" once it accepts connections; SIGTERM\n"
         "or SIGINT ends it.\n"
         "\n"
         "  --socket PATH   listen on PATH (default: $SIMDESK_SOCKET, else\n"
         "                  $XDG_RUNTIME_DIR/simdesk.sock, else /tmp/simdesk-<uid>.sock)\n"
         "  --screens SPEC  the displays, main screen first (default 1440x900), or none\n"
         "  --tap-timeout MS  how long an event tap may take to answer before it is\n"
         "                  disabled (default 1000)\n"
         "  --view          open a live window on the screens, in which your keyboard and\n"
         "                  mouse are the desktop's (needs a display: DISPLAY or\n"
         "                  WAYLAND_DISPLAY; closing the window leaves simdesk running)\n"
         "  --help          show this text\n";
}

}  // namespace deskplay::simdesk::server
