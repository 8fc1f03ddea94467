#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"
#include "platform/observation.hpp"
#include "platform/window_content.hpp"

namespace deskplay::platform {

// A display. Frames have their origin at the bottom left of the main screen, y upwards.
struct Screen {
  Rect frame;
  Rect visibleFrame;  // without the menu bar and the Dock
  friend bool operator==(const Screen&, const Screen&) = default;
};

struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  friend bool operator==(const Color&, const Color&) = default;
};

// Window levels that the programs name, with the window server's numbers.
namespace window_levels {
inline constexpr int normal = 0;
inline constexpr int floating = 3;
inline constexpr int status = 25;
}  // namespace window_levels

// The window server's level keys; `Windows::windowLevelForKey` gives their levels.
enum class WindowLevelKey : int { desktopIcon = 18 };

// Collection behaviour bits.
namespace collection_behavior {
inline constexpr std::uint64_t canJoinAllSpaces = 0x1;
inline constexpr std::uint64_t moveToActiveSpace = 0x2;
inline constexpr std::uint64_t stationary = 0x10;
inline constexpr std::uint64_t ignoresCycle = 0x40;
inline constexpr std::uint64_t fullScreenAuxiliary = 0x100;
}  // namespace collection_behavior

// Style-mask bits.
namespace window_style {
inline constexpr std::uint64_t borderless = 0x0;
inline constexpr std::uint64_t nonactivatingPanel = 0x80;
}  // namespace window_style

// How a window is made: its content rectangle (bottom-left origin) and style.
struct WindowSpec {
  Rect contentRect;
  std::uint64_t styleMask = window_style::borderless;
  enum class Kind { window, panel } kind = Kind::window;
};

// Everything about a window that the programs set after creating it, applied together in
// field order.
struct WindowTraits {
  int level = window_levels::normal;
  std::optional<Color> background;  // nothing: the clear colour
  bool opaque = true;
  bool hasShadow = true;
  bool ignoresMouseEvents = false;
  bool acceptsMouseMovedEvents = false;
  bool movableByWindowBackground = false;
  std::uint64_t collectionBehavior = 0;
  bool hidesOnDeactivate = false;
  bool floatingPanel = false;
  bool canHide = true;
  bool releasedWhenClosed = false;
  bool becomesKeyOrMain = true;
  friend bool operator==(const WindowTraits&, const WindowTraits&) = default;
};

enum class Redraw { later, now };

// One of our own windows. Frames have their origin at the bottom left.
class Window {
 public:
  virtual ~Window() = default;

  virtual void configure(const WindowTraits& traits) = 0;
  virtual WindowTraits traits() const = 0;
  virtual void setFrame(const Rect& frame, Redraw redraw) = 0;
  virtual void setFrameOrigin(Point origin) = 0;
  virtual Rect frame() const = 0;
  // Brings the window to the front without activating the application.
  virtual void orderFrontRegardless() = 0;
  virtual void orderOut() = 0;
  virtual bool isVisible() const = 0;
  // Draws the content at once.
  virtual void display() = 0;
};

enum class FontWeight { regular, semibold };

struct Font {
  double size = 13;
  FontWeight weight = FontWeight::regular;
};

// The status panel: a rounded box in the system's window background colour holding one
// centred label (system font, label colour) and a small spinning progress indicator.
class StatusPanel : public virtual Window {
 public:
  struct Content {
    std::string text;
    std::string accessibilityLabel;
    Rect labelFrame;  // in the panel's content, bottom-left origin
    Rect spinnerFrame;
    bool spinnerVisible = false;
    bool spinnerAnimating = false;
    friend bool operator==(const Content&, const Content&) = default;
  };

  virtual void setContent(const Content& content) = 0;
  virtual Content content() const = 0;
};

// A window whose pixels this process draws and whose input it receives: a panel that hosts
// our own interface. Callbacks arrive on the main thread.
class ContentWindow : public virtual Window {
 public:
  using InputHandler = std::function<void(const WindowInput& input)>;
  using KeyHandler = std::function<void(KeyState state)>;

  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;
  // 0 (invisible) to 1 (as drawn); the window server blends the window over what is behind it.
  virtual void setAlpha(double alpha) = 0;
  virtual double alpha() const = 0;
  // Shows a new frame; `damage` holds the rectangles that changed since the last frame. A
  // frame of another size than the last one is shown whole, whatever the damage.
  virtual void present(const PixelFrame& frame, const std::vector<PixelRect>& damage) = 0;
  // Makes the window the key window (keys go to it) and orders it front.
  virtual void makeKeyAndOrderFront() = 0;
  virtual void resignKey() = 0;
  virtual bool isKey() const = 0;
  virtual void setInputHandler(InputHandler handler) = 0;
  // Told when the window becomes key and when it resigns (a click elsewhere, another key
  // window, resignKey).
  virtual void setKeyHandler(KeyHandler handler) = 0;
  // What the window shows, as the accessibility tree of this application gives it.
  virtual void setAccessibilityTree(const std::vector<AccessibleNode>& roots) = 0;
};

// A window of any application as the on-screen window list describes it. Bounds have their
// origin at the top left.
struct WindowInfo {
  std::uint32_t number = 0;
  ProcessId ownerProcess = 0;
  std::string ownerName;
  std::string name;
  int layer = 0;
  Rect bounds;
};

struct RunningApplication {
  ProcessId process = 0;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;
};

// Screens, our windows and panels (those the window server draws and those whose pixels we
// draw), text measurement, the on-screen window list, running
// applications, and the reduce-motion accessibility setting (the application framework and
// the window server).
// Main thread only; the display-options callback arrives on the main thread.
class Windows {
 public:
  virtual ~Windows() = default;

  // The first screen holds the menu bar. Empty when there is no display.
  virtual std::vector<Screen> screens() = 0;
  // The screen with the key window, else the first screen.
  virtual std::optional<Screen> mainScreen() = 0;
  virtual int windowLevelForKey(WindowLevelKey key) = 0;

  // Buffered, created at once; hidden until ordered front.
  virtual std::unique_ptr<Window> createWindow(const WindowSpec& spec) = 0;
  virtual std::unique_ptr<StatusPanel> createStatusPanel(const WindowSpec& spec) = 0;
  // A window whose pixels this process draws; hidden until ordered front.
  virtual std::unique_ptr<ContentWindow> createContentWindow(const WindowSpec& spec) = 0;
  // The rendered width of `text` in points.
  virtual double textWidth(std::string_view text, const Font& font) = 0;

  // The on-screen windows without desktop elements, front to back.
  virtual std::vector<WindowInfo> onScreenWindows() = 0;
  virtual std::vector<RunningApplication> runningApplications() = 0;
  virtual std::optional<RunningApplication> frontmostApplication() = 0;

  virtual bool reduceMotion() = 0;
  // Called whenever the accessibility display options (reduce motion among them) change.
  virtual std::unique_ptr<Observation> observeDisplayOptions(std::function<void()> changed) = 0;
};

}  // namespace deskplay::platform
