#pragma once

#include <string_view>

#include "common/result.hpp"
#include "platform/image.hpp"

namespace deskplay::ui {

// A system symbol drawn from the symbol font as a template image `side` pixels square: the
// glyph in black on transparent, for the menu bar to tint. An unknown symbol or a missing font
// is an error. Needs the application object.
Result<platform::Image> symbolTemplateImage(std::string_view systemName, int side);

}  // namespace deskplay::ui
