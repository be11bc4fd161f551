#include "CBitmap.h"

#include "CDrawContext.h"
#include "PlatformGraphics.h"

namespace Toolkit {

namespace {

std::unique_ptr<Platform::Image> loadResource(const ResourceDescription& resource) {
    return Platform::loadResourceImage(resource.id, resource.name.empty() ? nullptr : resource.name.c_str());
}

// Draws the part of image at sourceOffset, of rect's size, at rect, leaving out what lies outside the image.
void drawPart(Platform::Image* image, CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset,
              uint8_t alpha) {
    if (!image || !context || !context->graphics()) return;
    const ViewRect wanted = ViewRect::fromSize(sourceOffset, rect.width(), rect.height());
    const ViewRect source = wanted.intersection(ViewRect{0, 0, image->width(), image->height()});
    if (source.isEmpty()) return;
    const ViewPoint destination =
        ViewPoint{rect.left, rect.top} + (source.topLeft() - sourceOffset) + context->offset();
    context->graphics()->drawImage(*image, source, destination, alpha);
}

}  // namespace

CBitmap::CBitmap(const ResourceDescription& resource) : resource(resource) {
    Platform::retainLibrary();
    adopt(loadResource(resource));
}

CBitmap::CBitmap(int32_t width, int32_t height) : resource(0) {
    Platform::retainLibrary();
    if (width > 0 && height > 0) adopt(Platform::createImage(width, height));
}

CBitmap::CBitmap(int32_t width, int32_t height, const uint32_t* premultipliedArgb) : resource(0) {
    Platform::retainLibrary();
    if (width > 0 && height > 0 && premultipliedArgb)
        adopt(Platform::createImageFromPixels(width, height, premultipliedArgb));
}

CBitmap::~CBitmap() {
    image.reset();
    Platform::releaseLibrary();
}

void CBitmap::adopt(std::unique_ptr<Platform::Image> newImage) {
    image = std::move(newImage);
    imageWidth = image ? image->width() : 0;
    imageHeight = image ? image->height() : 0;
}

void CBitmap::blit(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset) {
    drawPart(image.get(), context, rect, sourceOffset, 255);
}

void CBitmap::blitTransparent(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset) {
    blit(context, rect, sourceOffset);
}

void CBitmap::blitAlpha(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset, uint8_t alpha) {
    if (alpha == 255)
        blit(context, rect, sourceOffset);
    else
        drawPart(image.get(), context, rect, sourceOffset, alpha);
}

void CBitmap::freeImage() { adopt(nullptr); }

bool CBitmap::reloadFromResource(const ResourceDescription& newResource) {
    freeImage();
    resource = newResource;
    adopt(loadResource(resource));
    return image != nullptr;
}

}  // namespace Toolkit
