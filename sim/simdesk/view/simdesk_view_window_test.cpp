#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <chrono>
#include <optional>

#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk {
namespace {

using deskplay::testing::ChildProcess;
using deskplay::testing::SimdeskSession;

// The grabbed display shows the window at `at` when these points of the screen image match.
bool showsAt(const QImage& display, const QImage& screen, QPoint at) {
  for (const QPoint point : {QPoint(0, 0), QPoint(screen.width() / 2, screen.height() / 2),
                             QPoint(screen.width() - 1, screen.height() - 1),
                             QPoint(screen.width() - 1, 0), QPoint(0, screen.height() - 1)}) {
    const QPoint onDisplay = at + point;
    if (!display.rect().contains(onDisplay)) return false;
    if (display.pixel(onDisplay) != screen.pixel(point)) return false;
  }
  return true;
}

// Where the window's top-left corner shows on the display: with no window manager it is the
// corner of the display, but a placement policy may put it anywhere.
std::optional<QPoint> findWindow(const QImage& display, const QImage& screen) {
  for (int y = 0; y + screen.height() <= display.height(); ++y) {
    for (int x = 0; x + screen.width() <= display.width(); ++x) {
      if (display.pixel(x, y) == screen.pixel(0, 0) && showsAt(display, screen, {x, y})) {
        return QPoint(x, y);
      }
    }
  }
  return std::nullopt;
}

TEST(SimdeskViewWindowTest, ShowsTheRenderedScreenOnTheDisplay) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
  SimdeskSession session;
  deskplay::testing::writeFile(session.desktop() / "notes.txt", "x");
  ChildProcess simdesk(
      {deskplay::testing::simdeskProgram().string(), "--view", "--screens", "800x500"},
      {"HOME=" + session.home().string(),
       "XDG_RUNTIME_DIR=" + session.socket().parent_path().string(),
       "SIMDESK_SOCKET=" + session.socket().string(), "QT_QPA_PLATFORM=xcb"});
  ASSERT_TRUE(simdesk.readLine().value_or("").starts_with("SIMDESK_READY "))
      << simdesk.readStderr();

  const std::string shotPath = (session.home() / "screen.png").string();
  const auto shot = session.ctl({"screenshot", shotPath});
  ASSERT_EQ(shot.status, 0) << shot.errors;
  const QImage screen =
      QImage(QString::fromStdString(shotPath)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(screen.size(), QSize(800, 500));

  QImage display;
  std::optional<QPoint> window;
  const bool found = QTest::qWaitFor(
      [&] {
        display = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
            QImage::Format_RGB32);
        window = findWindow(display, screen);
        return window.has_value();
      },
      20000);
  display.save(QString(SIMDESK_VIEW_OUTPUT_DIR) + "/view-display.png");
  ASSERT_TRUE(found) << "the window never showed the rendered screen";
  const QImage grabbed = display.copy(QRect(*window, screen.size()));
  EXPECT_TRUE(grabbed.save(QString(SIMDESK_VIEW_OUTPUT_DIR) + "/view-window.png"));
  EXPECT_EQ(grabbed, screen);

  simdesk.kill(SIGTERM);
  EXPECT_EQ(simdesk.wait(), 0);
}

TEST(SimdeskViewWindowTest, WithoutADisplayTheViewIsRefusedInOneLine) {
  SimdeskSession session;
  const auto refused = deskplay::testing::runProgram(
      {deskplay::testing::simdeskProgram().string(), "--view"}, {},
      {"HOME=" + session.home().string(), "SIMDESK_SOCKET=" + session.socket().string(),
       "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.errors, "simdesk: --view needs a display (DISPLAY or WAYLAND_DISPLAY)\n");
  EXPECT_FALSE(std::filesystem::exists(session.socket()));
}

}  // namespace
}  // namespace deskplay::simdesk

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
