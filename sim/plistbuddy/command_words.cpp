#include "command_words.hpp"

namespace deskplay::plistbuddy {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::vector<std::string> splitCommandWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = '\0';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != '\0') {
      if (c == quote) {
        quote = '\0';
      } else if (c == '\\' && quote == '"' && i + 1 < text.size()) {
        word += text[++i];
      } else {
        word += c;
      }
    } else if (isBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '\\' && i + 1 < text.size()) {
        word += text[++i];
      } else {
        word += c;
      }
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace deskplay::plistbuddy
