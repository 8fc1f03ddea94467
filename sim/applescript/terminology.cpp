#include "terminology.hpp"

#include <algorithm>
#include <array>

namespace deskplay::applescript {

void Dictionary::add(std::string_view phrase, Term term) {
  terms_.insert_or_assign(phrase, term);
  const auto words = static_cast<int>(std::count(phrase.begin(), phrase.end(), ' ')) + 1;
  int& longest = longestFrom_[phrase.substr(0, phrase.find(' '))];
  longest = std::max(longest, words);
}

int Dictionary::longestPhraseFrom(std::string_view word) const {
  const auto found = longestFrom_.find(word);
  return found == longestFrom_.end() ? 1 : found->second;
}

const Term* Dictionary::find(std::string_view phrase) const {
  const auto found = terms_.find(phrase);
  return found == terms_.end() ? nullptr : &found->second;
}

namespace {

// Phrases are looked up in lower case; `name` keeps the dictionary's spelling.
void addClass(Dictionary& dictionary, std::string_view singular, std::string_view plural,
              std::string_view code, bool alsoProperty = false, std::string_view name = {}) {
  const std::string_view spelled = name.empty() ? singular : name;
  dictionary.add(singular, {TermKind::elementClass, spelled, code, false, alsoProperty});
  dictionary.add(plural, {TermKind::elementClass, spelled, code, true, false});
}

void addProperty(Dictionary& dictionary, std::string_view name, std::string_view code) {
  dictionary.add(name, {TermKind::property, name, code});
}

void addConstant(Dictionary& dictionary, std::string_view name, std::string_view code) {
  dictionary.add(name, {TermKind::constant, name, code});
}

Dictionary makeLanguageTerms() {
  Dictionary terms;
  for (const std::string_view word :
       {"tell",    "to",    "end",           "set",         "get",    "of",         "in",
        "as",      "the",   "its",           "it",          "whose",  "where",      "every",
        "and",     "or",    "not",           "is",          "equal",  "equals",     "contains",
        "contain", "does",  "return",        "try",         "on",     "error",      "number",
        "true",    "false", "missing value", "application", "app",    "posix file", "file",
        "alias",   "date",  "first",         "last",        "front",  "back",       "named",
        "index",   "if",    "then",          "else",        "repeat", "with",       "without",
        "my",      "me",    "than",          "greater",     "less",   "from",       "by",
        "given",   "into",  "copy"}) {
    terms.add(word, {TermKind::keyword, word, {}});
  }
  for (const std::string_view command :
       {"count", "exists", "activate", "quit", "close", "update"}) {
    terms.add(command, {TermKind::command, command, {}});
  }
  terms.add("exist", {TermKind::command, "exists", {}});
  const std::array<std::pair<std::string_view, std::string_view>, 10> types{{
      {"text", "ctxt"},
      {"string", "TEXT"},
      {"unicode text", "utxt"},
      {"integer", "long"},
      {"real", "doub"},
      {"number", "nmbr"},
      {"boolean", "bool"},
      {"list", "list"},
      {"record", "reco"},
      {"class", "pcls"},
  }};
  for (const auto& [name, code] : types) terms.add(name, {TermKind::typeClass, name, code});
  return terms;
}

// Finder's terms that scripts driving the desktop use.
Dictionary makeFinderTerms() {
  Dictionary finder;
  addClass(finder, "item", "items", "cobj");
  addClass(finder, "file", "files", "file");
  addClass(finder, "document file", "document files", "docf");
  addClass(finder, "folder", "folders", "cfol");
  addClass(finder, "container", "containers", "ctnr");
  addClass(finder, "disk", "disks", "cdis");
  addClass(finder, "window", "windows", "cwin", true);
  addClass(finder, "finder window", "finder windows", "brow", false, "Finder window");
  for (const auto& [name, code] : std::array<std::pair<std::string_view, std::string_view>, 21>{{
           {"desktop", "desk"},
           {"startup disk", "sdsk"},
           {"home", "home"},
           {"icon view options", "icop"},
           {"container window", "cwnd"},
           {"desktop position", "dpos"},
           {"position", "posn"},
           {"label index", "labi"},
           {"comment", "comt"},
           {"extension hidden", "hidx"},
           {"name", "pnam"},
           {"displayed name", "dnam"},
           {"name extension", "nmxt"},
           {"kind", "kind"},
           {"icon size", "lvis"},
           {"text size", "fsze"},
           {"label position", "lpos"},
           {"arrangement", "iarr"},
           {"shows item info", "shii"},
           {"shows icon preview", "prvw"},
           {"visible", "pvis"},
       }}) {
    addProperty(finder, name, code);
  }
  addProperty(finder, "frontmost", "pisf");
  for (const auto& [name, code] : std::array<std::pair<std::string_view, std::string_view>, 10>{{
           {"not arranged", "narr"},
           {"snap to grid", "grda"},
           {"arranged by name", "nam "},
           {"arranged by modification date", "mdat"},
           {"arranged by creation date", "cdat"},
           {"arranged by size", "ptsz"},
           {"arranged by kind", "kind"},
           {"arranged by label", "labi"},
           {"bottom", "lbot"},
           {"right", "lrgt"},
       }}) {
    addConstant(finder, name, code);
  }
  return finder;
}

// System Events' terms for the Dock, the menu bar, the desktop picture and processes.
Dictionary makeSystemEventsTerms() {
  Dictionary events;
  addClass(events, "process", "processes", "prcs");
  addClass(events, "application process", "application processes", "pcap");
  addClass(events, "desktop", "desktops", "dskp");
  for (const auto& [name, code] : std::array<std::pair<std::string_view, std::string_view>, 10>{{
           {"dock preferences", "dpas"},
           {"autohide", "dahd"},
           {"autohide menu bar", "dahm"},
           {"current desktop", "curd"},
           {"picture", "picP"},
           {"visible", "pvis"},
           {"name", "pnam"},
           {"frontmost", "pisf"},
           {"bundle identifier", "bnid"},
           {"displayed name", "dnam"},
       }}) {
    addProperty(events, name, code);
  }
  return events;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

const Dictionary& languageTerms() {
  static const Dictionary terms = makeLanguageTerms();
  return terms;
}

std::string_view canonicalApplicationName(std::string_view applicationName) {
  for (const std::string_view known : {"Finder", "System Events"}) {
    if (equalIgnoringCase(applicationName, known)) return known;
  }
  return {};
}

const Dictionary* applicationTerms(std::string_view applicationName) {
  static const Dictionary finder = makeFinderTerms();
  static const Dictionary systemEvents = makeSystemEventsTerms();
  const auto name = canonicalApplicationName(applicationName);
  if (name == "Finder") return &finder;
  if (name == "System Events") return &systemEvents;
  return nullptr;
}

}  // namespace deskplay::applescript
