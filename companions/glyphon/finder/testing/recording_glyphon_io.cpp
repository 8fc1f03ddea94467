#include "finder/testing/recording_glyphon_io.hpp"

namespace deskplay::glyphon {

void PrintTo(const CommandAnswer& answer, std::ostream* out) {
  if (!answer.ok) {
    *out << "failure \"" << answer.error.value_or("") << '"';
    return;
  }
  *out << "success";
  if (!answer.result) return;
  const CommandResult& result = *answer.result;
  *out << " {";
  if (result.hasCustomIcon) *out << " hasCustomIcon=" << *result.hasCustomIcon;
  if (result.data) *out << " data=\"" << *result.data << '"';
  if (result.desktopLabelsVisible) *out << " desktopLabelsVisible=" << *result.desktopLabelsVisible;
  if (result.gridSpacing) *out << " gridSpacing=" << *result.gridSpacing;
  if (result.iconSize) *out << " iconSize=" << *result.iconSize;
  if (result.gridArrangement) *out << " gridArrangement=\"" << *result.gridArrangement << '"';
  *out << " }";
}

}  // namespace deskplay::glyphon
