// The drawing backend on Windows: GDI+ through its flat interface, on a window's device context or
// on a 32-bit ARGB bitmap in memory.

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "CFontDesc.h"
#include "GDIPlusGlobals.h"
#include "ModuleInstance.h"
#include "PlatformGraphics.h"
#include "ResourceStream.h"

namespace Toolkit::Platform {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

std::wstring wideFromUtf8(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), length);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

class GdiplusImage final : public Image {
public:
    explicit GdiplusImage(GpBitmap* bitmap) : bitmap(bitmap) {
        UINT value = 0;
        GdipGetImageWidth(bitmap, &value);
        imageWidth = static_cast<int32_t>(value);
        GdipGetImageHeight(bitmap, &value);
        imageHeight = static_cast<int32_t>(value);
    }
    ~GdiplusImage() override { GdipDisposeImage(bitmap); }

    int32_t width() const override { return imageWidth; }
    int32_t height() const override { return imageHeight; }

    ViewColor pixel(int32_t x, int32_t y) override {
        if (x < 0 || y < 0 || x >= imageWidth || y >= imageHeight) return {0, 0, 0, 0};
        ARGB value = 0;
        if (GdipBitmapGetPixel(bitmap, x, y, &value) != Ok) return {0, 0, 0, 0};
        return ViewColor::fromArgb(value);
    }

    bool writePng(const char* path) override {
        UINT count = 0, bytes = 0;
        if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0) return false;
        std::vector<BYTE> buffer(bytes);
        auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
        if (GdipGetImageEncoders(count, bytes, encoders) != Ok) return false;
        for (UINT i = 0; i < count; ++i) {
            if (encoders[i].MimeType && std::wstring(encoders[i].MimeType) == L"image/png")
                return GdipSaveImageToFile(bitmap, wideFromUtf8(path).c_str(), &encoders[i].Clsid, nullptr) == Ok;
        }
        return false;
    }

    GpBitmap* bitmap;

private:
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
};

class GdiplusFont final : public Font {
public:
    explicit GdiplusFont(GpFont* font) : font(font) {}
    ~GdiplusFont() override { GdipDeleteFont(font); }
    GpFont* font;
};

class GdiplusGraphics final : public Graphics {
public:
    GdiplusGraphics(GpGraphics* graphics, HWND window, HDC ownDeviceContext)
        : graphics(graphics), window(window), ownDeviceContext(ownDeviceContext) {
        check(GdipSetInterpolationMode(graphics, InterpolationModeLowQuality));
        check(GdipSetPageUnit(graphics, UnitPixel));
        check(GdipCreatePen1(0xff000000, 1.0f, UnitWorld, &pen));
        check(GdipCreateSolidFill(0xff000000, &fillBrush));
        check(GdipCreateSolidFill(0xff000000, &textBrush));
    }
    ~GdiplusGraphics() override {
        if (textBrush) GdipDeleteBrush(textBrush);
        if (fillBrush) GdipDeleteBrush(fillBrush);
        if (pen) GdipDeletePen(pen);
        GdipDeleteGraphics(graphics);
        if (ownDeviceContext) ReleaseDC(window, ownDeviceContext);
    }

    void setPenColor(ViewColor color) override {
        if (pen) check(GdipSetPenColor(pen, color.argb()));
    }
    void setPenWidth(int32_t width) override {
        if (pen) check(GdipSetPenWidth(pen, static_cast<REAL>(width)));
    }
    void setPenDashed(bool dashed) override {
        if (pen) check(GdipSetPenDashStyle(pen, dashed ? DashStyleDash : DashStyleSolid));
    }
    void setSmoothing(bool antialiased) override {
        check(GdipSetSmoothingMode(graphics, antialiased ? SmoothingModeAntiAlias : SmoothingModeNone));
    }
    void setFillColor(ViewColor color) override {
        if (fillBrush) check(GdipSetSolidFillColor(fillBrush, color.argb()));
    }
    void setTextColor(ViewColor color) override {
        if (textBrush) check(GdipSetSolidFillColor(textBrush, color.argb()));
    }
    void setClip(const ViewRect& clip) override {
        check(GdipSetClipRectI(graphics, clip.left, clip.top, std::max(0, clip.width()), std::max(0, clip.height()),
                               CombineModeReplace));
    }

