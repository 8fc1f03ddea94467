#pragma once

#include <string_view>
#include <vector>

#include "sim/simdesk/model/desktop_item.hpp"
#include "sim/simdesk/model/icon_view_options.hpp"

namespace deskplay::simdesk {

// Finder's name order (localizedStandardCompare): case-insensitive, runs of digits compared
// by their value, so "Item 9" comes before "Item 10".
bool finderNameLess(std::string_view a, std::string_view b);

// Puts items in the order an arrangement lays them out: by name; kind (then name); newest
// modification or creation first; largest first; label (labelled ones in label order, then
// the unlabelled). Ties go by name. The other arrangements keep the given order.
void sortForArrangement(std::vector<const DesktopItem*>& items, Arrangement arrangement);

}  // namespace deskplay::simdesk
