#pragma once

// The seam between the portable drawing classes and the 2-D library of the platform. Exactly one
// backend implements it in each build: GDI+ on Windows (win32/), cairo on Linux (linux/). Nothing
// outside toolkit/ includes this header.

#include <cstdint>
#include <memory>

#include "ViewTypes.h"

namespace Toolkit::Platform {

// A font made by the backend: family resolved, size in pixels, style bits applied.
class Font {
public:
    virtual ~Font() = default;
};

// A 32-bit ARGB pixel image.
class Image {
public:
    virtual ~Image() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    // The pixel with straight alpha; transparent black outside the image.
    virtual ViewColor pixel(int32_t x, int32_t y) = 0;
    virtual bool writePng(const char* path) = 0;
};

// Drawing state and operations of one target (a window's device or an image). Coordinates are
// device pixels; the caller has already added its offset.
class Graphics {
public:
    virtual ~Graphics() = default;

    virtual void setPenColor(ViewColor color) = 0;
    virtual void setPenWidth(int32_t width) = 0;
    virtual void setPenDashed(bool dashed) = 0;
    virtual void setSmoothing(bool antialiased) = 0;
    virtual void setFillColor(ViewColor color) = 0;
    virtual void setTextColor(ViewColor color) = 0;
    virtual void setClip(const ViewRect& clip) = 0;

    virtual void drawLine(ViewPoint from, ViewPoint to) = 0;
    // Fills width x height pixels from (x, y).
    virtual void fillRectangle(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // Strokes the outline whose pen centre runs through the pixels (x, y) and (x + width, y + height).
    virtual void strokeRectangle(int32_t x, int32_t y, int32_t width, int32_t height) = 0;

    // Distance between two lines of text in the font, in pixels.
    virtual float lineHeight(Font& font) = 0;
    // Width of the text's layout box in the font, in pixels.
    virtual float measureString(Font& font, const char* utf8) = 0;
    // Draws the text with its layout box's top-left corner at (left, top).
    virtual void drawString(Font& font, const char* utf8, float left, float top, bool antialias) = 0;

    // Draws the source area of the image 1:1 at the destination, its alpha scaled by alpha / 255.
    virtual void drawImage(Image& image, const ViewRect& source, ViewPoint destination, uint8_t alpha) = 0;

    // Status of the last failing platform call, 0 when none failed.
    virtual int32_t lastStatus() const = 0;
};

// Holds the graphics library started while any context or bitmap needs it.
void retainLibrary();
void releaseLibrary();

// A target on a window (or its device context); null when both are null or the platform has none.
// Stores the window's screen position in windowOrigin when a window is given.
std::unique_ptr<Graphics> createWindowGraphics(void* deviceContext, void* window, ViewPoint& windowOrigin);
std::unique_ptr<Graphics> createImageGraphics(Image& image);

// A transparent ARGB image; null when it cannot be made.
std::unique_ptr<Image> createImage(int32_t width, int32_t height);
// An image from premultiplied ARGB pixels, rows of width values.
std::unique_ptr<Image> createImageFromPixels(int32_t width, int32_t height, const uint32_t* premultipliedArgb);
// The bitmap resource of the module with this id (or name when name is not null); null when missing.
std::unique_ptr<Image> loadResourceImage(int32_t id, const char* name);

// Resolves the family (falling back to a generic sans-serif family, then to the first installed
// family); null only when no font exists at all.
std::unique_ptr<Font> createFont(const char* name, int32_t size, int32_t style);

}  // namespace Toolkit::Platform
