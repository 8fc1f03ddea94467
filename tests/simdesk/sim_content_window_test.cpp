#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/sim_windows.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using platform::PixelRect;
using platform::Point;
using platform::Rect;
using platform::WindowInput;

// A frame of one premultiplied ARGB32 colour, with a stride wider than its rows.
struct Frame {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  std::vector<unsigned char> bytes;

  Frame(int frameWidth, int frameHeight, std::uint32_t pixel)
      : width(frameWidth),
        height(frameHeight),
        stride(static_cast<std::size_t>(frameWidth) * 4 + 16),
        bytes(stride * static_cast<std::size_t>(frameHeight)) {
    fill({0, 0, width, height}, pixel);
  }
  void fill(const PixelRect& rect, std::uint32_t pixel) {
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
      for (int x = rect.x; x < rect.x + rect.width; ++x) {
        std::memcpy(&bytes[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 4],
                    &pixel, 4);
      }
    }
  }
  platform::PixelFrame view() const { return {width, height, stride, bytes.data()}; }
};

// A status-level panel at top-left (200, 200), 300 × 100 on the 1440 × 900 screen.
platform::WindowSpec panelSpec() {
  return {{{200, 600}, {300, 100}}};
}

platform::WindowTraits statusLevel() {
  platform::WindowTraits traits;
  traits.level = platform::window_levels::status;
  traits.opaque = false;
  return traits;
}

class SimContentWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.start());
    connection_ = session_.connect("Deskplay");
    windows_ = std::make_unique<platform::SimWindows>(*connection_);
  }

  QImage screenshot() {
    const std::filesystem::path shot = session_.home() / "shot.png";
    const Completed done = session_.ctl({"screenshot", shot.string()});
    EXPECT_EQ(done.status, 0) << done.errors;
    return QImage(QString::fromStdString(shot.string()));
  }

  // Keeps the last screenshot under the build folder by `name`.
  void keepScreenshot(const std::string& name) {
    std::filesystem::create_directories(SIMDESK_SCREENSHOTS);
    std::filesystem::copy_file(session_.home() / "shot.png",
                               std::filesystem::path(SIMDESK_SCREENSHOTS) / (name + ".png"),
                               std::filesystem::copy_options::overwrite_existing);
  }

  std::unique_ptr<platform::ContentWindow> shownPanel() {
    auto window = windows_->createContentWindow(panelSpec());
    window->configure(statusLevel());
    window->setTitle("Deskplay");
    window->orderFrontRegardless();
    return window;
  }

  void dispatchUntil(const std::function<bool()>& condition) {
    EXPECT_TRUE(eventuallyDispatched(*connection_, condition));
  }

  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimWindows> windows_;
};

bool near(const QColor& actual, int red, int green, int blue) {
  return std::abs(actual.red() - red) <= 3 && std::abs(actual.green() - green) <= 3 &&
         std::abs(actual.blue() - blue) <= 3;
}

TEST_F(SimContentWindowTest, AHalfTransparentWindowOverAnIconShowsBothBlended) {
  writeFile(session_.desktop() / "under.txt", "x");
  ASSERT_TRUE(eventually([&] { return !session_.desktopItem("under.txt").is_null(); }));
  const nlohmann::json icon = session_.desktopItem("under.txt")["iconFrame"];
  const int x = static_cast<int>(icon["x"].get<double>() + icon["w"].get<double>() / 2);
  const int y = static_cast<int>(icon["y"].get<double>() + icon["h"].get<double>() / 2);
  const QColor before = screenshot().pixelColor(x, y);

  // Half-transparent red, premultiplied, over the icon's centre.
  auto window = windows_->createContentWindow({{{x - 40.0, 900 - y - 40.0}, {80, 80}}});
  window->configure(statusLevel());
  const Frame red(80, 80, 0x80800000);
  window->present(red.view(), {{0, 0, 80, 80}});
  window->orderFrontRegardless();
  const QImage after = screenshot();
  const double behind = 1 - 128 / 255.0;
  EXPECT_TRUE(near(after.pixelColor(x, y), static_cast<int>(128 + before.red() * behind),
                   static_cast<int>(before.green() * behind),
                   static_cast<int>(before.blue() * behind)))
      << "before " << before.name().toStdString() << ", after "
      << after.pixelColor(x, y).name().toStdString();
  keepScreenshot("half-transparent-window-over-an-icon");

  // The window's own alpha blends an opaque frame the same way.
  const Frame blue(80, 80, 0xFF0000FF);
  window->present(blue.view(), {{0, 0, 80, 80}});
  window->setAlpha(0.5);
  EXPECT_TRUE(near(screenshot().pixelColor(x, y), static_cast<int>(before.red() * 0.5),
                   static_cast<int>(before.green() * 0.5),
                   static_cast<int>(127 + before.blue() * 0.5)));
}

