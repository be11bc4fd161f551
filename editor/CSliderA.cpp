#include "CSliderA.h"


#include "CBitmap.h"

using namespace Toolkit;

CSliderA::CSliderA(const ViewRect& rect, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
                   CBitmap* handle, CBitmap* track, const ViewPoint& sourceOffset, int32_t style)
    : CSlider(rect, listener, tag, minPos, maxPos, handle, track, sourceOffset, style) {}

ViewRect CVerticalSliderA::nearestHandleRect() const {
    return handleRectAt(static_cast<int32_t>(travelShare() * static_cast<float>(range) + 0.5f));
}

void CVerticalSliderA::paint(CDrawContext* context) {
    if (CBitmap* track = background()) {
        if (transparency())
            track->blitTransparent(context, viewSize(), sourceOffset());
        else
            track->blit(context, viewSize(), sourceOffset());
    }
    if (CBitmap* knob = handle()) knob->blitTransparent(context, nearestHandleRect(), {});
    setDirty(false);
}

MouseResult CVerticalSliderA::pointerDown(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    const int32_t start = travelStart();
    if (isFreeClick()) return startDrag(start + extent() / 2 - 1, where, buttons);
    const ViewRect knob = nearestHandleRect();
    if (where.y < knob.top || where.y > knob.bottom || where.x < knob.left || where.x > knob.right)
        return kMouseNotHandled;
    return startDrag(where.y + start - knob.top, where, buttons);
}

MouseResult CVerticalSliderA::pointerMoved(ViewPoint where, ButtonState buttons) {
    // A hover is not taken: capturing the pointer without a button held would send the user's next
    // click anywhere in the host's window to the editor instead.
    if (!(buttons & kLButton)) return kMouseHandled;
    followPointer(where, buttons);
    if (linkedDisplay) linkedDisplay->setValue(currentValue);
    if (isDirty()) {
        if (controlListener && notifyWhileDragging) {
            controlListener->valueChanged(this);
            return kMouseHandled;  // repainted with the next idle
        }
        invalidate();
    }
    return kMouseHandled;
}

MouseResult CVerticalSliderA::pointerUp(ViewPoint, ButtonState) {
    if (controlListener) controlListener->valueChanged(this);
    endGesture();
    return kMouseHandled;
}

MouseResult CVerticalSliderA::pointerEntered(ViewPoint, ButtonState) { return kMouseHandled; }
