#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace deskplay::applescript {

// What a word (or run of words) means to the compiler.
enum class TermKind {
  keyword,       // the language's own words: tell, set, of, whose, true, missing value…
  command,       // count, exists, activate, quit, close, update
  typeClass,     // coercion targets: text, integer, alias…
  property,      // an application's property: icon size, desktop position…
  elementClass,  // an application's element class: item, window, process…
  constant,      // an application's enumerated constant: snap to grid, bottom…
};

struct Term {
  TermKind kind = TermKind::keyword;
  std::string_view name;      // canonical spelling, lower case except where the dictionary says
  std::string_view code;      // four-character code
  bool plural = false;        // "items": every item
  bool alsoProperty = false;  // Finder's `window` is both a property and an element class
};

// One terminology: the language's own, or an application's dictionary.
class Dictionary {
 public:
  void add(std::string_view phrase, Term term);
  // `phrase` is lower-case words joined by single spaces.
  const Term* find(std::string_view phrase) const;
  // How many words the longest phrase starting with `word` has (1 when none does).
  int longestPhraseFrom(std::string_view word) const;

 private:
  std::unordered_map<std::string_view, Term> terms_;
  std::unordered_map<std::string_view, int> longestFrom_;
};

const Dictionary& languageTerms();
// The dictionary of a scriptable application this subset knows (Finder, System Events),
// matched without regard to case; nullptr otherwise.
const Dictionary* applicationTerms(std::string_view applicationName);
// The application's own spelling of its name ("Finder" for "finder"); empty when unknown.
std::string_view canonicalApplicationName(std::string_view applicationName);

}  // namespace deskplay::applescript
