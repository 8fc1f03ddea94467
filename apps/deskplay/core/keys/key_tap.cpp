#include "core/keys/key_tap.hpp"

#include <QMetaObject>

#include "platform/input_permission.hpp"

namespace deskplay::core {

namespace {

namespace flags = platform::event_flags;
using platform::EventType;
using platform::TapVerdict;

constexpr std::uint64_t kModifiers = flags::shift | flags::control | flags::option | flags::command;

bool matches(const Hotkey& hotkey, const platform::Event& event) {
  return event.keyCode == hotkey.keyCode &&
         ((event.flags & flags::control) != 0) == hotkey.control &&
         ((event.flags & flags::option) != 0) == hotkey.option &&
         ((event.flags & flags::shift) != 0) == hotkey.shift &&
         ((event.flags & flags::command) != 0) == hotkey.command;
}

}  // namespace

KeyTap::KeyTap(Services services, QObject* parent) : QObject(parent), services_(services) {}

// The tap goes first: its callback holds this object.
KeyTap::~KeyTap() {
  tap_.reset();
}

void KeyTap::start() {
  const bool trusted =
      platform::hasInputPermission(services_.accessibility, services_.privacyChecks);
  if (trusted != trusted_) {
    trusted_ = trusted;
    emit trustedChanged();
  }
  if (tap_ != nullptr) return;
  tap_ = services_.eventTaps.createSessionTap(
      kKeyMask, [this](const platform::Event& event) { return handle(event); });
  if (tap_ != nullptr) tap_->enable();
}

void KeyTap::promptForPermission() {
  platform::promptForInputPermission(services_.accessibility, services_.workspace);
}

TapVerdict KeyTap::handle(const platform::Event& event) {
  if (event.type == EventType::tapDisabledByTimeout ||
      event.type == EventType::tapDisabledByUserInput) {
    if (tap_ != nullptr) tap_->enable();
    return TapVerdict::pass;
  }
  if (event.type != EventType::keyDown && event.type != EventType::keyUp) return TapVerdict::pass;
  if (recording_) return record(event);

  const bool command = (event.flags & flags::command) != 0;
  if (event.type == EventType::keyUp) {
    return capturing_ && !command ? TapVerdict::swallow : TapVerdict::pass;
  }
  if (capturing_ && matches(stopHotkey_, event)) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (onStopHotkey_) onStopHotkey_();
        },
        Qt::QueuedConnection);
    return TapVerdict::swallow;
  }
  // Command shortcuts keep working during a game.
  if (command) return TapVerdict::pass;

  const int keyCode = static_cast<int>(event.keyCode);
  QMetaObject::invokeMethod(
      this, [this, keyCode] { countKey(keyCode); }, Qt::QueuedConnection);
  if (!capturing_) return TapVerdict::pass;
  if (onEvent_) onEvent_(keyCode, event.charactersIgnoringModifiers);
  return TapVerdict::swallow;
}

TapVerdict KeyTap::record(const platform::Event& event) {
  if (event.type != EventType::keyDown) return TapVerdict::swallow;
  if (event.keyCode == kEscapeKeyCode) {
    handOverRecording(std::nullopt);
  } else if ((event.flags & kModifiers) != 0) {
    handOverRecording(hotkeyOfEvent(event));
  }
  return TapVerdict::swallow;
}

void KeyTap::handOverRecording(std::optional<Hotkey> recorded) {
  QMetaObject::invokeMethod(
      this,
      [this, recorded = std::move(recorded)] {
        if (onHotkeyRecorded_) onHotkeyRecorded_(recorded);
      },
      Qt::QueuedConnection);
}

void KeyTap::countKey(int keyCode) {
  if (lastKeyCode_ != keyCode) {
    lastKeyCode_ = keyCode;
    emit lastKeyCodeChanged();
  }
  ++count_;
  emit countChanged();
}

}  // namespace deskplay::core
