#include "value_text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <sstream>

namespace deskplay::plistbuddy {
namespace {

// "<type>:<value>" read back with libplist's getters, independent of how Print shows it.
std::string described(plist_t node) {
  std::ostringstream out;
  switch (plist_get_node_type(node)) {
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      out << "integer:" << static_cast<int64_t>(value);
      break;
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      out << "real:" << value;
      break;
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      out << "bool:" << (value != 0 ? "true" : "false");
      break;
    }
    case PLIST_STRING: {
      char* text = nullptr;
      plist_get_string_val(node, &text);
      out << "string:" << text;
      std::free(text);
      break;
    }
    case PLIST_DICT:
      out << "dict:" << plist_dict_get_size(node);
      break;
    case PLIST_ARRAY:
      out << "array:" << plist_array_get_size(node);
      break;
    default:
      out << "other";
  }
  return out.str();
}

struct ValueCase {
  const char* type;
  std::optional<std::string> text;
  // What the new node holds, or the error message.
  const char* expected;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
  *out << c.type << " " << (c.text ? '"' + *c.text + '"' : std::string("(no value)"));
}

class NewValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NewValue, HoldsTheTextInItsTypeOrNamesWhatDoesNotFit) {
  const ValueCase& c = GetParam();
  const std::optional<EntryType> type = entryTypeNamed(c.type);
  ASSERT_TRUE(type.has_value());
  const Result<plist::PlistNode> value = newValue(*type, c.text);
  if (value.ok()) {
    EXPECT_EQ(described(value.value().get()), c.expected);
  } else {
    EXPECT_EQ(value.message(), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, NewValue,
    ::testing::Values(
        ValueCase{"string", "a b", "string:a b"}, ValueCase{"string", std::nullopt, "string:"},
        ValueCase{"integer", "80", "integer:80"}, ValueCase{"integer", "-5", "integer:-5"},
        ValueCase{"integer", "+7", "integer:7"}, ValueCase{"integer", std::nullopt, "integer:0"},
        ValueCase{"integer", "9223372036854775807", "integer:9223372036854775807"},
        ValueCase{"integer", "9223372036854775808", "Invalid Integer Value: 9223372036854775808"},
        ValueCase{"integer", "12abc", "Invalid Integer Value: 12abc"},
        ValueCase{"integer", "1.5", "Invalid Integer Value: 1.5"},
        ValueCase{"integer", "", "Invalid Integer Value: "},
        ValueCase{"integer", "+-3", "Invalid Integer Value: +-3"},
        ValueCase{"real", "64.0", "real:64"}, ValueCase{"real", "80", "real:80"},
        ValueCase{"real", "-0.25", "real:-0.25"}, ValueCase{"real", "1e3", "real:1000"},
        ValueCase{"real", "+2.5", "real:2.5"}, ValueCase{"real", std::nullopt, "real:0"},
        ValueCase{"real", "abc", "Invalid Real Value: abc"},
        ValueCase{"real", "64px", "Invalid Real Value: 64px"},
        ValueCase{"real", "nan", "Invalid Real Value: nan"},
        ValueCase{"real", "inf", "Invalid Real Value: inf"},
        ValueCase{"real", "1e999", "Invalid Real Value: 1e999"},
        ValueCase{"bool", "true", "bool:true"}, ValueCase{"bool", "YES", "bool:true"},
        ValueCase{"bool", "1", "bool:true"}, ValueCase{"bool", "False", "bool:false"},
        ValueCase{"bool", "no", "bool:false"}, ValueCase{"bool", std::nullopt, "bool:false"},
        ValueCase{"bool", "maybe", "Invalid Bool Value: maybe"},
        ValueCase{"dict", "ignored", "dict:0"}, ValueCase{"DICT", std::nullopt, "dict:0"},
        ValueCase{"array", std::nullopt, "array:0"}));

TEST(EntryTypeNamed, KnowsOnlyTheTypesAddCreates) {
  EXPECT_EQ(entryTypeNamed("Bool"), EntryType::boolean);
  EXPECT_EQ(entryTypeNamed("boolean"), std::nullopt);
  EXPECT_EQ(entryTypeNamed("float"), std::nullopt);
  EXPECT_EQ(entryTypeNamed("date"), std::nullopt);
  EXPECT_EQ(entryTypeNamed(""), std::nullopt);
}

TEST(AssignValue, KeepsTheTypeAndLeavesTheValueAloneWhenTheTextDoesNotFit) {
  plist::PlistNode real(plist_new_real(54.0));
  ASSERT_TRUE(assignValue(real.get(), "80").ok());
  EXPECT_EQ(described(real.get()), "real:80");
  EXPECT_FALSE(assignValue(real.get(), "wide").ok());
  EXPECT_EQ(described(real.get()), "real:80");

  plist::PlistNode data(plist_new_data("old", 3));
  ASSERT_TRUE(assignValue(data.get(), "new bytes").ok());
  char* bytes = nullptr;
  uint64_t length = 0;
  plist_get_data_val(data.get(), &bytes, &length);
  EXPECT_EQ(std::string(bytes, length), "new bytes");
  std::free(bytes);

  plist::PlistNode date(plist_new_date(0, 0));
  EXPECT_FALSE(assignValue(date.get(), "now").ok());
}

}  // namespace
}  // namespace deskplay::plistbuddy
