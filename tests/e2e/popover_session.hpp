#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "listed_windows.hpp"
#include "platform/geometry.hpp"
#include "played_desktop.hpp"

namespace deskplay::testing {

// An element of what Deskplay published for its windows, as `simdeskctl ax-tree` prints it
// (global, top-left origin).
struct PublishedElement {
  std::string role;
  std::string title;
  platform::Rect frame;
};

// Deskplay in simdesk's menu bar, worked through its popover as a person works it: a click on
// its icon, clicks on what the popover published, and waits for what it shows.
class PopoverSession : public ::testing::Test {
 protected:
  // Starts simdesk (running `beforeDeskplay` first when given) and Deskplay, and waits for
  // Deskplay's icon in the menu bar.
  void start(const std::function<void()>& beforeDeskplay = {});

  // Deskplay's status item as `simdeskctl status-items` lists it; null while there is none.
  nlohmann::json listedStatusItem() const;
  // The frame of Deskplay's icon in the menu bar (top-left origin).
  platform::Rect statusItem() const;
  std::optional<ListedWindow> panel() const;
  pid_t deskplayPid() const { return listedStatusItem().value("pid", 0); }

  void clickStatusItem() const;
  // Opens the popover with a click on the icon and waits until it is the key window.
  void openPopover() const;
  void expectPopoverClosed() const;

  std::vector<PublishedElement> published() const;
  // Each published element's role and title, a line each, for failure messages.
  std::string publishedText() const;
  std::optional<PublishedElement> publishedElement(const std::string& role,
                                                   const std::string& title) const;
  bool shows(const std::string& role, const std::string& title) const {
    return publishedElement(role, title).has_value();
  }
  // A click at the centre of the popover's element with that role and title, as the person
  // clicks it, once it shows.
  void clickElement(const std::string& title, const std::string& role = "AXButton") const;

  void waitUntilPlaying(const std::string& game) const;
  // After the game: the session is over and the Desktop holds what it held before.
  void expectDesktopBack() const;

  PlayedDesktop desk_{builtBundle() / "Contents" / "MacOS" / "Deskplay",
                      PlayedDesktop::Interface::menuBar};
  std::map<std::string, std::string> entriesBefore_;
  std::vector<DesktopIcon> iconsBefore_;
};

}  // namespace deskplay::testing
