#include "motion/position_motion.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace deskplay::glyphon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The core with callbacks that record every batch and every receipt, and a write that fails
// on demand.
class PositionMotionTest : public ::testing::Test {
 protected:
  PositionMotion motion{[this](const std::vector<MotionWrite>& writes) -> Status {
                          batches.push_back(writes);
                          if (duringWrite) duringWrite();
                          if (failingWrites) return Error{"Finder got confused"};
                          return Status::success();
                        },
                        [this](const MotionReceipt& receipt) { receipts.push_back(receipt); }};
  std::vector<std::vector<MotionWrite>> batches;
  std::vector<MotionReceipt> receipts;
  bool failingWrites = false;
  std::function<void()> duringWrite;

  void seedAt(const std::string& path, MotionPoint point) {
    ASSERT_TRUE(motion.seed(path, point).ok());
  }
};

struct EasingCase {
  std::string easing;
  double elapsed;
  double fraction;
};

class EasingTest : public PositionMotionTest, public ::testing::WithParamInterface<EasingCase> {};

TEST_P(EasingTest, WritesTheEasedShareOfTheWay) {
  const EasingCase& easing = GetParam();
  seedAt("/d/a", {100, 40});
  ASSERT_TRUE(motion.animate({{"/d/a", {300, 440}}}, 1000, 250, easing.easing, false).ok());
  ASSERT_TRUE(motion.tick(1000 + easing.elapsed).ok());

  ASSERT_EQ(batches.size(), 1u);
  ASSERT_EQ(batches[0].size(), 1u);
  EXPECT_DOUBLE_EQ(batches[0][0].position.x, 100 + 200 * easing.fraction);
  EXPECT_DOUBLE_EQ(batches[0][0].position.y, 40 + 400 * easing.fraction);
  EXPECT_TRUE(receipts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Easings, EasingTest,
    ::testing::Values(EasingCase{"linear", 125, 0.5}, EasingCase{"easeInOut", 125, 0.5},
                      EasingCase{"easeOut", 125, 0.875}, EasingCase{"linear", 62.5, 0.25},
                      EasingCase{"easeInOut", 62.5, 0.15625}, EasingCase{"easeOut", 62.5, 0.578125},
                      // Any other name eases out.
                      EasingCase{"bounce", 125, 0.875}),
    [](const auto& testCase) {
      return testCase.param.easing + "_" +
             std::to_string(static_cast<int>(testCase.param.elapsed * 10));
    });

TEST_F(PositionMotionTest, EndsAtTheTargetAndCompletesWhenTheDurationIsOver) {
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {10, 20}}}, 0, 100, "easeOut", false).ok());
  ASSERT_TRUE(motion.tick(99).ok());
  EXPECT_TRUE(receipts.empty());
  ASSERT_TRUE(motion.tick(100).ok());

  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[1], (std::vector<MotionWrite>{{"/d/a", 1, {10, 20}}}));
  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "completed", {10, 20}}}));
  EXPECT_FALSE(motion.hasTracks());

  ASSERT_TRUE(motion.tick(150).ok());
  EXPECT_EQ(batches.size(), 2u) << "a tick with nothing to move writes nothing";
}

TEST_F(PositionMotionTest, WritesAllTracksInOneBatchSortedByPathAndReceiptsInThatOrder) {
  for (const char* path : {"/d/c", "/d/a", "/d/B", "/d/\xc3\xa9"}) seedAt(path, {0, 0});
  ASSERT_TRUE(
      motion
          .animate({{"/d/c", {1, 1}}, {"/d/a", {2, 2}}, {"/d/\xc3\xa9", {3, 3}}, {"/d/B", {4, 4}}},
                   5, 0)
          .ok());

  ASSERT_EQ(batches.size(), 1u);
  std::vector<std::string> written;
  for (const MotionWrite& write : batches[0]) written.push_back(write.path);
  EXPECT_EQ(written, (std::vector<std::string>{"/d/B", "/d/a", "/d/c", "/d/\xc3\xa9"}));
  std::vector<std::string> received;
  for (const MotionReceipt& receipt : receipts) received.push_back(receipt.path);
  EXPECT_EQ(received, written);
}