    void drawLine(ViewPoint from, ViewPoint to) override {
        if (pen) check(GdipDrawLineI(graphics, pen, from.x, from.y, to.x, to.y));
    }
    void fillRectangle(int32_t x, int32_t y, int32_t width, int32_t height) override {
        if (fillBrush)
            check(GdipFillRectangle(graphics, fillBrush, static_cast<REAL>(x), static_cast<REAL>(y),
                                    static_cast<REAL>(width), static_cast<REAL>(height)));
    }
    void strokeRectangle(int32_t x, int32_t y, int32_t width, int32_t height) override {
        if (pen)
            check(GdipDrawRectangle(graphics, pen, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                                    static_cast<REAL>(height)));
    }

    float lineHeight(Font& font) override {
        REAL dpi = 96.0f, height = 0.0f;
        check(GdipGetDpiY(graphics, &dpi));
        check(GdipGetFontHeightGivenDPI(static_cast<GdiplusFont&>(font).font, dpi, &height));
        return height;
    }

    float measureString(Font& font, const char* utf8) override {
        const std::wstring text = wideFromUtf8(utf8);
        RectF layout(0.0f, 0.0f, 0.0f, 0.0f), bounds(0.0f, 0.0f, 0.0f, 0.0f);
        check(GdipMeasureString(graphics, text.c_str(), static_cast<INT>(text.size()),
                                static_cast<GdiplusFont&>(font).font, &layout, nullptr, &bounds, nullptr, nullptr));
        return bounds.Width;
    }

    void drawString(Font& font, const char* utf8, float left, float top, bool antialias) override {
        if (!textBrush) return;
        check(GdipSetTextRenderingHint(graphics, antialias ? TextRenderingHintClearTypeGridFit
                                                           : TextRenderingHintSystemDefault));
        const std::wstring text = wideFromUtf8(utf8);
        const RectF layout(left, top, 0.0f, 0.0f);
        check(GdipDrawString(graphics, text.c_str(), static_cast<INT>(text.size()),
                             static_cast<GdiplusFont&>(font).font, &layout, nullptr, textBrush));
    }

    void drawImage(Image& image, const ViewRect& source, ViewPoint destination, uint8_t alpha) override {
        GpBitmap* bitmap = static_cast<GdiplusImage&>(image).bitmap;
        const INT width = source.width(), height = source.height();
        if (alpha == 255) {
            check(GdipDrawImageRectRectI(graphics, bitmap, destination.x, destination.y, width, height, source.left,
                                         source.top, width, height, UnitPixel, nullptr, nullptr, nullptr));
            return;
        }
        // The part goes through a temporary bitmap of its own size, drawn with its alpha scaled.
        GpBitmap* part = nullptr;
        if (!check(GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &part))) return;
        GpGraphics* partGraphics = nullptr;
        if (check(GdipGetImageGraphicsContext(part, &partGraphics))) {
            check(GdipSetPageUnit(partGraphics, UnitPixel));
            check(GdipDrawImageRectRectI(partGraphics, bitmap, 0, 0, width, height, source.left, source.top, width,
                                         height, UnitPixel, nullptr, nullptr, nullptr));
            GdipDeleteGraphics(partGraphics);
            GpImageAttributes* attributes = nullptr;
            if (check(GdipCreateImageAttributes(&attributes))) {
                ColorMatrix matrix = {};
                for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
                matrix.m[3][3] = static_cast<REAL>(alpha) / 255.0f;
                check(GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                                        ColorMatrixFlagsDefault));
                check(GdipDrawImageRectRectI(graphics, part, destination.x, destination.y, width, height, 0, 0,
                                             width, height, UnitPixel, attributes, nullptr, nullptr));
                GdipDisposeImageAttributes(attributes);
            }
        }
        GdipDisposeImage(part);
    }

    int32_t lastStatus() const override { return status; }

private:
    bool check(GpStatus result) {
        if (result != Ok) status = static_cast<int32_t>(result);
        return result == Ok;
    }

    GpGraphics* graphics;
    HWND window;
    HDC ownDeviceContext;
    GpPen* pen = nullptr;
    GpSolidFill* fillBrush = nullptr;
    GpSolidFill* textBrush = nullptr;
    int32_t status = 0;
};

HMODULE resourceModule() {
    auto* module = static_cast<HMODULE>(moduleInstance());
    return module ? module : GetModuleHandleW(nullptr);
}

// A "DATA" resource in any format the decoder knows; null when there is none.
GpBitmap* decodeDataResource(HMODULE module, int32_t id, const char* name) {
    HRSRC found = FindResourceA(module, name ? name : MAKEINTRESOURCEA(id), "DATA");
    if (!found) return nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return nullptr;
    auto* stream = new ResourceStream(bytes, size);
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStreamICM(stream, &bitmap) != Ok) bitmap = nullptr;
    stream->Release();
    return bitmap;
}

