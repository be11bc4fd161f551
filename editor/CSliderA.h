#pragma once

#include "CSlider.h"

// The editor's slider: drives a linked display while dragged. Never made by itself;
// CVerticalSliderA is the concrete one.
class CSliderA : public Toolkit::CSlider {
public:
    CSliderA(const Toolkit::ViewRect& rect, Toolkit::CControlListener* listener, int32_t tag, int32_t minPos,
             int32_t maxPos, Toolkit::CBitmap* handle, Toolkit::CBitmap* track, const Toolkit::ViewPoint& sourceOffset,
             int32_t style);

    Toolkit::CControl* linkedDisplay = nullptr;
    bool notifyWhileDragging = true;
};

// A vertical CSliderA that places its handle at the nearest pixel and reports every change of a drag
// and once more on release.
class CVerticalSliderA : public CSliderA {
public:
    using CSliderA::CSliderA;

    void paint(Toolkit::CDrawContext* context) override;
    Toolkit::MouseResult pointerDown(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    Toolkit::MouseResult pointerUp(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    Toolkit::MouseResult pointerMoved(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    Toolkit::MouseResult pointerEntered(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;

    // Where the handle is drawn for the current value, in the parent's coordinates.
    Toolkit::ViewRect nearestHandleRect() const;
};
