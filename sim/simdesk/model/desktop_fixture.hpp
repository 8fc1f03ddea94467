#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/testing/fake_clock.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk::testing {

// A simulated desktop over a temporary home with a Desktop folder, on a fake clock, with
// the folder watch left to `refresh` unless a test asks for it.
class DesktopFixture : public ::testing::Test {
 protected:
  DesktopFixture() { std::filesystem::create_directories(desktopFolder()); }

  std::filesystem::path home() const { return home_.path(); }
  std::filesystem::path desktopFolder() const { return home_.path() / "Desktop"; }
  std::filesystem::path onDesktop(const std::string& name) const { return desktopFolder() / name; }

  SimulatedDesktop& desktop() {
    if (!desktop_) start();
    return *desktop_;
  }
  Finder& finder() { return desktop().finder(); }

  void start(Finder::Watching watching = Finder::Watching::manual) {
    desktop_ = std::make_unique<SimulatedDesktop>(
        SimulatedDesktop::Options{home(), &clock_, measure_, watching});
  }
  // A simdesk that stops and starts again over the same home.
  void restart() {
    desktop_.reset();
    start();
  }
  void stop() { desktop_.reset(); }

  void addFile(const std::string& name, const std::string& content = "x") {
    deskplay::testing::writeFile(onDesktop(name), content);
  }
  void addFolder(const std::string& name) { std::filesystem::create_directory(onDesktop(name)); }

  // Quits Finder and launches it again, letting the launch time pass.
  void relaunchFinder() {
    ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
    finder().launch();
    clock_.advance(Finder::kLaunchTime);
    ASSERT_TRUE(finder().isRunning());
  }

  const DesktopItem& item(const std::string& name) {
    const DesktopItem* found = finder().itemNamed(name);
    if (found == nullptr) throw std::runtime_error("no desktop item " + name);
    return *found;
  }

  platform::testing::FakeClock clock_;
  // Empty: the model's estimate.
  TextMeasure measure_;

 private:
  deskplay::testing::TempDir home_;
  std::unique_ptr<SimulatedDesktop> desktop_;
};

}  // namespace deskplay::simdesk::testing
