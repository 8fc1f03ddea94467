// Every symbol name the screens' QML spells out is in the symbol table, so none draws blank.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {
namespace {

// Symbol names appear as `symbol: "name"` or as Symbols.text("name") / Symbols.meaning("name").
std::map<std::string, std::string> symbolNamesInQml() {
  const std::regex use(R"re((?:\bsymbol:\s*|Symbols\.(?:text|meaning)\(\s*)"([^"]*)")re");
  std::map<std::string, std::string> names;  // name → a file that uses it
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(DESKPLAY_POPOVER_QML_DIR)) {
    if (entry.path().extension() != ".qml") continue;
    std::ifstream file(entry.path());
    std::stringstream text;
    text << file.rdbuf();
    const std::string qml = text.str();
    for (auto it = std::sregex_iterator(qml.begin(), qml.end(), use); it != std::sregex_iterator();
         ++it) {
      names.emplace((*it)[1], entry.path().filename().string());
    }
  }
  return names;
}

TEST(QmlSymbols, EveryNameTheScreensUseIsInTheTable) {
  const auto names = symbolNamesInQml();
  ASSERT_TRUE(names.contains("gamecontroller.fill")) << "the QML files could not be read";
  for (const auto& [name, file] : names) {
    EXPECT_TRUE(systemSymbol(name).ok()) << '"' << name << "\" in " << file;
  }
}

}  // namespace
}  // namespace deskplay::ui
