#include "CSlider.h"

#include <algorithm>
#include <cstring>

#include "CBitmap.h"
#include "CDrawContext.h"

namespace Toolkit {

CSlider::CSlider(const ViewRect& rect, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
                 CBitmap* handle, CBitmap* background, const ViewPoint& sourceOffset, int32_t style)
    : CControl(rect, listener, tag, background), imageOffset(sourceOffset), sliderStyle(style) {
    setHandle(handle);
    const int32_t origin = horizontal() ? rect.left : rect.top;
    localMinPos = minPos - origin;
    range = maxPos - minPos;
    lowerBound = localMinPos;
    upperBound = maxPos + extent() - origin;
    controlWidth = rect.width();
    controlHeight = rect.height();
    setWantsFocus(true);
}

CSlider::~CSlider() {
    if (handleBitmap) handleBitmap->release();
}

bool CSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSlider") == 0 || CControl::isTypeOf(className);
}

CView* CSlider::cloneView() const {
    const ViewRect rect = viewSize();
    const int32_t origin = horizontal() ? rect.left : rect.top;
    auto* copy = new CSlider(rect, listener(), tag(), localMinPos + origin, localMinPos + origin + range, handleBitmap,
                             background(), imageOffset, sliderStyle);
    copy->setHandleOffset(offsetOfHandle);
    copy->setTransparentHandle(transparentHandle);
    copy->setFreeClick(freeClick);
    copy->setZoomFactor(zoom);
    copy->setMin(minimum);
    copy->setMax(maximum);
    copy->setDefaultValue(defaultVal);
    copy->setWheelIncrement(wheelStep);
    copy->setValue(currentValue);
    return copy;
}

void CSlider::setHandle(CBitmap* handle) {
    if (handleBitmap) handleBitmap->release();
    handleBitmap = handle;
    if (handleBitmap) {
        handleBitmap->retain();
        handleWidth = handleBitmap->width();
        handleHeight = handleBitmap->height();
    } else {
        handleWidth = handleHeight = 1;
    }
}

void CSlider::setHandleOffset(const ViewPoint& offset) {
    offsetOfHandle = offset;
    lowerBound = localMinPos + (horizontal() ? offset.x : offset.y);
    upperBound = lowerBound + range + extent();
}

void CSlider::setViewSize(const ViewRect& rect, bool invalidate) {
    const ViewRect old = viewSize();
    if (horizontal()) {
        localMinPos += rect.left - old.left;
        range += rect.width() - old.width();
    } else {
        localMinPos += rect.top - old.top;
        range += rect.height() - old.height();
    }
    controlWidth = rect.width();
    controlHeight = rect.height();
    CControl::setViewSize(rect, invalidate);
}

float CSlider::travelShare() const {
    return (sliderStyle & (kSliderMinLeft | kSliderMinTop)) ? currentValue : 1.0f - currentValue;
}

ViewRect CSlider::handleRect() const {
    return handleRectAt(static_cast<int32_t>(travelShare() * static_cast<float>(range)));
}

ViewRect CSlider::handleRectAt(int32_t pixel) const {
    ViewRect handle;
    if (horizontal()) {
        handle.left = std::max(lowerBound, offsetOfHandle.x + pixel);
        handle.right = std::min(upperBound, handle.left + handleWidth);
        handle.top = offsetOfHandle.y;
        handle.bottom = handle.top + handleHeight;
    } else {
        handle.top = std::max(lowerBound, offsetOfHandle.y + pixel);
        handle.bottom = std::min(upperBound, handle.top + handleHeight);
        handle.left = offsetOfHandle.x;
        handle.right = handle.left + handleWidth;
    }
    return handle.offsetBy(viewSize().topLeft());
}

