#pragma once

namespace deskplay::ui {

// Where the panel stands under its status item.
enum class PopUpAlignment { left, centre, right };

// What happens when the aligned panel would leave the visible frame of the item's screen:
// the mirrored alignment is used instead, or the panel is pushed back inside against the edge.
enum class ScreenClippingBehaviour { reverseAlignment, hugEdge };

}  // namespace deskplay::ui
