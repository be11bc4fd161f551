#pragma once

#include "CControl.h"

namespace Toolkit {

// Style bits of a slider: the axis, and the edge at which the minimum lies.
enum SliderStyle : int32_t {
    kSliderHorizontal = 1,
    kSliderVertical = 2,
    kSliderMinLeft = 8,
    kSliderMinRight = 16,
    kSliderMinTop = 32,
    kSliderMinBottom = 64,
};

// A handle bitmap dragged along a track. minPos and maxPos are the pixel positions (in the parent's
// coordinates, along the axis) of the handle's start at the two ends of its travel.
class CSlider : public CControl {
public:
    CSlider(const ViewRect& rect, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
            CBitmap* handle, CBitmap* background, const ViewPoint& sourceOffset = {},
            int32_t style = kSliderHorizontal | kSliderMinLeft);
    ~CSlider() override;

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerUp(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerMoved(ViewPoint where, ButtonState buttons) override;
    bool wheel(ViewPoint where, float distance, ButtonState buttons) override;
    int32_t keyDown(KeyCode& key) override;
    void setViewSize(const ViewRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;

    virtual void setTransparentHandle(bool value) { transparentHandle = value; }
    virtual void setFreeClick(bool value) { freeClick = value; }
    virtual bool isFreeClick() const { return freeClick; }
    virtual void setHandleOffset(const ViewPoint& offset);
    virtual ViewPoint handleOffset() const { return offsetOfHandle; }
    virtual void setSourceOffset(const ViewPoint& offset) { imageOffset = offset; }
    virtual ViewPoint sourceOffset() const { return imageOffset; }
    virtual int32_t style() const { return sliderStyle; }
    virtual void setHandle(CBitmap* handle);
    virtual CBitmap* handle() const { return handleBitmap; }
    virtual void setZoomFactor(float value) { zoom = value; }
    virtual float zoomFactor() const { return zoom; }

    // Where the handle is drawn for the current value, in the parent's coordinates.
    ViewRect handleRect() const;

protected:
    bool horizontal() const { return (sliderStyle & kSliderHorizontal) != 0; }
    // The value's share of the travel measured from the start of the track (top or left).
    float travelShare() const;
    int32_t extent() const { return horizontal() ? handleWidth : handleHeight; }
    // Where the handle's start lies at the start of its travel, in the parent's coordinates, along the axis.
    int32_t travelStart() const;
    // The handle's rectangle with its start the given number of pixels along the travel.
    ViewRect handleRectAt(int32_t pixel) const;
    // Starts a drag whose pointer position anchor stands for the start of the travel: the gesture begins,
    // a Control click resets to the default, a Shift press waits for the first move, and any other
    // press moves the handle at once.
    MouseResult startDrag(int32_t anchor, ViewPoint where, ButtonState buttons);
    // Sets the value for the pointer's position in a drag; with Shift held it moves by a zoomed fraction
    // from where Shift was pressed.
    void followPointer(ViewPoint where, ButtonState buttons);

    int32_t range;
    int32_t localMinPos;

private:
    void stepBy(float steps, bool fine);

    ViewPoint imageOffset;
    ViewPoint offsetOfHandle;
    CBitmap* handleBitmap = nullptr;
    int32_t sliderStyle;
    int32_t handleWidth = 1;
    int32_t handleHeight = 1;
    int32_t lowerBound;
    int32_t upperBound;
    int32_t controlWidth;
    int32_t controlHeight;
    float zoom = 10.0f;
    bool transparentHandle = true;
    bool freeClick = true;
    int32_t dragAnchor = 0;
    float fineReference = 0.0f;
    int32_t pressButtons = 0;
};

}  // namespace Toolkit
