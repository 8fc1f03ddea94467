#include "core/basics/repo_root.hpp"

#include <gtest/gtest.h>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

// A bundle nine folders deep: root/a1/…/a8/Deskplay.app. Its parent is a8, its eighth
// ancestor a1 and its ninth the root.
class RepoRootTest : public ::testing::Test {
 protected:
  RepoRootTest() {
    std::filesystem::path folder = dir_.path();
    ancestors_.push_back(folder);
    for (int level = 1; level <= 8; ++level) {
      folder /= "a" + std::to_string(level);
      ancestors_.push_back(folder);
    }
    bundle_ = folder / "Deskplay.app";
    std::filesystem::create_directories(bundle_);
  }

  // 1 is the bundle's parent, 9 the root.
  std::filesystem::path ancestor(int generation) const {
    return ancestors_[static_cast<size_t>(9 - generation)];
  }
  void mark(int generation) const {
    testing::writeFile(ancestor(generation) / "pnpm-workspace.yaml", "packages: []\n");
  }

  testing::TempDir dir_;
  std::vector<std::filesystem::path> ancestors_;
  std::filesystem::path bundle_;
};

TEST_F(RepoRootTest, MarkerInTheParentMakesItTheCheckout) {
  mark(1);
  EXPECT_EQ(findRepoRoot(bundle_), ancestor(1));
}

TEST_F(RepoRootTest, NearestMarkedAncestorWins) {
  mark(3);
  mark(8);
  EXPECT_EQ(findRepoRoot(bundle_), ancestor(3));
  EXPECT_EQ(findRepoRoot(bundle_ / ""), ancestor(3));
}

TEST_F(RepoRootTest, EighthAncestorIsTheLastCandidate) {
  mark(8);
  EXPECT_EQ(findRepoRoot(bundle_), ancestor(8));
}

TEST_F(RepoRootTest, MarkerOnlyInTheNinthAncestorIsNotFound) {
  mark(9);
  EXPECT_EQ(findRepoRoot(bundle_), std::nullopt);
}

TEST_F(RepoRootTest, MarkerInsideTheBundleItselfDoesNotCount) {
  testing::writeFile(bundle_ / "pnpm-workspace.yaml", "");
  EXPECT_EQ(findRepoRoot(bundle_), std::nullopt);
}

}  // namespace
}  // namespace deskplay::core
