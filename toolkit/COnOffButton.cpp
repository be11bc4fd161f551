#include "COnOffButton.h"

#include <cstring>

#include "CBitmap.h"

namespace Toolkit {

COnOffButton::COnOffButton(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background,
                           int32_t style)
    : CControl(rect, listener, tag, background), buttonStyle(style) {}

bool COnOffButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "COnOffButton") == 0 || CControl::isTypeOf(className);
}

CView* COnOffButton::cloneView() const {
    auto* copy = new COnOffButton(viewSize(), listener(), tag(), background(), buttonStyle);
    copy->setValue(currentValue);
    return copy;
}

void COnOffButton::paint(CDrawContext* context) {
    if (CBitmap* images = background()) {
        const int32_t sourceY = currentValue != 0.0f ? images->height() / 2 : 0;  // NaN shows "on"
        drawBackground(context, images, {0, sourceY});
    }
    setDirty(false);
}

MouseResult COnOffButton::pointerDown(ViewPoint, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    currentValue = truncateValue(currentValue) != 0 ? 0.0f : 1.0f;
    invalidate();
    if (controlListener && buttonStyle == 1) notifyChange();
    editorIdle();
    if (controlListener && buttonStyle == 0) notifyChange();
    return kMouseHandledDone;
}

}  // namespace Toolkit
