#include <gtest/gtest.h>

#include "platform/sim/sim_accessibility.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/testing/stand_in_simdesk.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using nlohmann::json;
namespace requests = simdesk::protocol::requests;

TEST(SimAccessibilityReplyTest, AnAnswerAboutAnotherElementReadsAsMissing) {
  testing::TempDir dir;
  simdesk::testing::StandInSimdesk simdesk(dir / "s.sock", [](const json& request) -> json {
    if (request["type"] != requests::axElement) return json::object();
    const std::uint64_t other = request["element"].get<std::uint64_t>() + 1;
    return {
        {"element", {{"element", other}, {"pid", 77}, {"attributes", {{"AXRole", "AXImage"}}}}}};
  });
  simdesk::protocol::Connection connection({dir / "s.sock", "Glyphon", 4321});
  SimAccessibility accessibility(connection);

  EXPECT_TRUE(std::holds_alternative<std::monostate>(accessibility.attribute({5}, kAXRole)));
  EXPECT_EQ(accessibility.processOf({5}), std::nullopt);
}

}  // namespace
}  // namespace deskplay::platform
