#include "sim/simdesk/server/server_options.hpp"

#include "sim/simdesk/protocol/screen_sizes.hpp"

namespace deskplay::simdesk::server {

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
    } else {
      return Error{"unknown argument \"" + argument + "\" (see --help)"};
    }
  }
  return options;
}

std::string serverUsage() {
  return "usage: simdesk [--socket PATH] [--screens WxH[,WxH...]|none]\n"
         "\n"
         "The simulated desktop: Finder, System Events, AppleScript, Accessibility, windows,\n"
         "screens and privacy permissions for the programs of this session, over JSON lines on\n"
         "a Unix socket. Prints \"SIMDESK_READY <socket>\" once it accepts connections; SIGTERM\n"
         "or SIGINT ends it.\n"
         "\n"
         "  --socket PATH   listen on PATH (default: $SIMDESK_SOCKET, else\n"
         "                  $XDG_RUNTIME_DIR/simdesk.sock, else /tmp/simdesk-<uid>.sock)\n"
         "  --screens SPEC  the displays, main screen first (default 1440x900), or none\n"
         "  --help          show this text\n";
}

}  // namespace deskplay::simdesk::server
