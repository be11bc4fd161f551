#include "CSliderA.h"

#include <algorithm>

#include "CBitmap.h"

using namespace Toolkit;

CSliderA::CSliderA(const ViewRect& rect, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
                   CBitmap* handle, CBitmap* track, const ViewPoint& sourceOffset, int32_t style)
    : CSlider(rect, listener, tag, minPos, maxPos, handle, track, sourceOffset, style),
      localMinPos(minPos - ((style & kSliderVertical) ? rect.top : rect.left)),
      range(maxPos - minPos) {}

void CSliderA::restoreUndoValue() {
    setValue(undoValue);
    setDirty(true);
    if (linkedDisplay) {
        linkedDisplay->setValue(undoValue);
        linkedDisplay->setDirty(true);
    }
}

int32_t CSliderA::handleExtent() const {
    const CBitmap* bitmap = handle();
    if (!bitmap) return 1;
    return vertical() ? bitmap->height() : bitmap->width();
}

float CSliderA::travelShare() const {
    return (style() & (kSliderMinLeft | kSliderMinTop)) ? currentValue : 1.0f - currentValue;
}

ViewRect CVerticalSliderA::nearestHandleRect() const {
    const int32_t pixel = static_cast<int32_t>(travelShare() * static_cast<float>(range) + 0.5f);
    const ViewPoint offset = handleOffset();
    const int32_t lowerBound = localMinPos + offset.y;
    const int32_t upperBound = lowerBound + range + handleExtent();
    const int32_t width = handle() ? handle()->width() : 1;
    ViewRect place;
    place.top = std::max(lowerBound, offset.y + pixel);
    place.bottom = std::min(upperBound, place.top + handleExtent());
    place.left = offset.x;
    place.right = place.left + width;
    return place.offsetBy(viewSize().topLeft());
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
    undoValue = value();
    const ViewRect rect = viewSize();
    const int32_t start = rect.top + handleOffset().y;
    if (isFreeClick()) {
        grabOffset = start + handleExtent() / 2 - 1;
    } else {
        const ViewRect knob = nearestHandleRect();
        if (where.y < knob.top || where.y > knob.bottom || where.x < knob.left || where.x > knob.right)
            return kMouseNotHandled;
        grabOffset = where.y + start - knob.top;
    }
    fineReference = minimum - 1.0f;
    previousButtons = buttons;
    beginGesture();
    if (resetOnModifierClick(buttons)) {
        endGesture();
        return kMouseHandledDone;
    }
    if (buttons & kShift) return kMouseHandled;
    return pointerMoved(where, buttons);
}

MouseResult CVerticalSliderA::pointerMoved(ViewPoint where, ButtonState buttons) {
    // A hover is not taken: capturing the pointer without a button held would send the user's next
    // click anywhere in the host's window to the editor instead.
    if (!(buttons & kLButton)) return kMouseHandled;
    const bool shift = (buttons & kShift) != 0;
    const float normalised = (currentValue - minimum) / (maximum - minimum);
    // Pressing Shift during a drag anchors the fine movement at the value reached at that moment.
    if (fineReference == minimum - 1.0f || !(buttons == previousButtons && shift)) fineReference = normalised;
    if (buttons != previousButtons && shift) previousButtons = buttons;

    float position = static_cast<float>(where.y - grabOffset) / static_cast<float>(range);
    if (style() & kSliderMinBottom) position = 1.0f - position;
    if (shift) position = (position - fineReference) / zoomFactor() + fineReference;
    currentValue = minimum + (maximum - minimum) * position;
    clampValue();
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