TEST_F(PositionMotionTest, AZeroDurationWaitsForATickUnlessAutoTicked) {
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {7, 8}}}, 0, -0.0, "linear", false).ok());
  EXPECT_TRUE(batches.empty());
  ASSERT_TRUE(motion.tick(0).ok());
  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "completed", {7, 8}}}));
}

TEST_F(PositionMotionTest, ANewTrackSupersedesTheRunningOneFromWhereItIs) {
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {100, 0}}}, 0, 100, "linear", false).ok());
  ASSERT_TRUE(motion.tick(50).ok());
  ASSERT_TRUE(motion.animate({{"/d/a", {50, 100}}}, 50, 100, "linear", false).ok());

  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "superseded", {50, 0}}}));
  ASSERT_TRUE(motion.tick(100).ok());
  EXPECT_EQ(batches.back(), (std::vector<MotionWrite>{{"/d/a", 2, {50, 50}}}));
}

TEST_F(PositionMotionTest, GenerationsKeepGrowingAcrossCompletedTracks) {
  seedAt("/d/a", {0, 0});
  EXPECT_EQ(motion.nextGeneration("/d/a"), 1);
  ASSERT_TRUE(motion.animate({{"/d/a", {1, 1}}}, 0, 0).ok());
  ASSERT_TRUE(motion.animate({{"/d/a", {2, 2}}}, 0, 0).ok());
  EXPECT_EQ(motion.nextGeneration("/d/a"), 3);
  EXPECT_EQ(motion.nextGeneration("/d/other"), 1);
  ASSERT_EQ(receipts.size(), 2u);
  EXPECT_EQ(receipts[1].generation, 2);
}

TEST_F(PositionMotionTest, CancelEndsARunningTrackAndIgnoresAnIdlePath) {
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {100, 0}}}, 0, 100, "linear", false).ok());
  ASSERT_TRUE(motion.tick(25).ok());

  motion.cancel("/d/a");
  motion.cancel("/d/a", "superseded");
  motion.cancel("/d/never");

  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "cancelled", {25, 0}}}));
  ASSERT_TRUE(motion.tick(50).ok());
  EXPECT_EQ(batches.size(), 1u);
}

TEST_F(PositionMotionTest, AFailedWriteEndsTheBatchWithTheLastWrittenPositionsAndForgetsThem) {
  seedAt("/d/a", {0, 0});
  seedAt("/d/b", {10, 10});
  ASSERT_TRUE(motion.animate({{"/d/a", {100, 0}}, {"/d/b", {10, 110}}}, 0, 100, "linear").ok());
  ASSERT_TRUE(motion.tick(50).ok());
  failingWrites = true;

  const Status ticked = motion.tick(75);

  ASSERT_FALSE(ticked.ok());
  EXPECT_EQ(ticked.message(), "Finder got confused");
  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "failed", {50, 0}},
                                                  {"/d/b", 1, "failed", {10, 60}}}));
  EXPECT_FALSE(motion.hasTracks());
  EXPECT_EQ(motion.position("/d/a"), nullptr);
  EXPECT_EQ(motion.animate({{"/d/a", {1, 1}}}, 80, 0).message(), "invalidTarget")
      << "a failed path is unplaced until seeded again";
  failingWrites = false;
  seedAt("/d/a", {5, 5});
  EXPECT_TRUE(motion.animate({{"/d/a", {1, 1}}}, 80, 0).ok());
}

