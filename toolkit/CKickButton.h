#pragma once

#include "CControl.h"
#include "IMultiBitmapControl.h"

namespace Toolkit {

// A push button: 1 while pressed with the pointer over it, back to 0 on release. Its bitmap holds
// the released image and, one image height below, the pressed image.
class CKickButton : public CControl, public IMultiBitmapControl {
public:
    CKickButton(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background,
                const ViewPoint& sourceOffset = {});

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerMoved(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerUp(ViewPoint where, ButtonState buttons) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;
    void autoComputeHeightOfOneImage() override { setHeightOfOneImage(viewSize().height()); }

private:
    ViewPoint sourceOffset;
    float pressValue = 0.0f;
};

}  // namespace Toolkit
