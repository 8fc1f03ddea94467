#include "platform/sim/sim_status_items.hpp"

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/window_wire.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
namespace events = simdesk::protocol::events;
namespace protocol = simdesk::protocol;
using protocol::Effect;

namespace {

class RemoteStatusItem final : public StatusItem {
 public:
  RemoteStatusItem(protocol::Connection& connection, const StatusItemAppearance& appearance)
      : connection_(connection), appearance_(appearance) {
    mouseDownListener_ = connection_.listen(
        events::statusItemMouseDown, [this](const nlohmann::json& event) { pressed(event); });
    removedListener_ = connection_.listen(events::statusItemRemoved,
                                          [this](const nlohmann::json& event) { removed(event); });
    insert();
  }
  ~RemoteStatusItem() override {
    connection_.unlisten(mouseDownListener_);
    connection_.unlisten(removedListener_);
    if (isCurrent()) {
      (void)connection_.request(requests::statusItemRemove, {{"item", item_}}, Effect::mayChange);
    }
  }
  RemoteStatusItem(const RemoteStatusItem&) = delete;
  RemoteStatusItem& operator=(const RemoteStatusItem&) = delete;

  void setAppearance(const StatusItemAppearance& appearance) override {
    appearance_ = appearance;
    if (!ensureInserted()) return;
    (void)connection_.request(
        requests::statusItemUpdate,
        {{"item", item_}, {"appearance", protocol::encodeAppearance(appearance_)}},
        Effect::mayChange);
  }
  StatusItemAppearance appearance() const override { return appearance_; }

  void setPresence(Presence presence) override {
    if (presence == presence_) return;
    presence_ = presence;
    if (presence == Presence::inserted) {
      insert();
      return;
    }
    if (isCurrent()) {
      (void)connection_.request(requests::statusItemRemove, {{"item", item_}}, Effect::mayChange);
    }
    item_ = 0;
  }
  Presence presence() const override { return presence_; }

  std::optional<Rect> buttonWindowFrame() override {
    connection_.dispatchEvents();
    if (!ensureInserted()) return std::nullopt;
    auto reply = connection_.request(requests::statusItemGet, {{"item", item_}}, Effect::readsOnly);
    if (!reply.ok()) return std::nullopt;
    const auto frame = reply.value().find("buttonWindowFrame");
    if (frame == reply.value().end()) return std::nullopt;
    return protocol::decodeRect(*frame);
  }

  void setHighlight(Highlight highlight) override {
    highlight_ = highlight;
    if (!ensureInserted()) return;
    sendHighlight();
  }
  Highlight highlight() const override { return highlight_; }

  void setMouseDownHandler(MouseDownHandler handler) override { mouseDown_ = std::move(handler); }
  void setPresenceHandler(PresenceHandler handler) override {
    presenceHandler_ = std::move(handler);
  }

 private:
  bool isCurrent() const { return item_ != 0 && generation_ == connection_.generation(); }

  // Puts the item in simdesk's bar when it should be there and simdesk does not know it.
  bool ensureInserted() {
    if (presence_ == Presence::removed) return false;
    if (!isCurrent()) insert();
    return isCurrent();
  }

  void insert() {
    item_ = 0;
    if (presence_ == Presence::removed) return;
    auto reply = connection_.request(requests::statusItemCreate,
                                     {{"appearance", protocol::encodeAppearance(appearance_)}},
                                     Effect::mayChange);
    if (!reply.ok()) return;
    const auto item = reply.value().find("item");
    if (item == reply.value().end() || !item->is_number_unsigned()) return;
    item_ = item->get<std::uint64_t>();
    generation_ = connection_.generation();
    if (highlight_ == Highlight::on) sendHighlight();
  }

  void sendHighlight() {
    (void)connection_.request(requests::statusItemHighlight,
                              {{"item", item_}, {"highlighted", highlight_ == Highlight::on}},
                              Effect::mayChange);
  }

  bool isMine(const nlohmann::json& event) const {
    const auto item = event.find("item");
    return isCurrent() && item != event.end() && item->is_number_unsigned() &&
           item->get<std::uint64_t>() == item_;
  }

  void pressed(const nlohmann::json& event) {
    if (!isMine(event)) return;
    const auto press = event.find("press");
    if (press == event.end() || !press->is_number_unsigned()) return;
    StatusItemClick click;
    click.button = event.value("button", std::string()) == "right" ? PointerButton::right
                                                                   : PointerButton::left;
    const auto flags = event.find("flags");
    if (flags != event.end() && flags->is_number_unsigned())
      click.flags = flags->get<std::uint64_t>();
    click.location = {event.value("x", 0.0), event.value("y", 0.0)};
    const ClickVerdict verdict = mouseDown_ ? mouseDown_(click) : ClickVerdict::pass;
    // The verdict must not wait for a reply: simdesk goes on with the person's gesture.
    (void)connection_.notify(requests::statusItemVerdict,
                             {{"item", item_},
                              {"press", press->get<std::uint64_t>()},
                              {"verdict", verdict == ClickVerdict::pass ? "pass" : "take"}},
                             Effect::mayChange);
  }

  void removed(const nlohmann::json& event) {
    if (!isMine(event)) return;
    item_ = 0;
    presence_ = Presence::removed;
    highlight_ = Highlight::off;
    if (presenceHandler_) presenceHandler_(Presence::removed);
  }

  protocol::Connection& connection_;
  StatusItemAppearance appearance_;
  Presence presence_ = Presence::inserted;
  Highlight highlight_ = Highlight::off;
  std::uint64_t item_ = 0;
  std::uint64_t generation_ = 0;
  MouseDownHandler mouseDown_;
  PresenceHandler presenceHandler_;
  int mouseDownListener_ = 0;
  int removedListener_ = 0;
};

}  // namespace

std::unique_ptr<StatusItem> SimStatusItems::createItem(const StatusItemAppearance& appearance) {
  connection_.dispatchEvents();
  return std::make_unique<RemoteStatusItem>(connection_, appearance);
}

}  // namespace deskplay::platform
