#include "core/catalog/catalog_dump.hpp"

#include <gtest/gtest.h>

#include "core/catalog/catalog_test_support.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

// A checkout whose path needs quoting, and a fake `node` first in PATH that records how it
// was called and then runs the test's scenario.
class CatalogDumpTest : public ::testing::Test {
 protected:
  CatalogDumpTest()
      : checkout_(dir_ / "it's a \"checkout\" $HOME"),
        environment_(testing::testEnvironment(dir_ / "home", dir_ / "run", dir_ / "bin")) {
    std::filesystem::create_directories(checkout_);
  }

  void fakeNode(const std::string& scenario) {
    testing::writeScript(
        dir_ / "bin" / "node",
        "{ pwd; printf '%s\\n' \"$@\"; } > '" + (dir_ / "call.txt").string() + "'\n" + scenario);
  }

  Result<QByteArray> dump() { return runCatalogDump("/bin/zsh", checkout_, environment_); }

  deskplay::testing::TempDir dir_;
  std::filesystem::path checkout_;
  QProcessEnvironment environment_;
};

TEST_F(CatalogDumpTest, CommandLineChangesIntoTheQuotedCheckout) {
  EXPECT_EQ(catalogDumpCommand("/src/it's"),
            "cd '/src/it'\\''s' && exec node --import tsx scripts/dump-catalog.ts");
}

TEST_F(CatalogDumpTest, RunsNodeInTheCheckoutAndReturnsItsOutput) {
  fakeNode("printf '[]\\n'; echo 'some warning' >&2\n");
  auto output = dump();
  ASSERT_TRUE(output.ok()) << output.message();
  EXPECT_EQ(output.value(), "[]\n");
  EXPECT_EQ(deskplay::testing::readFile(dir_ / "call.txt"),
            checkout_.string() + "\n--import\ntsx\nscripts/dump-catalog.ts\n");
}

TEST_F(CatalogDumpTest, BigOutputOnBothPipesInEitherOrderDoesNotStall) {
  // Far more than a pipe holds, first on one pipe and then on the other, both ways round.
  const std::string eightMiB = "head -c 8388608 /dev/zero | tr '\\0' ";
  for (const std::string& scenario :
       {eightMiB + "e >&2\n" + eightMiB + "o\n", eightMiB + "o\n" + eightMiB + "e >&2\n"}) {
    fakeNode(scenario);
    auto output = dump();
    ASSERT_TRUE(output.ok()) << output.message();
    EXPECT_EQ(output.value().size(), 8388608);
    EXPECT_EQ(output.value().count('o'), 8388608);
  }
}

struct FailureCase {
  const char* name;
  std::string scenario;
  std::string message;
};

class CatalogDumpFailureTest : public CatalogDumpTest,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CatalogDumpFailureTest, ReportsTheReason) {
  fakeNode(GetParam().scenario);
  auto output = dump();
  ASSERT_FALSE(output.ok());
  EXPECT_EQ(output.message(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CatalogDumpFailureTest,
    ::testing::Values(
        FailureCase{"LastLineOfErrors",
                    "echo '[]'; printf 'first line\\nError: no tsx  \\n\\n' >&2; exit 1\n",
                    "Catalog refresh failed: Error: no tsx"},
        FailureCase{"SilentExit", "exit 3\n", "Catalog refresh failed: exit 3"},
        FailureCase{"OnlyWhiteSpace", "printf ' \\n\\t\\n' >&2; exit 4\n",
                    "Catalog refresh failed: exit 4"},
        FailureCase{"ErrorsNotUtf8", "printf 'bad \\377\\n' >&2; exit 5\n",
                    "Catalog refresh failed: exit 5"},
        FailureCase{"KilledBySignal", "kill -9 $$\n", "Catalog refresh failed: exit 9"}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(CatalogDumpTest, MissingNodeFailsThroughTheShell) {
  environment_.insert("PATH", QString::fromStdString((dir_ / "bin").string()));
  auto output = dump();
  ASSERT_FALSE(output.ok());
  EXPECT_EQ(output.message(), "Catalog refresh failed: zsh:1: command not found: node");
}

TEST_F(CatalogDumpTest, ShellThatCannotStart) {
  auto output = runCatalogDump(dir_ / "no-such-zsh", checkout_, environment_);
  ASSERT_FALSE(output.ok());
  EXPECT_TRUE(output.message().starts_with("Catalog refresh failed to start: "))
      << output.message();
  EXPECT_GT(output.message().size(), std::string("Catalog refresh failed to start: ").size());
}

}  // namespace
}  // namespace deskplay::core
