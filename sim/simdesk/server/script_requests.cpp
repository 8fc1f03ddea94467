#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

void addScriptRequests(RequestDispatcher& dispatcher, ScriptRunner runner) {
  dispatcher.add(protocol::requests::scriptRun,
                 [runner = std::move(runner)](Client&, const RequestFields& request)
                     -> Result<nlohmann::json> {
                   auto source = request.text("source");
                   if (!source.ok()) return source.error();
                   return protocol::encodeScriptRun(runner(source.value()));
                 });
}

}  // namespace deskplay::simdesk::server
