#include "test_bundle.hpp"

#include "support/temp_dir.hpp"

namespace deskplay::testing {

namespace fs = std::filesystem;

void addTestGame(const fs::path& games, const std::string& id, int order) {
  fs::create_directories(games / id);
  writeFile(games / id / (id + ".mjs"), "");
  writeFile(games / id / "manifest.json",
            R"({"id":")" + id + R"(","name":")" + id + R"(","entryFile":")" + id +
                R"(.mjs","section":"arcade","launch":"solo","order":)" + std::to_string(order) +
                R"(,"controls":[],"card":{"gradient":["#000000","#ffffff"],"glyph":["x"]}})");
}

fs::path makeTestBundle(const fs::path& folder, const fs::path& executable,
                        const fs::path& engine) {
  const fs::path bundle = folder / "Deskplay.app";
  fs::create_directories(bundle / "Contents/MacOS");
  fs::copy_file(executable, bundle / "Contents/MacOS/Deskplay");
  fs::create_directories(bundle / "Contents/Resources/games");
  fs::create_symlink(engine, bundle / "Contents/Resources/node");
  return bundle / "Contents/MacOS/Deskplay";
}

}  // namespace deskplay::testing
