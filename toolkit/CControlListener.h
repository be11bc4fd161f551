#pragma once

#include <cstdint>

namespace Toolkit {

class CControl;

// Receives the changes a user makes on controls (the editor implements it).
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // A press with the right button or a modifier, offered before the control sees it; non-zero
    // consumes the press.
    virtual int32_t modifierClicked(CControl* control, int32_t buttons);
    virtual void editBegan(CControl* control);
    virtual void editEnded(CControl* control);
};

}  // namespace Toolkit
