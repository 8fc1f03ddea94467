#include "platform/sim/sim_distributed_notifications.hpp"

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
namespace protocol = simdesk::protocol;
using protocol::Effect;

namespace {

class NotificationObservation final : public Observation {
 public:
  NotificationObservation(protocol::Connection& connection, int listener)
      : connection_(connection), listener_(listener) {}
  ~NotificationObservation() override { connection_.unlisten(listener_); }

 private:
  protocol::Connection& connection_;
  int listener_;
};

}  // namespace

void SimDistributedNotifications::post(const std::string& name) {
  (void)connection_.request(requests::notificationPost, {{"name", name}}, Effect::mayChange);
}

std::unique_ptr<Observation> SimDistributedNotifications::observe(const std::string& name,
                                                                  std::function<void()> posted) {
  const int listener =
      connection_.listen(protocol::events::notificationPosted,
                         [name, posted = std::move(posted)](const nlohmann::json& event) {
                           const auto postedName = event.find("name");
                           if (postedName != event.end() && postedName->is_string() &&
                               postedName->get<std::string>() == name) {
                             posted();
                           }
                         });
  // Any request subscribes the connection now, so that no post is missed meanwhile.
  (void)connection_.request(requests::displayOptionsGet, nlohmann::json::object(),
                            Effect::readsOnly);
  return std::make_unique<NotificationObservation>(connection_, listener);
}

}  // namespace deskplay::platform
