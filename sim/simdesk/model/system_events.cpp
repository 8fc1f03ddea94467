#include "sim/simdesk/model/system_events.hpp"

namespace deskplay::simdesk {

SystemEvents::SystemEvents(Screens& screens, Applications& applications)
    : screens_(screens), applications_(applications) {}

bool SystemEvents::dockAutohide() const { return screens_.dockAutohide() == Autohide::on; }

void SystemEvents::setDockAutohide(bool autohide) {
  screens_.setDockAutohide(autohide ? Autohide::on : Autohide::off);
}

bool SystemEvents::menuBarAutohide() const {
  return screens_.menuBarAutohide() == Autohide::on;
}

void SystemEvents::setMenuBarAutohide(bool autohide) {
  screens_.setMenuBarAutohide(autohide ? Autohide::on : Autohide::off);
}

void SystemEvents::setDesktopPicture(std::string path) {
  picture_ = std::move(path);
  usesPicture_ = true;
  ++pictureGeneration_;
}

void SystemEvents::setDesktopColor(const platform::Color& color) {
  color_ = color;
  usesPicture_ = false;
}

std::optional<bool> SystemEvents::processVisible(std::string_view name) const {
  const Application* application = applications_.byName(name);
  if (application == nullptr) return std::nullopt;
  return application->visible;
}

Status SystemEvents::setProcessVisible(std::string_view name, bool visible) {
  const Application* application = applications_.byName(name);
  if (application == nullptr) return Error{"no process named " + std::string(name)};
  applications_.setVisible(application->pid, visible);
  return Status::success();
}

std::vector<std::string> SystemEvents::processNames() const {
  std::vector<std::string> names;
  for (const Application& application : applications_.all()) names.push_back(application.name);
  return names;
}

}  // namespace deskplay::simdesk
