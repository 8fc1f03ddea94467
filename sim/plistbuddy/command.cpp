#include "command.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

#include "command_words.hpp"

namespace deskplay::plistbuddy {

namespace {

bool sameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<Verb> verbNamed(std::string_view word) {
  for (const Verb verb : {Verb::print, Verb::set, Verb::add}) {
    if (sameWord(word, verbName(verb))) return verb;
  }
  return std::nullopt;
}

std::optional<std::string> joinedFrom(const std::vector<std::string>& words, std::size_t first) {
  if (words.size() <= first) return std::nullopt;
  std::string joined = words[first];
  for (std::size_t i = first + 1; i < words.size(); ++i) joined += " " + words[i];
  return joined;
}

}  // namespace

std::string_view verbName(Verb verb) {
  switch (verb) {
    case Verb::print:
      return "Print";
    case Verb::set:
      return "Set";
    case Verb::add:
      return "Add";
  }
  return "";
}

Result<Command> parseCommand(std::string_view text) {
  const std::vector<std::string> words = splitCommandWords(text);
  const std::optional<Verb> verb = words.empty() ? std::nullopt : verbNamed(words[0]);
  if (!verb) return Error{"Unrecognized Command"};
  Command command;
  command.verb = *verb;
  if (words.size() > 1) command.entry = words[1];
  switch (*verb) {
    case Verb::print:
      if (words.size() > 2) return Error{"Invalid Arguments"};
      break;
    case Verb::set:
      command.value = joinedFrom(words, 2);
      if (!command.value) return Error{"Invalid Arguments"};
      break;
    case Verb::add:
      if (words.size() < 3) return Error{"Invalid Arguments"};
      command.type = words[2];
      command.value = joinedFrom(words, 3);
      break;
  }
  return command;
}

}  // namespace deskplay::plistbuddy
