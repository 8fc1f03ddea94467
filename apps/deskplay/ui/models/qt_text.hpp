#pragma once

#include <QString>
#include <string_view>

namespace deskplay::ui {

// UTF-8 text as Qt holds it.
inline QString qtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace deskplay::ui
