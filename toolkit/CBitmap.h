#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CBaseObject.h"
#include "ViewTypes.h"

namespace Toolkit {

namespace Platform {
class Image;
}
class CDrawContext;

// Which module resource a bitmap comes from: an integer id, or a name when name is not empty.
struct ResourceDescription {
    int32_t id = 0;
    std::string name;

    ResourceDescription(int32_t id) : id(id) {}  // NOLINT: an id converts implicitly
    ResourceDescription(const char* name) : name(name ? name : "") {}  // NOLINT
};

// A pixel image: a bitmap resource of the module, an empty image of a given size (the target of an
// offscreen context), or premultiplied ARGB pixels. Draws 1:1, never scaled. A resource that does not
// exist gives a bitmap of 0 x 0 that draws nothing.
class CBitmap : public CBaseObject {
public:
    explicit CBitmap(const ResourceDescription& resource);
    // A transparent ARGB image of this size.
    CBitmap(int32_t width, int32_t height);
    // An image made from width x height premultiplied ARGB pixels.
    CBitmap(int32_t width, int32_t height, const uint32_t* premultipliedArgb);
    ~CBitmap() override;

    // Draws the part of the image at the source offset, of the rectangle's size, at the rectangle.
    // Parts of that area outside the image leave the destination unchanged.
    virtual void blit(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset = {});
    // Same as blit: the images have no transparent colour key.
    virtual void blitTransparent(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset = {});
    // As blit with the image's alpha multiplied by alpha / 255.
    virtual void blitAlpha(CDrawContext* context, const ViewRect& rect, const ViewPoint& sourceOffset, uint8_t alpha);
    // Frees the image; width and height become 0.
    virtual void freeImage();
    // Frees the image, then loads the resource as the constructor does; true when an image resulted.
    virtual bool reloadFromResource(const ResourceDescription& resource);

    int32_t width() const { return imageWidth; }
    int32_t height() const { return imageHeight; }

    ViewColor transparentColor() const { return transparent; }
    void setTransparentColor(ViewColor color) { transparent = color; }
    bool noAlpha() const { return withoutAlpha; }
    void setNoAlpha(bool value) { withoutAlpha = value; }

    // The platform image, or null when the bitmap is empty.
    Platform::Image* platformImage() { return image.get(); }

private:
    void adopt(std::unique_ptr<Platform::Image> newImage);

    ResourceDescription resource;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    ViewColor transparent{255, 255, 255, 0};
    bool withoutAlpha = false;
    std::unique_ptr<Platform::Image> image;
};

}  // namespace Toolkit
