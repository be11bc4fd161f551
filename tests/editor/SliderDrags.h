#pragma once

#include <cstdint>

#include "PanelLayout.h"

// The slider drags the editor's window tests make, placed by the panel's own layout. A press on a
// track puts the handle's middle, 9 pixels below its top, under the pointer; the handle's top
// travels kSliderTravel pixels from value 1 (the layout's top position plus the handle's offset)
// down to value 0.
struct SliderDrag {
    int32_t tag;
    int32_t dy;  // pointer travel, positive downwards

    int32_t x() const { return PanelLayout::kSliderX[tag] + 5; }
    // The pointer's place for value 1.
    int32_t valueOneY() const {
        const PanelLayout::Point& offset =
            PanelLayout::kValveSlider[tag] ? PanelLayout::kValveHandleOffset : PanelLayout::kHandleOffset;
        return PanelLayout::kMinPos + 9 + offset.y;
    }
};

constexpr int32_t kSliderTravel = 151;
constexpr SliderDrag kSliderDrags[] = {{0, -40}, {1, 45}, {2, -60}, {3, -70}, {4, -50}, {5, 50}};
