#include "ui/hosting/quick_popover_host.hpp"

#include <QCoreApplication>
#include <QQuickRenderTarget>
#include <QSGRendererInterface>
#include <cmath>
#include <iostream>
#include <utility>

#include "ui/hosting/accessible_tree.hpp"
#include "ui/hosting/frame_damage.hpp"

namespace deskplay::ui {

const QColor QuickPopoverHost::kBackground = QColor(236, 236, 238, 217);

QuickPopoverHost::QuickPopoverHost(const RootItemFactory& makeRoot, QObject* parent)
    : QObject(parent) {
  // The software scene graph draws into plain memory; it must be chosen before any window.
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  activateAccessibility();
  control_ = std::make_unique<QQuickRenderControl>();
  window_ = std::make_unique<QQuickWindow>(control_.get());
  window_->setColor(kBackground);
  engine_ = std::make_unique<QQmlEngine>();
  input_.emplace(*window_);

  renderSoon_.setSingleShot(true);
  renderSoon_.setInterval(0);
  connect(&renderSoon_, &QTimer::timeout, this, &QuickPopoverHost::render);
  connect(control_.get(), &QQuickRenderControl::renderRequested, this,
          &QuickPopoverHost::scheduleRender);
  connect(control_.get(), &QQuickRenderControl::sceneChanged, this,
          &QuickPopoverHost::scheduleRender);

  root_ = makeRoot ? makeRoot(*engine_) : nullptr;
  if (root_ == nullptr) {
    std::cerr << "Deskplay: the popover has nothing to show.\n";
    return;
  }
  root_->setParentItem(window_->contentItem());
  for (const auto changed : {&QQuickItem::implicitHeightChanged, &QQuickItem::widthChanged,
                             &QQuickItem::implicitWidthChanged}) {
    connect(root_.data(), changed, this, &QuickPopoverHost::followRootSize);
  }
  followRootSize();
}

QuickPopoverHost::~QuickPopoverHost() {
  renderSoon_.stop();
  // The items go before the engine that made them and the window that shows them.
  delete root_.data();
  engine_.reset();
  window_.reset();
  control_.reset();
}

platform::Size QuickPopoverHost::size() const {
  return {static_cast<double>(window_->width()), static_cast<double>(window_->height())};
}

void QuickPopoverHost::followRootSize() {
  const double width = root_->width() > 0 ? root_->width() : root_->implicitWidth();
  const double height = root_->implicitHeight();
  root_->setSize({width, height});
  const QSize pixels(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
  if (pixels == window_->size()) return;
  window_->setGeometry(QRect(QPoint(0, 0), pixels));
  window_->contentItem()->setSize(pixels);
  scheduleRender();
  if (sizeHandler_) sizeHandler_(size());
}

void QuickPopoverHost::attach(platform::ContentWindow& window) {
  panel_ = &window;
  panelPixels_ = QImage();
  published_.reset();
  panel_->setInputHandler([this](const platform::WindowInput& input) { input_->deliver(input); });
  // The first frame is drawn at once, shown or not, so that the first opening is as quick as
  // any other.
  changedWhileHidden_ = false;
  renderSoon_.start();
}

void QuickPopoverHost::detach() {
  if (panel_ != nullptr) panel_->setInputHandler(nullptr);
  panel_ = nullptr;
}

void QuickPopoverHost::setShown(bool shown) {
  shown_ = shown;
  emit shownChanged(shown);
  if (shown) {
    if (std::exchange(changedWhileHidden_, false)) render();
    return;
  }
  // Hover ends with the panel; the scene must not show it when the panel comes back.
  QEvent left(QEvent::Leave);
  QCoreApplication::sendEvent(window_.get(), &left);
}

void QuickPopoverHost::scheduleRender() {
  if (!shown_) {
    changedWhileHidden_ = true;
    return;
  }
  if (!renderSoon_.isActive()) renderSoon_.start();
}

void QuickPopoverHost::render() {
  renderSoon_.stop();
  if (panel_ == nullptr) return;
  // Laying out may change the content's size, and so the image's.
  control_->polishItems();
  if (window_->size().isEmpty()) return;
  if (image_.size() != window_->size()) {
    image_ = QImage(window_->size(), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    window_->setRenderTarget(QQuickRenderTarget::fromPaintDevice(&image_));
  }
  control_->beginFrame();
  control_->sync();
  control_->render();
  control_->endFrame();
  ++renders_;

  const std::vector<platform::PixelRect> damage = takeDamagedRows(image_, panelPixels_);
  if (!damage.empty()) {
    panel_->present({image_.width(), image_.height(),
                     static_cast<std::size_t>(image_.bytesPerLine()), image_.constBits()},
                    damage);
  }
  publishAccessibility();
  if (!damage.empty()) emit framePresented();
}

void QuickPopoverHost::publishAccessibility() {
  std::vector<platform::AccessibleNode> tree = accessibleTreeOf(*window_);
  if (published_ == tree) return;
  panel_->setAccessibilityTree(tree);
  published_ = std::move(tree);
}

}  // namespace deskplay::ui
