#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/hotkey/hotkey.hpp"
#include "core/hotkey/stop_hotkey_tap.hpp"
#include "platform/accessibility.hpp"
#include "platform/event_taps.hpp"
#include "platform/privacy_checks.hpp"
#include "platform/workspace.hpp"

namespace deskplay::core {

// The system-wide keyboard tap. While a game runs (capturing) it swallows key presses and
// hands them to the game, except Command shortcuts; it watches for the stop hotkey; and while
// the settings record a new stop hotkey it hands over the next combination instead.
// Main thread only: the tap's callback runs there, and the published counters change there.
class KeyTap final : public QObject, public StopHotkeyTap {
  Q_OBJECT
  Q_PROPERTY(bool trusted READ trusted NOTIFY trustedChanged)
  Q_PROPERTY(int lastKeyCode READ lastKeyCode NOTIFY lastKeyCodeChanged)
  Q_PROPERTY(int count READ count NOTIFY countChanged)

 public:
  // A captured key-down: its virtual key code and its characters ignoring modifiers (UTF-8,
  // empty when it has none).
  using EventHandler = std::function<void(int keyCode, const std::string& characters)>;
  using StopHandler = std::function<void()>;
  // A recorded combination, or nothing when Escape cancelled the recording.
  using RecordedHandler = std::function<void(const std::optional<Hotkey>& recorded)>;

  // Key-down and key-up: (1 << 10) | (1 << 11).
  static constexpr platform::EventMask kKeyMask =
      platform::eventMaskOf(platform::EventType::keyDown) |
      platform::eventMaskOf(platform::EventType::keyUp);
  static constexpr std::int64_t kEscapeKeyCode = 53;

  struct Services {
    platform::EventTaps& eventTaps;
    platform::Accessibility& accessibility;
    platform::PrivacyChecks& privacyChecks;
    platform::Workspace& workspace;
  };

  // The services must outlive the tap.
  explicit KeyTap(Services services, QObject* parent = nullptr);
  ~KeyTap() override;

  // Recomputes `trusted` (Accessibility, or Input Monitoring granted) and installs the tap
  // unless one is installed already; without permission no tap is made and a later call
  // tries again.
  void start();
  // Makes the system ask for Accessibility access, and opens its settings pane.
  void promptForPermission();
  bool installed() const { return tap_ != nullptr; }

  bool trusted() const { return trusted_; }
  // The last counted key-down, -1 before any; counted are key-downs outside a recording
  // without Command that are not the stop hotkey during a game.
  int lastKeyCode() const { return lastKeyCode_; }
  int count() const { return count_; }

  bool capturing() const { return capturing_; }
  void setCapturing(bool capturing) { capturing_ = capturing; }
  const Hotkey& stopHotkey() const { return stopHotkey_; }
  void setStopHotkey(const Hotkey& hotkey) override { stopHotkey_ = hotkey; }
  bool recording() const { return recording_; }
  void setRecording(bool recording) override { recording_ = recording; }

  // Called at once from the tap's callback, which waits for it: it must be quick.
  void setOnEvent(EventHandler handler) { onEvent_ = std::move(handler); }
  // Called later on the main thread, after the tap's callback has returned.
  void setOnStopHotkey(StopHandler handler) { onStopHotkey_ = std::move(handler); }
  void setOnHotkeyRecorded(RecordedHandler handler) { onHotkeyRecorded_ = std::move(handler); }

 signals:
  void trustedChanged();
  void lastKeyCodeChanged();
  void countChanged();

 private:
  platform::TapVerdict handle(const platform::Event& event);
  platform::TapVerdict record(const platform::Event& event);
  void handOverRecording(std::optional<Hotkey> recorded);
  void countKey(int keyCode);

  Services services_;
  std::unique_ptr<platform::EventTap> tap_;
  bool trusted_ = false;
  int lastKeyCode_ = -1;
  int count_ = 0;
  bool capturing_ = false;
  Hotkey stopHotkey_ = defaultStopHotkey();
  bool recording_ = false;
  EventHandler onEvent_;
  StopHandler onStopHotkey_;
  RecordedHandler onHotkeyRecorded_;
};

}  // namespace deskplay::core
