#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <optional>
#include <string>

#include "core/catalog/game.hpp"

namespace deskplay::core::testing {

// A manifest / catalog record in the JSON form, with the fields the tests vary.
std::string gameJson(const std::string& id, const std::string& name,
                     const std::string& section = "arcade",
                     std::optional<int> order = std::nullopt);

// What the catalog dump runs with in tests: a temporary home and runtime folder, and
// `fakeTools` first in PATH.
QProcessEnvironment testEnvironment(const std::filesystem::path& home,
                                    const std::filesystem::path& runtime,
                                    const std::filesystem::path& fakeTools);

// Writes an executable shell script.
void writeScript(const std::filesystem::path& path, const std::string& body);

}  // namespace deskplay::core::testing