TEST_F(PositionMotionTest, ATrackEndedWhileItsBatchIsOutIsNotCompletedAgain) {
  seedAt("/d/a", {0, 0});
  seedAt("/d/b", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {1, 1}}, {"/d/b", {2, 2}}}, 0, 0, "easeOut", false).ok());
  duringWrite = [this] { motion.cancel("/d/a"); };

  ASSERT_TRUE(motion.tick(0).ok());

  EXPECT_EQ(receipts, (std::vector<MotionReceipt>{{"/d/a", 1, "cancelled", {0, 0}},
                                                  {"/d/b", 1, "completed", {2, 2}}}));
  EXPECT_EQ(*motion.position("/d/a"), (MotionPoint{1, 1}));
}

TEST_F(PositionMotionTest, TimeNeverGoesBackwards) {
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {100, 0}}}, 1000, 100, "linear", false).ok());

  EXPECT_EQ(motion.tick(999).message(), "invalidTime");
  EXPECT_EQ(motion.tick(kNaN).message(), "invalidTime");
  EXPECT_EQ(motion.tick(kInfinity).message(), "invalidTime");
  EXPECT_EQ(motion.animate({{"/d/a", {5, 5}}}, 999, 0).message(), "invalidTime");
  EXPECT_TRUE(batches.empty());
  EXPECT_TRUE(receipts.empty()) << "a refused animation supersedes nothing";
  EXPECT_TRUE(motion.tick(1000).ok()) << "the same time again is fine";
}

struct RefusedAnimation {
  std::string name;
  std::vector<MotionTarget> targets;
  double duration;
};

class RefusedAnimationTest : public PositionMotionTest,
                             public ::testing::WithParamInterface<RefusedAnimation> {};

TEST_P(RefusedAnimationTest, FailsAsAnInvalidTargetAndChangesNothing) {
  seedAt("/d/a", {0, 0});
  seedAt("/d/b", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {9, 9}}}, 100, 1000, "linear", false).ok());

  EXPECT_EQ(motion.animate(GetParam().targets, 200, GetParam().duration).message(),
            "invalidTarget");

  EXPECT_TRUE(receipts.empty());
  EXPECT_EQ(motion.trackCount(), 1u);
  EXPECT_TRUE(motion.tick(150).ok()) << "the refused call did not move time on";
}

INSTANTIATE_TEST_SUITE_P(
    Animations, RefusedAnimationTest,
    ::testing::Values(
        RefusedAnimation{"NoTargets", {}, 0},
        RefusedAnimation{"NegativeDuration", {{"/d/a", {1, 1}}}, -1},
        RefusedAnimation{"InfiniteDuration", {{"/d/a", {1, 1}}}, kInfinity},
        RefusedAnimation{"NaNDuration", {{"/d/a", {1, 1}}}, kNaN},
        RefusedAnimation{
            "TwiceTheSamePath", {{"/d/b", {1, 1}}, {"/d/a", {2, 2}}, {"/d/b", {3, 3}}}, 0},
        RefusedAnimation{"UnseededPath", {{"/d/a", {1, 1}}, {"/d/unseeded", {1, 1}}}, 0},
        RefusedAnimation{"NonFiniteTarget", {{"/d/a", {1, kInfinity}}}, 0}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(PositionMotionTest, SeedRefusesEmptyPathsBadPointsAndAnimatingPaths) {
  EXPECT_EQ(motion.seed("", {1, 1}).message(), "invalidTarget");
  EXPECT_EQ(motion.seed("/d/a", {kNaN, 1}).message(), "invalidTarget");
  EXPECT_EQ(motion.seed("/d/a", {1, -kInfinity}).message(), "invalidTarget");
  seedAt("/d/a", {0, 0});
  ASSERT_TRUE(motion.animate({{"/d/a", {9, 9}}}, 0, 100, "linear", false).ok());
  EXPECT_EQ(motion.seed("/d/a", {1, 1}).message(), "invalidTarget");
  EXPECT_EQ(*motion.position("/d/a"), (MotionPoint{0, 0}));
}

}  // namespace
}  // namespace deskplay::glyphon
