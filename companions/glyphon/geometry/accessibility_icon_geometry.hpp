#pragma once

#include "geometry/icon_geometry.hpp"
#include "geometry/synth_mouse_drag.hpp"
#include "platform/accessibility.hpp"
#include "platform/windows.hpp"

namespace deskplay::glyphon {

// Icon geometry read from Finder's accessibility tree, Finder found among the running
// applications by its bundle identifier. All three references must outlive this object.
class AccessibilityIconGeometry final : public IconGeometry {
 public:
  AccessibilityIconGeometry(platform::Accessibility& accessibility, platform::Windows& windows,
                            const PointerSynthesis& pointer)
      : accessibility_(accessibility), windows_(windows), pointer_(pointer) {}

  std::string readDesktopIconPositions() override;
  std::optional<platform::Point> iconScreenCenter(std::string_view name) override;
  bool pointHitsFile(platform::Point point, std::string_view path) override;
  bool synthesizingPointer() const override { return pointer_.synthesizingPointer(); }

 private:
  platform::Accessibility& accessibility_;
  platform::Windows& windows_;
  const PointerSynthesis& pointer_;
};

}  // namespace deskplay::glyphon
