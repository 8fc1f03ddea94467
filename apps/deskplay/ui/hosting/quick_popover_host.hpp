#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickRenderControl>
#include <QQuickWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/window_content.hpp"
#include "ui/hosting/window_input_events.hpp"
#include "ui/menubar/popover_content.hpp"

namespace deskplay::ui {

// Makes the root item of what the popover shows, in the host's engine; nothing when it cannot
// (the host then shows an empty panel).
using RootItemFactory = std::function<QQuickItem*(QQmlEngine& engine)>;

// Qt Quick content for the popover's panel. The scene is drawn offscreen by the software
// renderer into one image that lives as long as its size; each change to the scene is drawn
// once, on the next turn of the event loop however many changes came together, and only the
// rows that changed go to the panel. Nothing is drawn while nothing changes. The panel's input
// goes into the scene, and the scene's accessible elements are published as the panel's
// accessibility tree whenever they change. The content is as wide as the root item and as
// high as its implicit height, over the panel's see-through background. While the panel is
// hidden nothing is drawn; showing it draws what changed meanwhile at once. Main thread, after
// the application object exists.
class QuickPopoverHost final : public QObject, public PopoverContent {
  Q_OBJECT

 public:
  // The background behind the content: a light popover material that lets the desktop through.
  static const QColor kBackground;

  explicit QuickPopoverHost(const RootItemFactory& makeRoot, QObject* parent = nullptr);
  ~QuickPopoverHost() override;

  void attach(platform::ContentWindow& window) override;
  void detach() override;
  void setShown(bool shown) override;
  platform::Size size() const override;
  void setSizeHandler(SizeHandler handler) override { sizeHandler_ = std::move(handler); }

  QQuickWindow& quickWindow() { return *window_; }
  QQmlEngine& engine() { return *engine_; }
  QQuickItem* root() const { return root_; }
  // Frames drawn since the host was made.
  int renderCount() const { return renders_; }

 signals:
  // A frame went to the panel (not sent for a frame that changed nothing).
  void framePresented();
  // The panel was shown or hidden.
  void shownChanged(bool shown);

 private:
  void scheduleRender();
  void render();
  void followRootSize();
  void publishAccessibility();

  std::unique_ptr<QQuickRenderControl> control_;
  std::unique_ptr<QQuickWindow> window_;
  std::unique_ptr<QQmlEngine> engine_;
  QPointer<QQuickItem> root_;
  std::optional<WindowInputDelivery> input_;
  platform::ContentWindow* panel_ = nullptr;
  bool shown_ = false;
  bool changedWhileHidden_ = false;
  SizeHandler sizeHandler_;
  QImage image_;        // what the renderer draws into; replaced only for a new size
  QImage panelPixels_;  // the panel's pixels, to find the rows a frame changed
  QTimer renderSoon_;
  int renders_ = 0;
  std::optional<std::vector<platform::AccessibleNode>> published_;
};

}  // namespace deskplay::ui