void CSlider::paint(CDrawContext* context) {
    if (CBitmap* track = background()) {
        const ViewRect rect = viewSize();
        const ViewRect area{rect.left, rect.top, rect.left + controlWidth, rect.top + controlHeight};
        if (transparency())
            track->blitTransparent(context, area, imageOffset);
        else
            track->blit(context, area, imageOffset);
    }
    if (handleBitmap) {
        if (transparentHandle)
            handleBitmap->blitTransparent(context, handleRect(), {});
        else
            handleBitmap->blit(context, handleRect(), {});
    }
    setDirty(false);
}

int32_t CSlider::travelStart() const {
    const ViewRect rect = viewSize();
    return horizontal() ? rect.left + offsetOfHandle.x : rect.top + offsetOfHandle.y;
}

MouseResult CSlider::pointerDown(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    const int32_t start = travelStart();
    if (freeClick) return startDrag(start + extent() / 2 - 1, where, buttons);
    // The press must lie on the handle; it then keeps the point where it was grabbed.
    const ViewRect rect = viewSize();
    const int32_t pixel = static_cast<int32_t>(travelShare() * static_cast<float>(range));
    const int32_t along = horizontal() ? where.x : where.y;
    const int32_t across = horizontal() ? where.y : where.x;
    const int32_t handleStart = start + pixel;
    const int32_t acrossStart = horizontal() ? rect.top + offsetOfHandle.y : rect.left + offsetOfHandle.x;
    const int32_t acrossExtent = horizontal() ? handleHeight : handleWidth;
    if (along < handleStart || along > handleStart + extent() || across < acrossStart ||
        across > acrossStart + acrossExtent)
        return kMouseNotHandled;
    return startDrag(along + start - handleStart, where, buttons);
}

MouseResult CSlider::startDrag(int32_t anchor, ViewPoint where, ButtonState buttons) {
    dragAnchor = anchor;
    fineReference = minimum - 1.0f;
    pressButtons = buttons;
    beginGesture();
    if (resetOnModifierClick(buttons)) {
        endGesture();
        return kMouseHandledDone;
    }
    if (buttons & kShift) return kMouseHandled;
    return pointerMoved(where, buttons);
}

MouseResult CSlider::pointerMoved(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseHandled;
    followPointer(where, buttons);
    if (isDirty()) {
        if (controlListener) controlListener->valueChanged(this);
        if (isDirty()) invalidate();
    }
    return kMouseHandled;
}

void CSlider::followPointer(ViewPoint where, ButtonState buttons) {
    const bool shift = (buttons & kShift) != 0;
    const float normalised = (currentValue - minimum) / (maximum - minimum);
    // Pressing Shift during a drag anchors the fine movement at the value reached at that moment.
    if (fineReference == minimum - 1.0f || !(buttons == pressButtons && shift)) fineReference = normalised;
    if (buttons != pressButtons && shift) pressButtons = buttons;

    float position = static_cast<float>((horizontal() ? where.x : where.y) - dragAnchor) / static_cast<float>(range);
    if (sliderStyle & (kSliderMinRight | kSliderMinBottom)) position = 1.0f - position;
    if (shift) position = (position - fineReference) / zoom + fineReference;
    currentValue = minimum + (maximum - minimum) * position;
    clampValue();
}

MouseResult CSlider::pointerUp(ViewPoint, ButtonState) {
    endGesture();
    return kMouseHandled;
}

void CSlider::stepBy(float steps, bool fine) {
    float step = steps * wheelStep;
    if (fine) step *= 0.1f;
    currentValue += step;
    clampValue();
    if (isDirty() && controlListener) notifyChange();
}

bool CSlider::wheel(ViewPoint, float distance, ButtonState buttons) {
    if (!isMouseEnabled()) return false;
    stepBy(distance, (buttons & kShift) != 0);
    return true;
}

int32_t CSlider::keyDown(KeyCode& key) {
    float steps;
    switch (key.virt) {
        case kVirtualKeyLeft:
        case kVirtualKeyDown: steps = -1.0f; break;
        case kVirtualKeyUp:
        case kVirtualKeyRight: steps = 1.0f; break;
        default: return -1;
    }
    stepBy(steps, (key.modifier & kModifierShift) != 0);
    return 1;
}

}  // namespace Toolkit
