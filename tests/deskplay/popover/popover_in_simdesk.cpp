#include "popover_in_simdesk.hpp"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QTest>
#include <filesystem>

namespace deskplay::testing {

namespace {

QQuickItem* loadFixture(QQmlEngine& engine) {
  QQmlComponent component(&engine, QUrl::fromLocalFile(DESKPLAY_POPOVER_FIXTURE));
  return qobject_cast<QQuickItem*>(component.create());
}

void pumpOnce() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

PopoverInSimdesk::PopoverInSimdesk(int wideItemsBefore) {
  if (!session_.start()) return;
  connection_ = session_.connect("Deskplay");
  pump_ = std::make_unique<platform::SimdeskEventPump>(*connection_);
  statusItems_ = std::make_unique<platform::SimStatusItems>(*connection_);
  windows_ = std::make_unique<platform::SimWindows>(*connection_);
  eventTaps_ = std::make_unique<platform::SimEventTaps>(*connection_);
  notifications_ = std::make_unique<platform::SimDistributedNotifications>(*connection_);
  for (int i = 0; i < wideItemsBefore; ++i) {
    platform::StatusItemAppearance wide;
    wide.title = "A status item with a long title " + std::to_string(i);
    wideItems_.push_back(statusItems_->createItem(wide));
  }
  person_ = std::make_unique<SimdeskInput>(session_);
  host_ = std::make_unique<ui::QuickPopoverHost>(loadFixture);
  ui::MenuBarPopoverScene scene;
  scene.title = "Deskplay";
  popover_ = std::make_unique<ui::MenuBarPopover>(
      ui::MenuBarPopoverPorts{*statusItems_, *windows_, *eventTaps_, *notifications_,
                              platform::QtMainLoopTimers::shared(), clock_},
      scene, *host_);
}

PopoverInSimdesk::~PopoverInSimdesk() {
  popover_.reset();
  host_.reset();
}

platform::Rect PopoverInSimdesk::itemFrame() {
  const platform::Rect frame = *popover_->statusItem().statusItem().buttonWindowFrame();
  return {{frame.minX(), 900 - frame.maxY()}, frame.size};
}

bool PopoverInSimdesk::click(platform::Point at) {
  return person_->click(at) && person_->waitUntilDelivered(pumpOnce);
}

bool PopoverInSimdesk::move(platform::Point to) {
  platform::Event moved;
  moved.type = platform::EventType::mouseMoved;
  moved.location = to;
  return person_->inject(moved) && person_->waitUntilDelivered(pumpOnce);
}

std::optional<ListedWindow> PopoverInSimdesk::panel() {
  return listedContentWindow(session_, "Deskplay");
}

bool PopoverInSimdesk::waitFor(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 20000);
}

QImage PopoverInSimdesk::screenshot(const std::string& name) {
  std::filesystem::create_directories(POPOVER_SCREENSHOTS);
  const std::string path = (std::filesystem::path(POPOVER_SCREENSHOTS) / (name + ".png")).string();
  if (session_.ctl({"screenshot", path}).status != 0) return {};
  return QImage(QString::fromStdString(path));
}

}  // namespace deskplay::testing
