#pragma once

#include <cstdint>

namespace Toolkit {

// A control whose bitmap holds several images of equal height stacked vertically.
class IMultiBitmapControl {
public:
    virtual ~IMultiBitmapControl() = default;
    virtual void setHeightOfOneImage(int32_t height) { imageHeight = height; }
    virtual int32_t heightOfOneImage() const { return imageHeight; }
    // Takes the control's own height as the height of one image.
    virtual void autoComputeHeightOfOneImage() = 0;

protected:
    int32_t imageHeight = 0;
};

}  // namespace Toolkit
