#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/remote_window.hpp"
#include "platform/windows.hpp"
#include "sim/simdesk/protocol/shared_pixels.hpp"

namespace deskplay::platform {

// A content window in simdesk. Its pixels go through a sealed memfd shared with simdesk (a
// new one for every new size): `present` copies the damaged rows into it and commits them,
// and simdesk has copied them out by the time the call returns, so the next frame may be
// drawn at once. Input and key changes are pushed by simdesk and reach the handlers when the
// connection's events are dispatched (SimdeskEventPump). A simdesk that comes back gets the
// window again with its last frame, title, alpha and accessibility tree.
class RemoteContentWindow final : public RemoteWindow, public ContentWindow {
 public:
  RemoteContentWindow(simdesk::protocol::Connection& connection, const WindowSpec& spec);
  ~RemoteContentWindow() override;

  void setTitle(const std::string& title) override;
  std::string title() const override { return title_; }
  void setAlpha(double alpha) override;
  double alpha() const override { return alpha_; }
  void present(const PixelFrame& frame, const std::vector<PixelRect>& damage) override;
  void makeKeyAndOrderFront() override;
  void resignKey() override;
  bool isKey() const override { return key_; }
  void setInputHandler(InputHandler handler) override { inputHandler_ = std::move(handler); }
  void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }
  void setAccessibilityTree(const std::vector<AccessibleNode>& roots) override;

 private:
  void restoreExtras() override;
  // Hands the shared buffer to simdesk, unless it holds it already.
  bool attachBuffer();
  bool commit(const std::vector<PixelRect>& damage);
  void received(const nlohmann::json& event);
  void keyChanged(const nlohmann::json& event);

  std::string title_;
  double alpha_ = 1;
  bool key_ = false;
  simdesk::protocol::SharedPixels buffer_;
  bool attached_ = false;  // simdesk holds buffer_ for the current window
  std::optional<std::vector<AccessibleNode>> accessibility_;
  InputHandler inputHandler_;
  KeyHandler keyHandler_;
  int inputListener_ = 0;
  int keyListener_ = 0;
};

}  // namespace deskplay::platform