TEST_F(SimContentWindowTest, OnlyDamagedPixelsChangeAndANewSizeTakesANewBuffer) {
  auto window = shownPanel();
  Frame frame(300, 100, 0xFF00FF00);
  window->present(frame.view(), {{0, 0, 300, 100}});
  EXPECT_EQ(screenshot().pixelColor(350, 250), QColor(0, 255, 0));

  frame.fill({0, 0, 300, 100}, 0xFFFF0000);
  window->present(frame.view(), {{10, 20, 5, 5}});
  const QImage partly = screenshot();
  EXPECT_EQ(partly.pixelColor(212, 222), QColor(255, 0, 0)) << "inside the damage";
  EXPECT_EQ(partly.pixelColor(350, 250), QColor(0, 255, 0)) << "outside it the old frame stays";

  // A bigger frame comes whole, whatever its damage says.
  window->setFrame({{200, 560}, {400, 140}}, platform::Redraw::now);
  const Frame bigger(400, 140, 0xFF0000FF);
  window->present(bigger.view(), {});
  const QImage resized = screenshot();
  EXPECT_EQ(resized.pixelColor(590, 330), QColor(0, 0, 255));
  EXPECT_EQ(resized.pixelColor(350, 250), QColor(0, 0, 255));
}

TEST_F(SimContentWindowTest, InputComesInWindowCoordinatesAndKeysFollowTheKeyWindow) {
  auto window = shownPanel();
  std::vector<WindowInput> inputs;
  std::vector<platform::KeyState> keyStates;
  window->setInputHandler([&](const WindowInput& input) { inputs.push_back(input); });
  window->setKeyHandler([&](platform::KeyState state) { keyStates.push_back(state); });
  window->makeKeyAndOrderFront();
  dispatchUntil([&] { return keyStates.size() == 1; });
  EXPECT_TRUE(window->isKey());
  EXPECT_NE(session_.ctl({"windows"}).output.find("\"Deskplay\" content alpha 1 key"),
            std::string::npos)
      << session_.ctl({"windows"}).output;

  ASSERT_EQ(session_.ctl({"click", "230", "240"}).status, 0);
  ASSERT_EQ(session_.ctl({"type", "a"}).status, 0);
  dispatchUntil([&] { return inputs.size() >= 4; });
  std::vector<WindowInput::Kind> kinds;
  for (const auto& input : inputs) kinds.push_back(input.kind);
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), WindowInput::Kind::mouseDown), kinds.end());
  const auto down = std::find_if(inputs.begin(), inputs.end(), [](const WindowInput& input) {
    return input.kind == WindowInput::Kind::mouseDown;
  });
  ASSERT_NE(down, inputs.end());
  EXPECT_EQ(down->location, (Point{30, 40}));
  EXPECT_EQ(down->button, platform::PointerButton::left);
  const auto key = std::find_if(inputs.begin(), inputs.end(), [](const WindowInput& input) {
    return input.kind == WindowInput::Kind::keyDown;
  });
  ASSERT_NE(key, inputs.end());
  EXPECT_EQ(key->characters, "a");

  // A click on the desktop makes it resign; the owner hears.
  ASSERT_EQ(session_.ctl({"click", "900", "700"}).status, 0);
  dispatchUntil([&] { return keyStates.size() == 2; });
  EXPECT_EQ(keyStates.back(), platform::KeyState::resigned);
  EXPECT_FALSE(window->isKey());
}

