#include "popover_session.hpp"

#include <regex>
#include <sstream>

namespace deskplay::testing {

void PopoverSession::start(const std::function<void()>& beforeDeskplay) {
  ASSERT_TRUE(desk_.start({"TILESTACK_SEED=7"}, beforeDeskplay)) << desk_.failure;
  entriesBefore_ = desk_.userEntries();
  iconsBefore_ = desk_.userIcons();
  ASSERT_TRUE(eventually([&] { return statusItem().size.width > 0; }))
      << "Deskplay's icon never appeared in the menu bar";
}

nlohmann::json PopoverSession::listedStatusItem() const {
  std::istringstream lines(desk_.simdesk().ctl({"status-items"}).output);
  for (std::string line; std::getline(lines, line);) {
    const auto item = nlohmann::json::parse(line, nullptr, false);
    if (!item.is_discarded() && item.value("owner", "") == "Deskplay") return item;
  }
  return nullptr;
}

platform::Rect PopoverSession::statusItem() const {
  const nlohmann::json item = listedStatusItem();
  if (item.is_null()) return {};
  const auto& frame = item["frame"];
  return {{frame["x"].get<double>(), frame["y"].get<double>()},
          {frame["width"].get<double>(), frame["height"].get<double>()}};
}

std::optional<ListedWindow> PopoverSession::panel() const {
  return listedContentWindow(desk_.simdesk(), "Deskplay");
}

void PopoverSession::clickStatusItem() const {
  const platform::Rect item = statusItem();
  desk_.click(item.midX(), item.midY());
}

void PopoverSession::openPopover() const {
  clickStatusItem();
  ASSERT_TRUE(eventually([&] {
    const auto shown = panel();
    return shown && shown->key && shown->alpha == 1;
  })) << "the popover did not open";
}

void PopoverSession::expectPopoverClosed() const {
  EXPECT_TRUE(eventually([&] { return !panel().has_value(); })) << "the popover stayed open";
}

std::vector<PublishedElement> PopoverSession::published() const {
  const pid_t pid = deskplayPid();
  std::vector<PublishedElement> elements;
  static const std::regex element(
      R"re((AX\w+) "(.*)" at \((-?[\d.]+), (-?[\d.]+)\) size ([\d.]+)x([\d.]+))re");
  std::istringstream lines(desk_.simdesk().ctl({"ax-tree", std::to_string(pid)}).output);
  for (std::string line; std::getline(lines, line);) {
    std::smatch found;
    if (!std::regex_search(line, found, element)) continue;
    elements.push_back(
        {found[1],
         found[2],
         {{std::stod(found[3]), std::stod(found[4])}, {std::stod(found[5]), std::stod(found[6])}}});
  }
  return elements;
}

std::string PopoverSession::publishedText() const {
  std::string text;
  for (const PublishedElement& element : published()) {
    text += element.role + " \"" + element.title + "\"\n";
  }
  return text;
}

std::optional<PublishedElement> PopoverSession::publishedElement(const std::string& role,
                                                                 const std::string& title) const {
  for (const PublishedElement& element : published()) {
    if (element.role == role && element.title == title) return element;
  }
  return std::nullopt;
}

void PopoverSession::clickElement(const std::string& title, const std::string& role) const {
  std::optional<PublishedElement> element;
  ASSERT_TRUE(eventually([&] {
    element = publishedElement(role, title);
    return element.has_value();
  })) << "the popover never showed the "
      << role << " \"" << title << "\"; it showed:\n"
      << publishedText();
  desk_.click(element->frame.midX(), element->frame.midY());
}

void PopoverSession::waitUntilPlaying(const std::string& game) const {
  ASSERT_TRUE(eventually([&] {
    const auto status = desk_.status();
    return status["currentGame"] == game && !desk_.tiles().empty();
  })) << game
      << " never started; game log:\n"
      << desk_.gameLogText();
  EXPECT_TRUE(desk_.userIcons().empty()) << "the Desktop was not stashed";
}

void PopoverSession::expectDesktopBack() const {
  ASSERT_TRUE(eventually([&] {
    const auto status = desk_.status();
    return status.value("session", "") == "idle" && status["currentGame"].is_null() &&
           desk_.tiles().empty();
  })) << "the game did not end; game log:\n"
      << desk_.gameLogText();
  EXPECT_TRUE(desk_.status()["lastError"].is_null());
  EXPECT_EQ(desk_.userEntries(), entriesBefore_);
  EXPECT_TRUE(eventually([&] { return desk_.userIcons().size() == iconsBefore_.size(); }));
}

}  // namespace deskplay::testing
