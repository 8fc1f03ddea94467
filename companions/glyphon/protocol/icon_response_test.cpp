#include "protocol/icon_response.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "finder/testing/recording_glyphon_io.hpp"

namespace deskplay::glyphon {
namespace {

TEST(IconResponseTest, SuccessWithoutResultHasOnlyIdAndOk) {
  EXPECT_EQ(iconResponseLine("1", CommandAnswer::success()), R"(ICON:{"id":"1","ok":true})");
}

TEST(IconResponseTest, ResultCarriesOnlyItsPresentFields) {
  CommandResult result;
  result.iconSize = 64;
  EXPECT_EQ(iconResponseLine("7", CommandAnswer::success(result)),
            R"(ICON:{"id":"7","ok":true,"result":{"iconSize":64}})");

  CommandResult full;
  full.hasCustomIcon = true;
  full.data = "a/b";
  full.desktopLabelsVisible = false;
  full.gridSpacing = -3;
  full.iconSize = 128;
  full.gridArrangement = "name";
  const std::optional<std::string> line = iconResponseLine("x", CommandAnswer::success(full));
  ASSERT_TRUE(line.has_value());
  ASSERT_EQ(line->rfind("ICON:", 0), 0u);
  EXPECT_EQ(nlohmann::json::parse(line->substr(5)),
            nlohmann::json::parse(R"({"id":"x","ok":true,"result":{"hasCustomIcon":true,)"
                                  R"("data":"a/b","desktopLabelsVisible":false,"gridSpacing":-3,)"
                                  R"("iconSize":128,"gridArrangement":"name"}})"));
}

TEST(IconResponseTest, FailureCarriesTheErrorEscaped) {
  EXPECT_EQ(iconResponseLine("2", CommandAnswer::failure("bad \"path\"\nhere")),
            R"(ICON:{"id":"2","ok":false,"error":"bad \"path\"\nhere"})");
}

TEST(IconResponseTest, NothingIsPrintedForTextThatIsNotUtf8) {
  testing::RecordingOutput output;
  sendIconResponse(output, "3", CommandAnswer::failure("broken \xC3"));
  sendIconResponse(output, "\xFF", CommandAnswer::success());
  EXPECT_TRUE(output.lines().empty());

  sendIconResponse(output, "4", CommandAnswer::success());
  ASSERT_EQ(output.lines().size(), 1u);
  EXPECT_EQ(output.lines()[0].text, R"(ICON:{"id":"4","ok":true})");
  EXPECT_EQ(output.lines()[0].flush, OutputLines::Flush::now);
}

}  // namespace
}  // namespace deskplay::glyphon
