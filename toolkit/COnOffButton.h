#pragma once

#include "CControl.h"

namespace Toolkit {

// A switch between 0 and 1 on each press. Its bitmap holds the off image on top of the on image.
// Style 0 tells the listener after the paced idle ran, style 1 before it.
class COnOffButton : public CControl {
public:
    COnOffButton(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background, int32_t style = 0);

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;

    virtual int32_t style() const { return buttonStyle; }
    virtual void setStyle(int32_t value) { buttonStyle = value; }

private:
    int32_t buttonStyle;
};

}  // namespace Toolkit
