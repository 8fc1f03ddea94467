#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "platform/windows.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// A window that lives in simdesk. It keeps its own state (only this process changes it), so
// reads never wait, and forwards every change. When simdesk was not there at creation, or a
// restarted simdesk no longer knows the window, the next change creates it again with the
// state it has by then; until then the window just keeps its state.
class RemoteWindow : public virtual Window {
 public:
  enum class Kind { window, panel, statusPanel, content };

  RemoteWindow(simdesk::protocol::Connection& connection, const WindowSpec& spec, Kind kind);
  ~RemoteWindow() override;
  RemoteWindow(const RemoteWindow&) = delete;
  RemoteWindow& operator=(const RemoteWindow&) = delete;

  void configure(const WindowTraits& traits) override;
  WindowTraits traits() const override { return traits_; }
  void setFrame(const Rect& frame, Redraw redraw) override;
  void setFrameOrigin(Point origin) override;
  Rect frame() const override { return frame_; }
  void orderFrontRegardless() override;
  void orderOut() override;
  bool isVisible() const override { return visible_; }
  void display() override;

  // simdesk's number for the window; 0 while it has none.
  std::uint32_t number() const { return number_; }

 protected:
  // Sends a change of this window; recreates the window first (or after, when simdesk turns
  // out to have restarted) as needed.
  void change(std::string_view type, nlohmann::json fields);
  // What a subclass adds to a recreated window.
  virtual void restoreExtras() {}
  // Sends one request about this window as it is now; false when simdesk refused it.
  bool send(std::string_view type, nlohmann::json fields);
  simdesk::protocol::Connection& connection() const { return connection_; }
  // Whether simdesk knows this window now (it was made over the current connection).
  bool isCurrent() const { return number_ != 0 && generation_ == connection_.generation(); }

 private:
  void create();

  simdesk::protocol::Connection& connection_;
  WindowSpec spec_;
  Kind kind_;
  WindowTraits traits_;
  bool configured_ = false;
  Rect frame_;
  bool visible_ = false;
  std::uint32_t number_ = 0;
  std::uint64_t generation_ = 0;  // the connection's generation the number belongs to
};

class RemoteStatusPanel final : public RemoteWindow, public StatusPanel {
 public:
  RemoteStatusPanel(simdesk::protocol::Connection& connection, const WindowSpec& spec)
      : RemoteWindow(connection, spec, Kind::statusPanel) {}

  void setContent(const Content& content) override;
  Content content() const override { return content_; }

 private:
  void restoreExtras() override;

  Content content_;
  bool contentSet_ = false;
};

}  // namespace deskplay::platform
