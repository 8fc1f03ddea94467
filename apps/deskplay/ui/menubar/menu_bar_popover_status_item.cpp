#include "ui/menubar/menu_bar_popover_status_item.hpp"

#include "ui/menubar/panel_placement.hpp"

namespace deskplay::ui {

namespace {

using platform::ClickVerdict;
using platform::KeyState;
using platform::PointerButton;
using platform::Rect;
using platform::Size;
using platform::StatusItemClick;
namespace flags = platform::event_flags;

}  // namespace

platform::StatusItemAppearance statusItemAppearance(const MenuBarPopoverScene& scene) {
  platform::StatusItemAppearance appearance;
  appearance.title = scene.image ? std::string() : scene.title;
  appearance.image = scene.image;
  appearance.accessibilityTitle = scene.title;
  return appearance;
}

MenuBarPopoverStatusItem::MenuBarPopoverStatusItem(const MenuBarPopoverPorts& ports,
                                                   MenuBarPopoverScene scene,
                                                   PopoverContent& content)
    : ports_(ports),
      scene_(std::move(scene)),
      statusItem_(ports.statusItems.createItem(statusItemAppearance(scene_))),
      panel_(std::make_unique<MenuBarPopoverWindow>(ports.windows, scene_.title, content)),
      localEventMonitor_(*statusItem_, kMouseDowns,
                         [this](const StatusItemClick& click) { return buttonMouseDown(click); }),
      globalEventMonitor_(ports.eventTaps, kMouseDowns,
                          [this](const platform::Event&) {
                            if (window().isKey()) window().resignKey();
                          }),
      fade_(ports.timers, ports.clock),
      self_(std::make_shared<MenuBarPopoverStatusItem*>(this)) {
  window().setKeyHandler([this](KeyState state) { keyChanged(state); });
  content.setSizeHandler([this](Size size) { contentResized(size); });
  statusItem_->setPresenceHandler(
      [this](platform::Presence presence) { presenceChanged(presence); });
  localEventMonitor_.start();
}

MenuBarPopoverStatusItem::~MenuBarPopoverStatusItem() {
  panel_->content().setSizeHandler(nullptr);
  window().setKeyHandler(nullptr);
  statusItem_->setPresenceHandler(nullptr);
}

std::optional<StatusItemClick> MenuBarPopoverStatusItem::buttonMouseDown(
    const StatusItemClick& click) {
  // With Command held the menu bar takes the click, so the person can drag the item.
  if ((click.flags & flags::command) != 0) return click;
  const bool control = (click.flags & flags::control) != 0;
  if (click.button == PointerButton::left && !control) {
    didPressStatusButton();
    return std::nullopt;
  }
  if (!scene_.menu) return click;
  if (const auto button = statusItem_->buttonWindowFrame()) scene_.menu(*button);
  return std::nullopt;
}

void MenuBarPopoverStatusItem::didPressStatusButton() {
  if (isShown()) {
    dismissWindow();
  } else {
    open();
  }
}

bool MenuBarPopoverStatusItem::isShown() const {
  return panel_->window().isVisible();
}

void MenuBarPopoverStatusItem::open() {
  ports_.notifications.post(kBeginMenuTracking);
  // Drawing what changed while hidden may change the content's size, so it goes first.
  panel_->content().setShown(true);
  setWindowFrame(panel_->content().size(), FrameAnimation::none);
  window().setAlpha(1);
  window().makeKeyAndOrderFront();
  globalEventMonitor_.start();
}

void MenuBarPopoverStatusItem::dismissWindow() {
  if (!isShown() || isClosing()) return;
  globalEventMonitor_.stop();
  ports_.notifications.post(kEndMenuTracking);
  fade_.start(window(), kFadeDuration, [this] {
    window().orderOut();
    panel_->content().setShown(false);
    window().setAlpha(1);
    statusItem_->setHighlight(platform::Highlight::off);
  });
}

void MenuBarPopoverStatusItem::keyChanged(KeyState state) {
  if (state == KeyState::became) {
    if (isShown() && !isClosing()) statusItem_->setHighlight(platform::Highlight::on);
    return;
  }
  dismissWindow();
}

void MenuBarPopoverStatusItem::setWindowFrame(Size size, FrameAnimation animation) {
  const Rect current = window().frame();
  const auto button = statusItem_->buttonWindowFrame();
  Rect frame{{current.minX(), current.maxY() - size.height}, size};
  if (button) {
    if (const auto visible = visibleFrameAround(*button, ports_.windows.screens())) {
      frame = panelFrame(*button, size, *visible, scene_.alignment, scene_.screenClippingBehaviour);
    }
  }
  window().setFrame(frame, animation == FrameAnimation::animated ? platform::Redraw::now
                                                                 : platform::Redraw::later);
}

void MenuBarPopoverStatusItem::contentResized(Size size) {
  if (window().frame().size == size) return;
  // The content may report several sizes while it settles; the panel takes the one current on
  // the next turn of the loop.
  ports_.timers.after(platform::Clock::Seconds(0), [weak = std::weak_ptr(self_)] {
    const auto self = weak.lock();
    if (!self) return;
    MenuBarPopoverStatusItem& item = **self;
    const Size now = item.panel_->content().size();
    if (item.window().frame().size == now) return;
    item.setWindowFrame(now, item.isShown() ? FrameAnimation::animated : FrameAnimation::none);
  });
}

void MenuBarPopoverStatusItem::setInserted(bool inserted) {
  statusItem_->setPresence(inserted ? platform::Presence::inserted : platform::Presence::removed);
  if (!inserted) dismissWindow();
}

bool MenuBarPopoverStatusItem::isInserted() const {
  return statusItem_->presence() == platform::Presence::inserted;
}

void MenuBarPopoverStatusItem::presenceChanged(platform::Presence presence) {
  const bool inserted = presence == platform::Presence::inserted;
  if (!inserted) dismissWindow();
  if (insertedHandler_) insertedHandler_(inserted);
}

}  // namespace deskplay::ui
