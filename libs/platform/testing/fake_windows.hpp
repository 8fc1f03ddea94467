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
