#pragma once

// An offscreen context for pixel checks: opaque black at the start, written to
// "<test name>[-label].png" in the working directory (the build tree) when the test fails.

#include <gtest/gtest.h>

#include <string>

#include "COffscreenContext.h"

namespace ToolkitTest {

using Toolkit::ViewColor;
using Toolkit::ViewPoint;
using Toolkit::ViewRect;

constexpr ViewColor kBlack{0, 0, 0, 255};
constexpr ViewColor kWhite{255, 255, 255, 255};
constexpr ViewColor kRed{255, 0, 0, 255};
constexpr ViewColor kGreen{0, 255, 0, 255};

class Canvas {
public:
    Canvas(int32_t width, int32_t height, std::string label = {});
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Toolkit::COffscreenContext* operator->() { return context; }
    Toolkit::COffscreenContext* get() { return context; }
    ViewColor at(int32_t x, int32_t y) { return context->pixelAt(x, y); }
    // Writes the picture as <test name>[-label].png now; returns the file name.
    std::string save();

    // The bounding box of pixels whose green channel exceeds threshold (text is drawn white on
    // black); empty when none.
    ViewRect inkBounds(int32_t threshold = 127);
    // Number of pixels that differ from the other canvas by more than tolerance in any channel.
    int32_t differingPixels(Canvas& other, int32_t tolerance = 0);

private:
    Toolkit::COffscreenContext* context;
    std::string label;
};

std::string colorText(ViewColor color);

}  // namespace ToolkitTest

namespace Toolkit {
inline void PrintTo(const ViewColor& color, std::ostream* out) { *out << ToolkitTest::colorText(color); }
inline void PrintTo(const ViewRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace Toolkit
