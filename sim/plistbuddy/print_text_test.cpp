#include "print_text.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include "plist_files/plist_file.hpp"

namespace deskplay::plistbuddy {
namespace {

struct PrintCase {
  const char* name;
  const char* xml;  // the root element of a plist
  const char* shown;
};

void PrintTo(const PrintCase& c, std::ostream* out) {
  *out << c.name;
}

class PrintText : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrintText, ShowsTheValueAsTheToolDoes) {
  const std::string document = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                               "<plist version=\"1.0\">" + GetParam().xml + "</plist>\n";
  const Result<plist::PlistDocument> parsed = plist::parsePlist(document);
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  EXPECT_EQ(printText(parsed.value().root.get()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PrintText,
    ::testing::Values(
        PrintCase{"String", "<string>none</string>", "none"},
        PrintCase{"StringWithBlanks", "<string> a  b </string>", " a  b "},
        PrintCase{"Integer", "<integer>42</integer>", "42"},
        PrintCase{"NegativeInteger", "<integer>-5</integer>", "-5"},
        PrintCase{"WholeReal", "<real>64</real>", "64"},
        PrintCase{"FractionalReal", "<real>54.25</real>", "54.25"},
        PrintCase{"SmallReal", "<real>0.1</real>", "0.1"},
        PrintCase{"NegativeReal", "<real>-1.5</real>", "-1.5"},
        PrintCase{"True", "<true/>", "true"}, PrintCase{"False", "<false/>", "false"},
        PrintCase{"Data", "<data>aGVsbG8=</data>", "hello"},
        PrintCase{"Date", "<date>2001-01-01T00:00:00Z</date>", "Mon Jan 01 00:00:00 UTC 2001"},
        PrintCase{"EmptyDict", "<dict/>", "Dict {\n}"},
        PrintCase{"EmptyArray", "<array/>", "Array {\n}"},
        PrintCase{"DictInFileOrder",
                  "<dict><key>b</key><integer>1</integer><key>a</key><string>x</string></dict>",
                  "Dict {\n    b = 1\n    a = x\n}"},
        PrintCase{"NestedDicts",
                  "<dict><key>DesktopViewSettings</key><dict><key>IconViewSettings</key><dict>"
                  "<key>gridSpacing</key><real>54</real><key>showItemInfo</key><false/>"
                  "</dict></dict><key>name</key><string>Finder</string></dict>",
                  "Dict {\n"
                  "    DesktopViewSettings = Dict {\n"
                  "        IconViewSettings = Dict {\n"
                  "            gridSpacing = 54\n"
                  "            showItemInfo = false\n"
                  "        }\n"
                  "    }\n"
                  "    name = Finder\n"
                  "}"},
        PrintCase{"ArrayOfMixedItems",
                  "<array><string>a</string><dict><key>k</key><integer>2</integer></dict>"
                  "<array/></array>",
                  "Array {\n"
                  "    a\n"
                  "    Dict {\n"
                  "        k = 2\n"
                  "    }\n"
                  "    Array {\n"
                  "    }\n"
                  "}"}),
    [](const ::testing::TestParamInfo<PrintCase>& param) { return param.param.name; });

}  // namespace
}  // namespace deskplay::plistbuddy
