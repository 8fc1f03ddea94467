#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace deskplay {

// The canonical composed (NFC) form of valid UTF-8 text; other input comes back as it is.
std::string canonicalComposedForm(std::string_view text);

// Ascending order by the Unicode scalar values of the names' NFC forms, so canonically
// equivalent spellings sort together; among those, the raw bytes decide.
void sortByCanonicalForm(std::vector<std::string>& names);

}  // namespace deskplay