GpFontFamily* firstInstalledFamily() {
    GpFontCollection* collection = nullptr;
    if (GdipNewInstalledFontCollection(&collection) != Ok) return nullptr;
    GpFontFamily* first = nullptr;
    INT found = 0;
    if (GdipGetFontCollectionFamilyList(collection, 1, &first, &found) != Ok || found < 1 || !first) return nullptr;
    GpFontFamily* copy = nullptr;
    return GdipCloneFontFamily(first, &copy) == Ok ? copy : nullptr;
}

GpFont* fontOf(GpFontFamily* family, int32_t size, int32_t style) {
    GpFont* font = nullptr;
    if (!family || GdipCreateFont(family, static_cast<REAL>(size), style, UnitPixel, &font) != Ok) return nullptr;
    return font;
}

}  // namespace

void retainLibrary() { GDIPlusGlobals::enter(); }
void releaseLibrary() { GDIPlusGlobals::leave(); }

std::unique_ptr<Graphics> createWindowGraphics(void* deviceContext, void* window, ViewPoint& windowOrigin) {
    auto hwnd = static_cast<HWND>(window);
    if (hwnd) {
        RECT rect;
        if (GetWindowRect(hwnd, &rect)) windowOrigin = ViewPoint{rect.left, rect.top};
    }
    auto hdc = static_cast<HDC>(deviceContext);
    HDC ownDeviceContext = nullptr;
    if (!hdc && hwnd) hdc = ownDeviceContext = GetDC(hwnd);
    if (!hdc) return nullptr;
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(hdc, &graphics) != Ok) {
        if (ownDeviceContext) ReleaseDC(hwnd, ownDeviceContext);
        return nullptr;
    }
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeNone);
    return std::make_unique<GdiplusGraphics>(graphics, hwnd, ownDeviceContext);
}

std::unique_ptr<Graphics> createImageGraphics(Image& image) {
    GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(static_cast<GdiplusImage&>(image).bitmap, &graphics) != Ok) return nullptr;
    return std::make_unique<GdiplusGraphics>(graphics, nullptr, nullptr);
}

std::unique_ptr<Image> createImage(int32_t width, int32_t height) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok) return nullptr;
    return std::make_unique<GdiplusImage>(bitmap);
}

std::unique_ptr<Image> createImageFromPixels(int32_t width, int32_t height, const uint32_t* premultipliedArgb) {
    // The library reads the caller's pixels in place; a clone owns a copy of them.
    GpBitmap* view = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(const_cast<uint32_t*>(premultipliedArgb)), &view) != Ok)
        return nullptr;
    GpImage* copy = nullptr;
    const GpStatus cloned = GdipCloneImage(view, &copy);
    GdipDisposeImage(view);
    if (cloned != Ok) return nullptr;
    return std::make_unique<GdiplusImage>(static_cast<GpBitmap*>(copy));
}

std::unique_ptr<Image> loadResourceImage(int32_t id, const char* name) {
    HMODULE module = resourceModule();
    GpBitmap* bitmap = decodeDataResource(module, id, name);
    if (!bitmap) {
        const std::wstring wideName = name ? wideFromUtf8(name) : std::wstring();
        if (GdipCreateBitmapFromResource(module, name ? wideName.c_str() : MAKEINTRESOURCEW(id), &bitmap) != Ok)
            bitmap = nullptr;
    }
    if (!bitmap) return nullptr;
    return std::make_unique<GdiplusImage>(bitmap);
}

std::unique_ptr<Font> createFont(const char* name, int32_t size, int32_t style) {
    wchar_t wideName[201] = {};
    if (name && std::mbstowcs(wideName, name, 200) == static_cast<size_t>(-1)) wideName[0] = L'\0';
    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(wideName, nullptr, &family) != Ok) family = nullptr;
    GpFont* font = nullptr;
    if (family) {
        font = fontOf(family, size, style);
        GdipDeleteFontFamily(family);
    }
    if (!font) font = fontOf(GDIPlusGlobals::genericSansSerif(), size, style);
    // Neither the family nor the generic one exists (as under Wine without a replacement, or on a
    // system without Arial): any installed family is better than text that silently disappears.
    if (!font) {
        GpFontFamily* first = firstInstalledFamily();
        font = fontOf(first, size, style);
        if (first) GdipDeleteFontFamily(first);
    }
    if (!font) return nullptr;
    return std::make_unique<GdiplusFont>(font);
}

}  // namespace Toolkit::Platform
