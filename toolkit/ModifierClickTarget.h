#pragma once

#include <cstdint>

namespace Toolkit {

// A view that may consume a press with the right button or a modifier before its own pointerDown
// sees it (a control asks its listener). Non-zero: the press was consumed.
class ModifierClickTarget {
public:
    virtual int32_t offerModifierClick(int32_t buttons) = 0;

protected:
    ~ModifierClickTarget() = default;
};

}  // namespace Toolkit
