#include "file_icons/base64.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::glyphon {
namespace {

std::vector<unsigned char> bytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

struct Encoded {
  std::string plain;
  std::string base64;
};

void PrintTo(const Encoded& encoded, std::ostream* out) {
  *out << '"' << encoded.base64 << '"';
}

class Base64Vector : public ::testing::TestWithParam<Encoded> {};

TEST_P(Base64Vector, EncodesAndDecodesBothWays) {
  EXPECT_EQ(encodeBase64(bytesOf(GetParam().plain)), GetParam().base64);
  EXPECT_EQ(decodeBase64(GetParam().base64), bytesOf(GetParam().plain));
}

INSTANTIATE_TEST_SUITE_P(Rfc4648, Base64Vector,
                         ::testing::Values(Encoded{"", ""}, Encoded{"f", "Zg=="},
                                           Encoded{"fo", "Zm8="}, Encoded{"foo", "Zm9v"},
                                           Encoded{"foob", "Zm9vYg=="},
                                           Encoded{"fooba", "Zm9vYmE="},
                                           Encoded{"foobar", "Zm9vYmFy"},
                                           Encoded{"\xFB\xFF\xBF", "+/+/"}));

TEST(Base64, EveryByteValueSurvivesARoundTrip) {
  std::vector<unsigned char> bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<unsigned char>(value));
  const std::string text = encodeBase64(bytes);
  EXPECT_EQ(
      text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
      std::string::npos);
  EXPECT_EQ(decodeBase64(text), bytes);
}

class NotBase64 : public ::testing::TestWithParam<std::string> {};

TEST_P(NotBase64, DecodesToNothing) {
  EXPECT_EQ(decodeBase64(GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, NotBase64,
                         ::testing::Values("not base64!", "Zg", "Zg=", "Zm9vY",
                                           "Z===", "====", "=Zg=", "Zg==Zg==", "Zm9vY=g=", "Zm9v\n",
                                           " Zm9v", "Zm9v ", "Zm\r\n9v", "Zm-v", "Zm_v",
                                           "Zm9v\xC3\xA9==", std::string("Zm\0v", 4)));

}  // namespace
}  // namespace deskplay::glyphon
