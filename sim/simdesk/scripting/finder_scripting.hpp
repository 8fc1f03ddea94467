#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "applescript/scriptable.hpp"
#include "sim/simdesk/model/finder.hpp"

namespace deskplay::simdesk {

// Finder's scripting over the model: the desktop, its items (by name, index or every), the
// icon view options of its container window, the startup disk, Finder windows, and files
// reached through aliases. Every event but `activate` fails with -600 while Finder does not
// run (also while it is still launching).
class FinderScripting final : public applescript::ScriptableApplication {
 public:
  explicit FinderScripting(Finder& finder) : finder_(finder) {}

  Result<applescript::Value, applescript::ScriptFailure> get(
      const applescript::ObjectSpecifier& object) override;
  Result<applescript::Value, applescript::ScriptFailure> set(
      const applescript::ObjectSpecifier& object, const applescript::Value& value) override;
  Result<std::optional<applescript::Value>, applescript::ScriptFailure> perform(
      applescript::Command command, const applescript::ObjectSpecifier* directObject) override;

 private:
  // What the steps of a specifier lead to.
  struct Target {
    enum class Kind {
      application,
      desktop,
      desktopWindow,
      iconViewOptions,
      startupDisk,
      item,
      window
    };
    Kind kind = Kind::application;
    std::filesystem::path path;  // item
    std::size_t window = 0;      // window: index into the window list
  };

  Result<Target, applescript::ScriptFailure> resolve(const applescript::ObjectSpecifier& object,
                                                     std::size_t steps);
  Result<Target, applescript::ScriptFailure> element(const Target& container,
                                                     const applescript::ObjectSpecifier& object,
                                                     std::size_t step);
  Result<applescript::Value, applescript::ScriptFailure> elements(
      const Target& container, const applescript::ObjectSpecifier& object);
  Result<applescript::Value, applescript::ScriptFailure> property(
      const Target& target, const applescript::ObjectSpecifier& object);
  Result<applescript::Value, applescript::ScriptFailure> setProperty(
      const Target& target, const applescript::ObjectSpecifier& object,
      const applescript::Value& value);
  Result<applescript::Value, applescript::ScriptFailure> setItemProperty(
      const Target& target, const applescript::ObjectSpecifier& object,
      const applescript::Value& value);
  Result<applescript::Value, applescript::ScriptFailure> setOption(
      const applescript::ObjectSpecifier& object, const applescript::Value& value);

  Finder& finder_;
};

}  // namespace deskplay::simdesk
