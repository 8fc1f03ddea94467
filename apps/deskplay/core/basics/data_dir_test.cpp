#include "core/basics/data_dir.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

using platform::PreferenceValue;

struct DataDirCase {
  const char* name;
  std::optional<PreferenceValue> stored;
  std::string expected;
};

class DataDirTest : public ::testing::TestWithParam<DataDirCase> {};

TEST_P(DataDirTest, ResolvesTheStoredFolderOrTheDefault) {
  platform::testing::FakePreferences preferences;
  if (GetParam().stored) {
    ASSERT_TRUE(preferences.setValue(kDataDirKey, *GetParam().stored).ok());
  }
  const AppPaths paths{"/home/u", "/tmp", "/b/Deskplay.app"};
  EXPECT_EQ(resolvedDataDirPath(preferences, paths), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataDirTest,
    ::testing::Values(DataDirCase{"Absent", std::nullopt, "/home/u/Documents/Deskplay"},
                      DataDirCase{"Empty", PreferenceValue(""), "/home/u/Documents/Deskplay"},
                      DataDirCase{"Set", PreferenceValue("/data/saves"), "/data/saves"},
                      // Used unchanged, even when it is only white space or relative.
                      DataDirCase{"Unchanged", PreferenceValue(" saves/ "), " saves/ "},
                      DataDirCase{"NotAString", PreferenceValue(true),
                                  "/home/u/Documents/Deskplay"}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
}  // namespace deskplay::core
