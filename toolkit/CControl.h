#pragma once

#include <cstdint>

#include "CControlListener.h"
#include "CView.h"
#include "ModifierClickTarget.h"

namespace Toolkit {

class CBitmap;
class CFrame;

// A view with a value that reports the user's changes to a listener. Every user change is bracketed
// by a gesture (beginGesture ... endGesture) that reaches the editor through the frame, so that the
// host can group the automation it records.
class CControl : public CView, public ModifierClickTarget {
public:
    CControl(const ViewRect& rect, CControlListener* listener = nullptr, int32_t tag = 0, CBitmap* background = nullptr);
    ~CControl() override;

    // Dirty while the value differs from the one last drawn (NaN counts as different).
    bool isDirty() const override;
    void setDirty(bool dirty = true) override;
    // Clean (the value counts as drawn) until the repaint asked for here shows it.
    void invalidate() override;
    bool isTypeOf(const char* className) const override;
    // Every concrete control makes its own copy.
    CView* cloneView() const override = 0;

    // Asks the frame to run the editor's idle hook at once (flushes repaints now).
    virtual void editorIdle();
    // Stores only: no clamping, no repaint request.
    virtual void setValue(float newValue) { currentValue = newValue; }
    virtual float value() const { return currentValue; }
    virtual void setMin(float value) { minimum = value; }
    virtual float min() const { return minimum; }
    virtual void setMax(float value) { maximum = value; }
    virtual float max() const { return maximum; }
    virtual void setOldValue(float value) { lastDrawnValue = value; }
    virtual float oldValue() const { return lastDrawnValue; }
    virtual void setDefaultValue(float value) { defaultVal = value; }
    virtual float defaultValue() const { return defaultVal; }
    virtual void clampValue();
    // Control + left button (and nothing else) resets to the default value inside one gesture.
    virtual bool resetOnModifierClick(int32_t buttons);
    virtual void setTag(int32_t value) { controlTag = value; }
    virtual int32_t tag() const { return controlTag; }
    virtual void beginGesture();
    virtual void endGesture();
    virtual CControlListener* listener() const { return controlListener; }
    virtual void setListener(CControlListener* value) { controlListener = value; }
    virtual void setBackOffset(const ViewPoint& offset) { backOffset = offset; }
    // Takes the control's own top-left corner as the offset into the background bitmap.
    virtual void copyBackOffset();
    virtual void setWheelIncrement(float value) { wheelStep = value; }
    virtual float wheelIncrement() const { return wheelStep; }

    int32_t offerModifierClick(int32_t buttons) override;

    ViewPoint backgroundOffset() const { return backOffset; }
    int32_t doubleClickInterval() const { return doubleClickMilliseconds; }

protected:
    // A complete change: gesture, listener told, gesture closed (nothing without listener).
    void notifyChange();
    // The background drawn at the view's rectangle from sourceOffset.
    void drawBackground(CDrawContext* context, CBitmap* bitmap, const ViewPoint& sourceOffset);

    CControlListener* controlListener;
    int32_t controlTag;
    float lastDrawnValue = 1.0f;
    float defaultVal = 0.5f;
    float currentValue = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float wheelStep = 0.1f;
    int32_t lastClickTick = -1;
    int32_t doubleClickMilliseconds;
    ViewPoint backOffset;
};

// The value as an integer the way the processor truncates it: NaN and values out of range give a
// non-zero result rather than undefined behaviour.
int32_t truncateValue(float value);

}  // namespace Toolkit
