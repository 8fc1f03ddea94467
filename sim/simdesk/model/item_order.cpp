#include "sim/simdesk/model/item_order.hpp"

#include <algorithm>
#include <cctype>

namespace deskplay::simdesk {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// <0, 0 or >0, in Finder's name order.
int compareNames(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      std::size_t endA = i;
      std::size_t endB = j;
      while (endA < a.size() && isDigit(a[endA])) ++endA;
      while (endB < b.size() && isDigit(b[endB])) ++endB;
      // Compare the values without leading zeros: longer is larger, then digit by digit.
      std::string_view digitsA = a.substr(i, endA - i);
      std::string_view digitsB = b.substr(j, endB - j);
      digitsA.remove_prefix(std::min(digitsA.find_first_not_of('0'), digitsA.size()));
      digitsB.remove_prefix(std::min(digitsB.find_first_not_of('0'), digitsB.size()));
      if (digitsA.size() != digitsB.size()) return digitsA.size() < digitsB.size() ? -1 : 1;
      if (int c = digitsA.compare(digitsB); c != 0) return c;
      i = endA;
      j = endB;
      continue;
    }
    const char ca = folded(a[i]);
    const char cb = folded(b[j]);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  // Equal but for case: keep a stable, deterministic order.
  return a.compare(b);
}

int labelRank(int labelIndex) { return labelIndex == 0 ? 8 : labelIndex; }

}  // namespace

bool finderNameLess(std::string_view a, std::string_view b) { return compareNames(a, b) < 0; }

void sortForArrangement(std::vector<const DesktopItem*>& items, Arrangement arrangement) {
  auto byName = [](const DesktopItem* a, const DesktopItem* b) {
    return finderNameLess(a->name, b->name);
  };
  switch (arrangement) {
    case Arrangement::notArranged:
    case Arrangement::snapToGrid:
      return;
    case Arrangement::byName:
      std::sort(items.begin(), items.end(), byName);
      return;
    case Arrangement::byKind:
      std::sort(items.begin(), items.end(), [&](const DesktopItem* a, const DesktopItem* b) {
        const std::string kindA = a->kindName();
        const std::string kindB = b->kindName();
        if (kindA != kindB) return finderNameLess(kindA, kindB);
        return byName(a, b);
      });
      return;
    case Arrangement::byDateModified:
      std::sort(items.begin(), items.end(), [&](const DesktopItem* a, const DesktopItem* b) {
        if (a->modified != b->modified) return a->modified > b->modified;
        return byName(a, b);
      });
      return;
    case Arrangement::byDateCreated:
      std::sort(items.begin(), items.end(), [&](const DesktopItem* a, const DesktopItem* b) {
        if (a->created != b->created) return a->created > b->created;
        return byName(a, b);
      });
      return;
    case Arrangement::bySize:
      std::sort(items.begin(), items.end(), [&](const DesktopItem* a, const DesktopItem* b) {
        if (a->size != b->size) return a->size > b->size;
        return byName(a, b);
      });
      return;
    case Arrangement::byLabel:
      std::sort(items.begin(), items.end(), [&](const DesktopItem* a, const DesktopItem* b) {
        if (a->labelIndex != b->labelIndex) {
          return labelRank(a->labelIndex) < labelRank(b->labelIndex);
        }
        return byName(a, b);
      });
      return;
  }
}

}  // namespace deskplay::simdesk
