#include "CKickButton.h"

#include <cstring>

#include "CBitmap.h"

namespace Toolkit {

CKickButton::CKickButton(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background,
                         const ViewPoint& sourceOffset)
    : CControl(rect, listener, tag, background), sourceOffset(sourceOffset) {
    setHeightOfOneImage(rect.height());
}

bool CKickButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "CKickButton") == 0 || CControl::isTypeOf(className);
}

CView* CKickButton::cloneView() const {
    auto* copy = new CKickButton(viewSize(), listener(), tag(), background(), sourceOffset);
    copy->setHeightOfOneImage(heightOfOneImage());
    return copy;
}

void CKickButton::paint(CDrawContext* context) {
    clampValue();
    ViewPoint source = sourceOffset;
    if (currentValue != 0.0f) source.y += heightOfOneImage();
    drawBackground(context, background(), source);
    setDirty(false);
}

MouseResult CKickButton::pointerDown(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    pressValue = currentValue;
    beginGesture();
    return pointerMoved(where, buttons);
}

MouseResult CKickButton::pointerMoved(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseHandled;
    if (viewSize().containsInclusive(where))
        currentValue = pressValue == 0.0f ? 1.0f : 0.0f;
    else
        currentValue = pressValue;
    if (isDirty()) invalidate();
    return kMouseHandled;
}

MouseResult CKickButton::pointerUp(ViewPoint, ButtonState) {
    if (currentValue != 0.0f && controlListener) controlListener->valueChanged(this);
    currentValue = 0.0f;
    if (controlListener) controlListener->valueChanged(this);
    if (isDirty()) invalidate();
    endGesture();
    return kMouseHandled;
}

}  // namespace Toolkit
