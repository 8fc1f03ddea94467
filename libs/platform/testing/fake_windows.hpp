#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows.hpp"

namespace deskplay::platform::testing {

struct FakeWindowRegistry;

// A window as the fake keeps it; tests read it through FakeWindows::windows().
class FakeWindow : public virtual Window {
 public:
  ~FakeWindow() override;
  void configure(const WindowTraits& traits) override;
  WindowTraits traits() const override { return traits_; }
  void setFrame(const Rect& frame, Redraw redraw) override;
  void setFrameOrigin(Point origin) override { frame_.origin = origin; }
  Rect frame() const override { return frame_; }
  void orderFrontRegardless() override;
  void orderOut() override { visible_ = false; }
  bool isVisible() const override { return visible_; }
  void display() override { ++displays_; }

  const WindowSpec& spec() const { return spec_; }
  int configureCount() const { return configures_; }
  int orderFrontCount() const { return orderFronts_; }
  int displayCount() const { return displays_; }

 protected:
  FakeWindow(std::shared_ptr<FakeWindowRegistry> registry, const WindowSpec& spec);

 private:
  friend class FakeWindows;
  std::shared_ptr<FakeWindowRegistry> registry_;
  WindowSpec spec_;
  WindowTraits traits_;
  Rect frame_;
  bool visible_ = false;
  int configures_ = 0;
  int orderFronts_ = 0;
  int displays_ = 0;
};

class FakeStatusPanel final : public FakeWindow, public StatusPanel {
 public:
  void setContent(const Content& content) override { content_ = content; }
  Content content() const override { return content_; }

 private:
  friend class FakeWindows;
  FakeStatusPanel(std::shared_ptr<FakeWindowRegistry> registry, const WindowSpec& spec)
      : FakeWindow(std::move(registry), spec) {}
  Content content_;
};

// A content window as the fake keeps it: the last frame presented (copied), its damage, and
// handlers the test calls through `sendInput` and `sendKeyState`.
class FakeContentWindow final : public FakeWindow, public ContentWindow {
 public:
  void setTitle(const std::string& title) override { title_ = title; }
  std::string title() const override { return title_; }
  void setAlpha(double alpha) override { alpha_ = alpha; }
  double alpha() const override { return alpha_; }
  void present(const PixelFrame& frame, const std::vector<PixelRect>& damage) override;
  void makeKeyAndOrderFront() override;
  void resignKey() override;
  bool isKey() const override { return key_; }
  void setInputHandler(InputHandler handler) override { inputHandler_ = std::move(handler); }
  void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }
  void setAccessibilityTree(const std::vector<AccessibleNode>& roots) override {
    accessibilityTree_ = roots;
  }

  // What the window server would do: input to the handler, a click elsewhere that resigns.
  void sendInput(const WindowInput& input);
  void sendKeyState(KeyState state);

  int presentCount() const { return presents_; }
  // The last frame's pixels, tightly packed (width × 4 bytes a row).
  const std::vector<unsigned char>& pixels() const { return pixels_; }
  int frameWidth() const { return width_; }
  int frameHeight() const { return height_; }
  const std::vector<PixelRect>& lastDamage() const { return damage_; }
  const std::vector<AccessibleNode>& accessibilityTree() const { return accessibilityTree_; }

 private:
  friend class FakeWindows;
  FakeContentWindow(std::shared_ptr<FakeWindowRegistry> registry, const WindowSpec& spec)
      : FakeWindow(std::move(registry), spec) {}
  std::string title_;
  double alpha_ = 1;
  bool key_ = false;
  int presents_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<unsigned char> pixels_;
  std::vector<PixelRect> damage_;
  InputHandler inputHandler_;
  KeyHandler keyHandler_;
  std::vector<AccessibleNode> accessibilityTree_;
};

// Screens, windows, applications and the reduce-motion setting, all set by the test. The
// windows the code under test created stay readable while it holds them.
class FakeWindows final : public Windows {
 public:
  // The desktop-icon level key's level on macOS.
  static constexpr int kDesktopIconLevel = -2147483603;

  FakeWindows();
  ~FakeWindows() override;

  std::vector<Screen> screens() override { return screens_; }
  std::optional<Screen> mainScreen() override;
  int windowLevelForKey(WindowLevelKey key) override;
  std::unique_ptr<Window> createWindow(const WindowSpec& spec) override;
  std::unique_ptr<StatusPanel> createStatusPanel(const WindowSpec& spec) override;
  std::unique_ptr<ContentWindow> createContentWindow(const WindowSpec& spec) override;
  double textWidth(std::string_view text, const Font& font) override;
  std::vector<WindowInfo> onScreenWindows() override { return onScreenWindows_; }
  std::vector<RunningApplication> runningApplications() override { return applications_; }
  std::optional<RunningApplication> frontmostApplication() override { return frontmost_; }
  bool reduceMotion() override { return reduceMotion_; }
  std::unique_ptr<Observation> observeDisplayOptions(std::function<void()> changed) override;

  // One 1440 × 900 screen with the menu bar, until set otherwise.
  void setScreens(std::vector<Screen> screens) { screens_ = std::move(screens); }
  void setMainScreen(std::optional<Screen> screen) { mainScreen_ = std::move(screen); }
  // Text width per character at the font's size; 0.5 × size per UTF-8 byte by default.
  void setTextWidth(std::function<double(std::string_view, const Font&)> measure);
  void setOnScreenWindows(std::vector<WindowInfo> windows) {
    onScreenWindows_ = std::move(windows);
  }
  void setRunningApplications(std::vector<RunningApplication> applications);
  void setFrontmostApplication(std::optional<RunningApplication> application);
  // Changes the setting and notifies the observers, as the system does.
  void setReduceMotion(bool on);

  // The live windows created through this fake, oldest first.
  std::vector<FakeWindow*> windows() const;
  std::vector<FakeStatusPanel*> statusPanels() const;
  std::vector<FakeContentWindow*> contentWindows() const;
  int createdWindowCount() const { return created_; }
  int displayOptionObserverCount() const;

 private:
  class DisplayOptionsObservation;

  std::shared_ptr<FakeWindowRegistry> registry_;
  std::vector<Screen> screens_;
  std::optional<Screen> mainScreen_;
  std::function<double(std::string_view, const Font&)> measure_;
  std::vector<WindowInfo> onScreenWindows_;
  std::vector<RunningApplication> applications_;
  std::optional<RunningApplication> frontmost_;
  bool reduceMotion_ = false;
  int created_ = 0;
};

}  // namespace deskplay::platform::testing
