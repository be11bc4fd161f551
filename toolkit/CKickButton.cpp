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

int32_t CKickButton::pointerDown(const ViewPoint& where, int32_t buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    pressValue = currentValue;
    beginGesture();
    return pointerMoved(where, buttons);
}

int32_t CKickButton::pointerMoved(const ViewPoint& where, int32_t buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    if (viewSize().containsInclusive(where))
        currentValue = pressValue == 0.0f ? 1.0f : 0.0f;
    else
        currentValue = pressValue;
    if (isDirty()) invalidate();
    return kMouseEventHandled;
}

int32_t CKickButton::pointerUp(const ViewPoint&, int32_t) {
    if (currentValue != 0.0f && controlListener) controlListener->valueChanged(this);
    currentValue = 0.0f;
    if (controlListener) controlListener->valueChanged(this);
    if (isDirty()) invalidate();
    endGesture();
    return kMouseEventHandled;
}

}  // namespace Toolkit
