#include "applescript/tokenizer.hpp"

#include <gtest/gtest.h>

namespace deskplay::applescript {
namespace {

using Kind = Token::Kind;

std::vector<Token> tokensOf(const std::string& source) {
  auto tokens = tokenize(source);
  EXPECT_TRUE(tokens.ok()) << source;
  return tokens.ok() ? tokens.value() : std::vector<Token>{};
}

TEST(Tokenizer, StringLiteralsResolveTheirEscapesAndKeepRawLineBreaks) {
  struct Case {
    std::string source;
    std::string text;
  };
  const std::vector<Case> cases = {
      {R"("plain")", "plain"},
      {R"("a \"quoted\" word")", "a \"quoted\" word"},
      {R"("back\\slash")", "back\\slash"},
      {R"("\n\t\r")", "\n\t\r"},
      {"\"two\nlines\"", "two\nlines"},
      {"\"r\xC3\xA9sum\xC3\xA9\"", "r\xC3\xA9sum\xC3\xA9"},
      {R"("")", ""},
      {R"("\\\"")", "\\\""},
  };
  for (const auto& [source, text] : cases) {
    const auto tokens = tokensOf(source);
    ASSERT_EQ(tokens.size(), 2U) << source;
    EXPECT_EQ(tokens[0].kind, Kind::string) << source;
    EXPECT_EQ(tokens[0].text, text) << source;
  }
}

TEST(Tokenizer, NumbersAreIntegersUntilTheyNeedToBeReals) {
  const auto tokens = tokensOf("0 72 536870911 536870912 1.5 2e3 .25");
  ASSERT_EQ(tokens.size(), 8U);
  EXPECT_EQ(tokens[0].kind, Kind::integer);
  EXPECT_EQ(tokens[1].integer, 72);
  EXPECT_EQ(tokens[2].kind, Kind::integer);
  EXPECT_EQ(tokens[3].kind, Kind::real);
  EXPECT_EQ(tokens[4].real, 1.5);
  EXPECT_EQ(tokens[5].kind, Kind::real);
  EXPECT_EQ(tokens[5].real, 2000.0);
  EXPECT_EQ(tokens[6].real, 0.25);
}

TEST(Tokenizer, CommentsAndContinuationsVanishLineBreaksStay) {
  const auto tokens =
      tokensOf("Get -- to the end\r\n# hash\n(* a (* nested *) block *)x \xC2\xAC\n  y\rz");
  std::vector<Kind> kinds;
  for (const Token& token : tokens) kinds.push_back(token.kind);
  const std::vector<Kind> expected = {Kind::word, Kind::endOfLine,  Kind::endOfLine,
                                      Kind::word, Kind::word,       Kind::endOfLine,
                                      Kind::word, Kind::endOfScript};
  EXPECT_EQ(kinds, expected);
  EXPECT_EQ(tokens[0].text, "get");
}

TEST(Tokenizer, SymbolsPossessivesAndUnknownCharacters) {
  const auto tokens = tokensOf("dock preferences's {1,-2}&\xE2\x89\xA0 ; x's");
  ASSERT_EQ(tokens.size(), 15U);
  EXPECT_EQ(tokens[2].kind, Kind::possessive);
  EXPECT_EQ(tokens[3].text, "{");
  EXPECT_EQ(tokens[6].text, "-");
  EXPECT_EQ(tokens[9].text, "&");
  EXPECT_EQ(tokens[10].text, "\xE2\x89\xA0");
  EXPECT_EQ(tokens[11].kind, Kind::unknown);
  EXPECT_EQ(tokens[12].text, "x");
  EXPECT_EQ(tokens[13].kind, Kind::possessive);
}

TEST(Tokenizer, UnfinishedLiteralsFailWithTheCompilersMessage) {
  struct Case {
    std::string source;
    std::string brief;
  };
  const std::vector<Case> cases = {
      {"\"open", "Expected \xE2\x80\x9C\"\xE2\x80\x9D but found end of script."},
      {"\"ends with a backslash\\", "Expected \xE2\x80\x9C\"\xE2\x80\x9D but found end of script."},
      {"\"bad \\x escape\"", "Expected \xE2\x80\x9C\"\xE2\x80\x9D but found unknown token."},
      {"(* open", "Expected \xE2\x80\x9C*)\xE2\x80\x9D but found end of script."},
  };
  for (const auto& [source, brief] : cases) {
    auto tokens = tokenize(source);
    ASSERT_FALSE(tokens.ok()) << source;
    EXPECT_EQ(tokens.error().number, -2741);
    EXPECT_EQ(tokens.error().brief, brief);
  }
}

}  // namespace
}  // namespace deskplay::applescript
