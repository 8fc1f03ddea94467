#include "finder/arrangement.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::glyphon {
namespace {

struct Mapped {
  std::string input;
  std::string preference;
  ScriptArrangement script;
};

void PrintTo(const Mapped& mapped, std::ostream* out) {
  *out << '"' << mapped.input << '"';
}

class ArrangementMapping : public ::testing::TestWithParam<Mapped> {};

TEST_P(ArrangementMapping, GivesThePreferenceAndTheScriptArrangement) {
  EXPECT_EQ(arrangeByPreference(GetParam().input), GetParam().preference);
  EXPECT_EQ(scriptArrangement(GetParam().input), GetParam().script);
}

constexpr ScriptArrangement kSnap{"snap to grid", "snap to grid"};
constexpr ScriptArrangement kNotArranged{"not arranged", "not arranged"};
constexpr ScriptArrangement kName{"name", "arranged by name"};
constexpr ScriptArrangement kKind{"kind", "arranged by kind"};
constexpr ScriptArrangement kDate{"date modified", "arranged by modification date"};

INSTANTIATE_TEST_SUITE_P(
    Inputs, ArrangementMapping,
    ::testing::Values(Mapped{"snap", "grid", kSnap}, Mapped{"Snap To Grid", "grid", kSnap},
                      Mapped{"not arranged", "none", kNotArranged},
                      // "none" leaves the preference unarranged but the script snaps.
                      Mapped{"none", "none", kSnap}, Mapped{" NONE\n", "none", kSnap},
                      Mapped{"By Name", "name", kName}, Mapped{"kind", "kind", kKind},
                      Mapped{"date", "dateModified", kDate},
                      Mapped{"Date Modified", "dateModified", kDate},
                      // The earlier word wins: "not" before "name".
                      Mapped{"not by name", "none", kNotArranged},
                      Mapped{"snap by name", "grid", kSnap}, Mapped{"none by kind", "none", kKind},
                      Mapped{"", "none", kSnap}, Mapped{"size", "none", kSnap}));

TEST(ArrangementScript, SetsTheFinderConstantUnquoted) {
  EXPECT_EQ(setArrangementScript(kDate),
            "tell application \"Finder\" to set arrangement of icon view options of container "
            "window of desktop to arranged by modification date");
}

}  // namespace
}  // namespace deskplay::glyphon
