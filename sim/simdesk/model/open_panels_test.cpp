#include "sim/simdesk/model/open_panels.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/temp_dir.hpp"

namespace deskplay::simdesk {
namespace {

using platform::FolderChoice;

constexpr platform::ProcessId kDeskplay = 500;
constexpr platform::ProcessId kOther = 600;

class OpenPanelsTest : public ::testing::Test {
 protected:
  OpenPanelsTest() {
    for (const char* name : {"Games", "Art", ".hidden"}) {
      std::filesystem::create_directory(folder_.path() / name);
    }
    deskplay::testing::writeFile(folder_.path() / "notes.txt", "x");
    panels_.addAnswerListener(
        [this](const OpenPanel& panel, const std::optional<std::filesystem::path>& folder) {
          answers_.emplace_back(panel.id, folder);
        });
  }

  const OpenPanel& front() const {
    const OpenPanel* panel = panels_.shown();
    if (panel == nullptr) throw std::runtime_error("no open panel is shown");
    return *panel;
  }

  FolderChoice choice(std::string prompt = "Choose") {
    return {folder_.path(), std::move(prompt), FolderChoice::Creation::allowed};
  }

  deskplay::testing::TempDir folder_;
  Screens screens_;
  Applications applications_;
  WindowServer windows_{screens_, applications_};
  OpenPanels panels_{windows_, screens_};
  std::vector<std::pair<std::uint64_t, std::optional<std::filesystem::path>>> answers_;
};

TEST_F(OpenPanelsTest, APanelListsTheVisibleFoldersAndAnswersItsCaller) {
  const auto id = panels_.run(kDeskplay, choice());
  ASSERT_NE(panels_.shown(), nullptr);
  EXPECT_EQ(front().folders, (std::vector<std::string>{"Art", "Games"}));
  const SimWindow* window = windows_.window(front().window);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->onScreen());
  EXPECT_EQ(window->role, WindowRole::openPanel);

  EXPECT_FALSE(panels_.choose(folder_.path() / "notes.txt").ok());
  EXPECT_FALSE(panels_.choose("relative").ok());
  ASSERT_TRUE(panels_.choose(folder_.path() / "Games").ok());
  ASSERT_EQ(answers_.size(), 1u);
  EXPECT_EQ(answers_[0], std::make_pair(id, std::optional(folder_.path() / "Games")));
  EXPECT_EQ(windows_.window(window->number), nullptr);
  EXPECT_FALSE(panels_.cancel().ok()) << "no panel left to answer";
}

TEST_F(OpenPanelsTest, ThePersonSelectsARowAndPressesTheButtons) {
  panels_.run(kDeskplay, choice());
  const double secondRow = OpenPanels::kListTop + OpenPanels::kRowHeight * 1.5;
  panels_.click({100, secondRow});
  EXPECT_EQ(front().selected, 1u);
  panels_.click({OpenPanels::kChooseButton.minX() + 5, OpenPanels::kChooseButton.minY() + 5});
  ASSERT_EQ(answers_.size(), 1u);
  EXPECT_EQ(answers_[0].second, folder_.path() / "Games");

  panels_.run(kDeskplay, choice());
  panels_.click({OpenPanels::kCancelButton.minX() + 5, OpenPanels::kCancelButton.minY() + 5});
  ASSERT_EQ(answers_.size(), 2u);
  EXPECT_EQ(answers_[1].second, std::nullopt);
}

TEST_F(OpenPanelsTest, PanelsWaitTheirTurnAndGoWithTheirOwner) {
  panels_.run(kOther, choice("Other"));
  const auto ours = panels_.run(kDeskplay, choice("Ours"));
  EXPECT_EQ(panels_.waiting(), 2u);
  EXPECT_EQ(front().choice.prompt, "Other");
  const auto otherWindow = front().window;
  panels_.removeAllOf(kOther);
  EXPECT_EQ(windows_.window(otherWindow), nullptr);
  ASSERT_NE(panels_.shown(), nullptr);
  EXPECT_EQ(front().id, ours);
  EXPECT_NE(windows_.window(front().window), nullptr);
  EXPECT_TRUE(answers_.empty()) << "a panel whose owner went is answered to nobody";
  ASSERT_TRUE(panels_.cancel().ok());
  EXPECT_EQ(answers_.size(), 1u);
}

}  // namespace
}  // namespace deskplay::simdesk