TEST_F(SimContentWindowTest, PublishedElementsAreListedAndPressedByTitle) {
  auto window = shownPanel();
  std::vector<WindowInput> inputs;
  window->setInputHandler([&](const WindowInput& input) { inputs.push_back(input); });
  platform::AccessibleNode stop{"AXButton", "Stop & restore", "", true, {{20, 50}, {120, 30}}, {}};
  platform::AccessibleNode later{"AXButton", "Later", "", false, {{160, 50}, {100, 30}}, {}};
  platform::AccessibleNode group{"AXGroup", "", "", true, {{0, 0}, {300, 100}}, {stop, later}};
  window->setAccessibilityTree({group});

  const std::string pid = std::to_string(::getpid());
  const Completed tree = session_.ctl({"ax-tree", pid});
  ASSERT_EQ(tree.status, 0) << tree.errors;
  EXPECT_NE(tree.output.find("Stop & restore"), std::string::npos) << tree.output;
  const Completed at = session_.ctl({"ax-at", "230", "265"});
  EXPECT_NE(at.output.find("Stop & restore"), std::string::npos) << at.output;

  const Completed pressed = session_.ctl({"press", "Stop & restore", "--pid", pid});
  ASSERT_EQ(pressed.status, 0) << pressed.errors;
  dispatchUntil([&] {
    return std::any_of(inputs.begin(), inputs.end(), [](const WindowInput& input) {
      return input.kind == WindowInput::Kind::mouseUp;
    });
  });
  const auto down = std::find_if(inputs.begin(), inputs.end(), [](const WindowInput& input) {
    return input.kind == WindowInput::Kind::mouseDown;
  });
  ASSERT_NE(down, inputs.end());
  EXPECT_EQ(down->location, (Point{80, 65})) << "the button's centre";
  EXPECT_EQ(std::count_if(inputs.begin(), inputs.end(),
                          [](const WindowInput& input) {
                            return input.kind == WindowInput::Kind::mouseDown;
                          }),
            1)
      << "one press is one click";

  for (const std::vector<std::string>& refused : {std::vector<std::string>{"press", "Later"},
                                                  {"press", "Nothing"},
                                                  {"press", "Stop & restore", "--pid", "1"}}) {
    const Completed none = session_.ctl(refused);
    EXPECT_EQ(none.status, 1) << refused.back();
    EXPECT_NE(none.errors.find("no enabled element titled"), std::string::npos) << none.errors;
  }
}

TEST(SimContentWindowWithoutSimdeskTest, AWindowKeepsItsStateAndAppearsOnceSimdeskIsThere) {
  SimdeskSession session;
  auto connection = session.connect("Deskplay");
  platform::SimWindows windows(*connection);
  auto window = windows.createContentWindow(panelSpec());
  window->configure(statusLevel());
  window->setTitle("Deskplay");
  window->setAlpha(1);
  window->setAccessibilityTree({{"AXButton", "Quit", "", true, {{0, 0}, {10, 10}}, {}}});
  window->orderFrontRegardless();
  const Frame green(300, 100, 0xFF00FF00);
  window->present(green.view(), {{0, 0, 300, 100}});
  window->makeKeyAndOrderFront();
  window->resignKey();
  EXPECT_FALSE(window->isKey());
  EXPECT_EQ(window->title(), "Deskplay");

  ASSERT_TRUE(session.start());
  window->present(green.view(), {{0, 0, 1, 1}});
  const std::filesystem::path shot = session.home() / "shot.png";
  ASSERT_EQ(session.ctl({"screenshot", shot.string()}).status, 0);
  EXPECT_EQ(QImage(QString::fromStdString(shot.string())).pixelColor(350, 250), QColor(0, 255, 0))
      << "the whole last frame, not only the last damage";
  EXPECT_EQ(session.ctl({"press", "Quit"}).status, 0);
}

}  // namespace
}  // namespace deskplay::testing
