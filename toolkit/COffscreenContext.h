#pragma once

#include "CDrawContext.h"

namespace Toolkit {

class CBitmap;

// A drawing context on a width x height ARGB bitmap in memory. The bitmap starts transparent; the
// background colour is only stored.
class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CView* frame, int32_t width, int32_t height, ViewColor background = {0, 0, 0, 255});
    ~COffscreenContext() override;

    CBitmap* bitmap() const { return image; }
    int32_t width() const { return contextWidth; }
    int32_t height() const { return contextHeight; }
    ViewColor backgroundColor() const { return background; }

    // Draws the area of this context's bitmap at the same area of the destination (plus the
    // destination's offset).
    void copyTo(CDrawContext* destination, const ViewRect& area);
    // Draws the bitmap's area at sourceOffset, of the rectangle's size, at the rectangle.
    void copyTo(CDrawContext* destination, const ViewRect& rect, const ViewPoint& sourceOffset);

    // The pixel at (x, y) with straight alpha; transparent black outside.
    ViewColor pixelAt(int32_t x, int32_t y);
    // Writes the bitmap as a PNG file; false on failure.
    bool writePng(const char* path);

private:
    COffscreenContext(CView* frame, CBitmap* bitmap, int32_t width, int32_t height, ViewColor background);

    CBitmap* image;
    int32_t contextWidth;
    int32_t contextHeight;
    ViewColor background;
};

}  // namespace Toolkit
