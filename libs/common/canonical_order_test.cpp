#include "common/canonical_order.hpp"

#include <gtest/gtest.h>

namespace deskplay {
namespace {

const std::string kComposedE = "caf\xC3\xA9";     // é as one scalar
const std::string kDecomposedE = "cafe\xCC\x81";  // e + combining acute

TEST(CanonicalOrder, ComposesDecomposedText) {
  EXPECT_EQ(canonicalComposedForm(kDecomposedE), kComposedE);
  EXPECT_EQ(canonicalComposedForm("plain"), "plain");
}

TEST(CanonicalOrder, SortsByScalarValuesOfComposedForms) {
  // Decomposed, "cafe\u0301" would sort before "cafeteria" byte-wise; composed, é (U+00E9)
  // sorts after every ASCII letter.
  std::vector<std::string> names = {kDecomposedE, "cafeteria", ".hidden", "Zebra", "apple"};
  sortByCanonicalForm(names);
  EXPECT_EQ(names,
            (std::vector<std::string>{".hidden", "Zebra", "apple", "cafeteria", kDecomposedE}));
}

TEST(CanonicalOrder, EquivalentSpellingsSortTogether) {
  std::vector<std::string> names = {kComposedE, "cafz", kDecomposedE, "cafa"};
  sortByCanonicalForm(names);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "cafa");
  EXPECT_EQ(names[1], "cafz");
  EXPECT_EQ(canonicalComposedForm(names[2]), kComposedE);
  EXPECT_EQ(canonicalComposedForm(names[3]), kComposedE);
}

TEST(CanonicalOrder, InvalidUtf8ComesBackUnchanged) {
  EXPECT_EQ(canonicalComposedForm("bad\xFF"), "bad\xFF");
}

}  // namespace
}  // namespace deskplay
