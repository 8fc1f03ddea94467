#include "ui/hosting/window_input_events.hpp"

#include <gtest/gtest.h>

#include "platform/event_taps.hpp"

namespace deskplay::ui {
namespace {

namespace flags = platform::event_flags;

TEST(QtKey, NamedKeysByCodeOtherKeysByWhatTheyType) {
  EXPECT_EQ(qtKey(0x24, "\r"), Qt::Key_Return);
  EXPECT_EQ(qtKey(0x35, "\x1b"), Qt::Key_Escape);
  EXPECT_EQ(qtKey(0x7B, ""), Qt::Key_Left);
  EXPECT_EQ(qtKey(0x33, "\x7f"), Qt::Key_Backspace);
  EXPECT_EQ(qtKey(0x00, "a"), Qt::Key_A);
  EXPECT_EQ(qtKey(0x12, "1"), Qt::Key_1);
  EXPECT_EQ(qtKey(0x60, ""), Qt::Key_unknown);
}

TEST(QtModifiers, CommandIsControlAndControlIsMeta) {
  EXPECT_EQ(qtModifiers(flags::command), Qt::ControlModifier);
  EXPECT_EQ(qtModifiers(flags::control), Qt::MetaModifier);
  EXPECT_EQ(qtModifiers(flags::option | flags::shift), Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(qtModifiers(flags::capsLock), Qt::NoModifier);
}

}  // namespace
}  // namespace deskplay::ui
