#include "sim/simdesk/model/simulated_desktop.hpp"

namespace deskplay::simdesk {

SimulatedDesktop::SimulatedDesktop(Options options,
                                   std::optional<std::vector<platform::Size>> screens)
    : options_(std::move(options)),
      windowServer_(screens_, applications_),
      systemEvents_(screens_, applications_) {
  if (!options_.measure) options_.measure = estimatedTextWidth;
  if (screens) screens_.setSizes(std::move(*screens));
  finder_ =
      std::make_unique<Finder>(Finder::Context{options_.home, *options_.clock, screens_,
                                               applications_, windowServer_, options_.measure},
                               options_.watching);
  accessibility_ =
      std::make_unique<AccessibilityTree>(applications_, *finder_, windowServer_, screens_);
  statusBar_ = std::make_unique<StatusBar>(screens_, options_.measure);
  accessibility_->setStatusBar(statusBar_.get());
  applicationInput_ = std::make_unique<ApplicationInput>(screens_, windowServer_, *statusBar_);
  openPanels_ = std::make_unique<OpenPanels>(windowServer_, screens_);
  events_ = std::make_unique<EventPipeline>(applications_, *finder_, *accessibility_, privacy_,
                                            *options_.clock);
  events_->setRouting(applicationInput_.get());
  // The pointer starts in the middle of the main screen, whatever its size.
  if (const auto main = screens_.mainScreen()) {
    const platform::Rect frame = screens_.toTopLeft(main->frame);
    events_->warpPointer(
        {frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2});
  }
}

SimulatedDesktop::~SimulatedDesktop() = default;

void SimulatedDesktop::clientConnected(platform::ProcessId pid, const std::string& name) {
  applications_.registerClient(pid, name);
}

void SimulatedDesktop::clientDisconnected(platform::ProcessId pid) {
  openPanels_->removeAllOf(pid);
  statusBar_->removeAllOf(pid);
  windowServer_.closeAllOf(pid);
  applications_.remove(pid);
}

}  // namespace deskplay::simdesk
