#include "COffscreenContext.h"

#include "CBitmap.h"
#include "PlatformGraphics.h"

namespace Toolkit {

namespace {
std::unique_ptr<Platform::Graphics> graphicsOn(CBitmap* bitmap) {
    Platform::Image* image = bitmap->platformImage();
    return image ? Platform::createImageGraphics(*image) : nullptr;
}
}  // namespace

COffscreenContext::COffscreenContext(CView* frame, int32_t width, int32_t height, ViewColor background)
    : COffscreenContext(frame, new CBitmap(width, height), width, height, background) {}

COffscreenContext::COffscreenContext(CView* frame, CBitmap* bitmap, int32_t width, int32_t height, ViewColor background)
    : CDrawContext(frame, graphicsOn(bitmap), ViewRect{0, 0, width, height}),
      image(bitmap),
      contextWidth(width),
      contextHeight(height),
      background(background) {}

COffscreenContext::~COffscreenContext() {
    dropGraphics();
    image->release();
}

void COffscreenContext::copyTo(CDrawContext* destination, const ViewRect& area) {
    image->blit(destination, area, area.topLeft());
}

void COffscreenContext::copyTo(CDrawContext* destination, const ViewRect& rect, const ViewPoint& sourceOffset) {
    image->blit(destination, rect, sourceOffset);
}

ViewColor COffscreenContext::pixelAt(int32_t x, int32_t y) {
    Platform::Image* platformImage = image->platformImage();
    return platformImage ? platformImage->pixel(x, y) : ViewColor{0, 0, 0, 0};
}

bool COffscreenContext::writePng(const char* path) {
    Platform::Image* platformImage = image->platformImage();
    return platformImage && path && platformImage->writePng(path);
}

}  // namespace Toolkit
