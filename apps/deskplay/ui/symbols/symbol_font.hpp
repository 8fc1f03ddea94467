#pragma once

#include "common/result.hpp"

namespace deskplay::ui {

// Makes the symbol font available to the application's text, once per process: the installed
// family when the system has it, otherwise the font file added to the application's fonts. A
// font that cannot be loaded is an error. Needs the application object.
Status loadSymbolFont();

}  // namespace deskplay::ui
