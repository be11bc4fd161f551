#include "WindowHost.h"

#include <gdiplus.h>

#include "CDragContainer.h"
#include "CDrawContext.h"

namespace FrameWindowTest {

HWND createHostWindow(int32_t width, int32_t height) {
    static const wchar_t* hostClass = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = L"KorvelTestHost";
        RegisterClassW(&windowClass);
        return L"KorvelTestHost";
    }();
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowExW(0, hostClass, L"Korvel test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 100,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    pump();
    return host;
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        pump();
    }
    return true;
}

POINT screenPoint(HWND window, int32_t x, int32_t y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

ScreenPicture::ScreenPicture(HWND window, int32_t width, int32_t height)
    : width(width), height(height), pixels(size_t(width) * size_t(height)) {
    HDC windowDevice = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDevice);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, windowDevice, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0xffffffu;
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, windowDevice);
}

ViewColor ScreenPicture::at(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {0, 0, 0, 0};
    return ViewColor::fromArgb(0xff000000u | pixels[size_t(y) * size_t(width) + size_t(x)]);
}

namespace {

// Keeps GDI+ started for one file operation.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (started) Gdiplus::GdiplusShutdown(token);
    }
    bool started = false;

private:
    ULONG_PTR token = 0;
};

bool pngEncoder(CLSID& encoder) {
    UINT count = 0, bytes = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<unsigned char> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i)
        if (lstrcmpW(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace

bool ScreenPicture::writePng(const wchar_t* path) const {
    using namespace Gdiplus::DllExports;
    GdiplusSession session;
    CLSID encoder;
    if (!session.started || !pngEncoder(encoder)) return false;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels.data())), &bitmap) != Gdiplus::Ok)
        return false;
    const bool written = GdipSaveImageToFile(bitmap, path, &encoder, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(bitmap);
    return written;
}

ScreenPicture readPicture(const wchar_t* path) {
    using namespace Gdiplus::DllExports;
    ScreenPicture picture(nullptr, 0, 0);
    GdiplusSession session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (!session.started || GdipCreateBitmapFromFile(path, &bitmap) != Gdiplus::Ok) return picture;
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    picture.width = int32_t(width);
    picture.height = int32_t(height);
    picture.pixels.resize(size_t(width) * size_t(height));
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            Gdiplus::ARGB colour = 0;
            GdipBitmapGetPixel(bitmap, INT(x), INT(y), &colour);
            picture.pixels[size_t(y) * width + x] = colour & 0xffffffu;
        }
    GdipDisposeImage(bitmap);
    return picture;
}

void RecordingView::paint(CDrawContext* context) {
    context->setFillColor(colour);
    context->drawRect(size, kDrawFilled);
    CView::paint(context);
}

void RecordingView::paintRect(CDrawContext* context, const ViewRect& update) {
    paintedUpdates.push_back(update);
    CView::paintRect(context, update);
}

bool RecordingView::wheel(ViewPoint p, float distance, ButtonState b) {
    log("wheel " + std::to_string(int(distance)), p, b);
    return true;
}

int32_t RecordingView::keyDown(KeyCode& key) {
    journal.push_back(name + " key " + std::to_string(key.character));
    return 1;
}

void RecordingView::log(const std::string& event, ViewPoint p, ButtonState b) {
    std::string entry = name + " " + event + " " + std::to_string(p.x) + "," + std::to_string(p.y);
    if (b) entry += " b" + std::to_string(b);
    journal.push_back(entry);
}

void RecordingView::read(CDragContainer* drag) {
    dragItems.clear();
    CDragContainer::ItemType type = CDragContainer::ItemType::Unknown;
    for (int32_t i = 0; i < drag->count(); ++i) {
        const char* item = drag->item(i, type);
        dragItems.push_back(std::string(type == CDragContainer::ItemType::File ? "file:" : "text:") +
                            (item ? item : "<null>"));
    }
    if (drag->item(drag->count(), type)) dragItems.push_back("<an item past the end>");
}

}  // namespace FrameWindowTest
