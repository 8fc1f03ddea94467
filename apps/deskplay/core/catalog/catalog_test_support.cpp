#include "core/catalog/catalog_test_support.hpp"

#include <nlohmann/json.hpp>

#include "support/temp_dir.hpp"

namespace deskplay::core::testing {

std::string gameJson(const std::string& id, const std::string& name, const std::string& section,
                     std::optional<int> order) {
  nlohmann::json record = {{"id", id},
                           {"name", name},
                           {"entryFile", id + "/main.ts"},
                           {"section", section},
                           {"launch", "solo"},
                           {"controls", nlohmann::json::array({{"Space", "Jump"}})},
                           {"card", {{"gradient", {"#000000"}}, {"glyph", {"#"}}}}};
  if (order) record["order"] = *order;
  return record.dump();
}

QProcessEnvironment testEnvironment(const std::filesystem::path& home,
                                    const std::filesystem::path& runtime,
                                    const std::filesystem::path& fakeTools) {
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(runtime);
  // An empty start-up file keeps the interactive shell from offering its first-run setup.
  deskplay::testing::writeFile(home / ".zshrc", "");
  QProcessEnvironment environment;
  environment.insert("HOME", QString::fromStdString(home.string()));
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
  environment.insert("TMPDIR", QString::fromStdString(runtime.string()));
  environment.insert("PATH", QString::fromStdString(fakeTools.string()) + ":/usr/bin:/bin");
  return environment;
}

void writeScript(const std::filesystem::path& path, const std::string& body) {
  std::filesystem::create_directories(path.parent_path());
  deskplay::testing::writeFile(path, "#!/bin/sh\n" + body);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

}  // namespace deskplay::core::testing
