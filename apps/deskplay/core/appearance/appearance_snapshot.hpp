#pragma once

#include <string>
#include <string_view>

#include "common/result.hpp"
#include "core/appearance/desktop_appearance.hpp"

namespace deskplay::core {

// The snapshot's format version. A file of another version is not understood and never
// applied.
inline constexpr int kAppearanceSnapshotVersion = 1;

// The snapshot as one JSON object: "version", the values that were read (each key left out
// when its value was not), "finderPreferences" (key → null when it was not stored, or a
// one-entry object naming the type: {"real": 54.0}) and "positions" ([{"name","x","y"}]).
std::string encodeAppearanceSnapshot(const DesktopAppearance& appearance);

// Leaves out what a snapshot cannot hold (a size or position beyond any screen, a constant
// Finder does not have, text with a NUL), so that what is written can always be read back.
void dropUnrecordableValues(DesktopAppearance& appearance);

// The whole snapshot, or an error saying what is wrong with it. Anything out of place
// rejects all of it: a snapshot is applied whole or not at all.
Result<DesktopAppearance> decodeAppearanceSnapshot(std::string_view text);

}  // namespace deskplay::core
