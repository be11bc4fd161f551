#include "FrameWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "CFrame.h"
#include "COffscreenContext.h"
#include "DropTarget.h"
#include "GDIPlusGlobals.h"
#include "ModuleInstance.h"
#include "TextEntryColors.h"

namespace Toolkit {

std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame& frame, void* parentWindow) {
    return std::make_unique<FrameWindow>(frame, static_cast<HWND>(parentWindow));
}

namespace {

// The window class is shared by every frame of the process: registered with the first, removed
// with the last.
int classUsers = 0;
wchar_t className[32] = L"";
// Whether the user swapped the mouse buttons, read when the class is registered.
bool buttonsSwapped = false;

HINSTANCE instanceHandle() {
    if (auto* instance = static_cast<HINSTANCE>(moduleInstance())) return instance;
    return GetModuleHandleW(nullptr);
}

bool useWindowClass(WNDPROC procedure) {
    if (classUsers > 0) {
        ++classUsers;
        return true;
    }
    wsprintfW(className, L"Plugin%p", static_cast<void*>(instanceHandle()));
    WNDCLASSW windowClass{};
    windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instanceHandle();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = className;
    if (!RegisterClassW(&windowClass)) return false;
    buttonsSwapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    classUsers = 1;
    return true;
}

void leaveWindowClass() {
    if (classUsers > 0 && --classUsers == 0) UnregisterClassW(className, instanceHandle());
}

int majorWindowsVersion() { return LOBYTE(LOWORD(GetVersion())); }

ViewPoint messagePoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool keyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

FrameWindow::FrameWindow(CFrame& frame, HWND parent) : frame(frame) {
    if (!parent || !useWindowClass(windowProcedure)) return;
    const ViewRect& size = frame.viewSize();
    // Composited windows paint double-buffered by the system; older systems get an offscreen buffer.
    const DWORD extendedStyle = majorWindowsVersion() >= 6 ? WS_EX_COMPOSITED : 0;
    window = CreateWindowExW(extendedStyle, className, L"Window",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, size.width(),
                             size.height(), parent, nullptr, instanceHandle(), nullptr);
    if (!window) {
        leaveWindowClass();
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&frame));
    oleStarted = SUCCEEDED(OleInitialize(nullptr));
    GDIPlusGlobals::enter();
}

FrameWindow::~FrameWindow() {
    if (!window) return;
    if (defaultCursorKnown) SetCursor(defaultCursor);
    if (dropTarget) {
        RevokeDragDrop(window);
        dropTarget->Release();
        dropTarget = nullptr;
    }
    if (offscreen) offscreen->release();
    if (oleStarted) OleUninitialize();
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // The host may have destroyed its window, and ours with it, already.
    if (IsWindow(window)) DestroyWindow(window);
    if (editBrush) DeleteObject(editBrush);
    leaveWindowClass();
    GDIPlusGlobals::leave();
}

LRESULT CALLBACK FrameWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* frame = reinterpret_cast<CFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    auto* self = frame ? static_cast<FrameWindow*>(frame->platformWindow()) : nullptr;
    if (!self || self->window != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

ButtonState FrameWindow::messageButtons(WPARAM wParam) {
    const WORD keys = LOWORD(wParam);
    ButtonState buttons = 0;
    if (keys & MK_LBUTTON) buttons |= kLButton;
    if (keys & MK_MBUTTON) buttons |= kMButton;
    if (keys & MK_RBUTTON) buttons |= kRButton;
    if (keys & MK_SHIFT) buttons |= kShift;
    if (keys & MK_CONTROL) buttons |= kControl;
    if (keys & MK_XBUTTON1) buttons |= kButton4;
    if (keys & MK_XBUTTON2) buttons |= kButton5;
    if (keyDown(VK_MENU)) buttons |= kAlt;
    return buttons;
}

LRESULT FrameWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            frame.setOpen(false);
            frame.setParentWindow(nullptr);
            break;
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CTLCOLOREDIT:
            return editColors(reinterpret_cast<HDC>(wParam));
        case WM_MOUSEMOVE:
            frame.pointerMoved(messagePoint(lParam), messageButtons(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDBLCLK: {
            ButtonState buttons = messageButtons(wParam);
            if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK ||
                message == WM_XBUTTONDBLCLK)
                buttons |= kDoubleClick;
            if (frame.pointerDown(messagePoint(lParam), buttons) == kMouseHandled) SetCapture(window);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
            frame.pointerUp(messagePoint(lParam), messageButtons(wParam));
            ReleaseCapture();
            return 0;
        case WM_MOUSEWHEEL: {
            ButtonState buttons = 0;
            if (keyDown(VK_SHIFT)) buttons |= kShift;
            if (keyDown(VK_CONTROL)) buttons |= kControl;
            if (keyDown(VK_MENU)) buttons |= kAlt;
            // The message carries the pointer's screen position.
            const ViewPoint where = messagePoint(lParam) - screenOrigin();
            // Smooth-scrolling devices send parts of a notch; the controls add the parts up.
            const float distance = float(GET_WHEEL_DELTA_WPARAM(wParam)) / float(WHEEL_DELTA);
            if (frame.wheel(where, distance, buttons)) return 0;  // taken: the host's window stays
            break;  // over no control the host may scroll
        }
        case WM_MOUSELEAVE:
            frame.pointerExited(currentMousePosition(), currentButtons());
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FrameWindow::paint() {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetUpdateRgn(window, region, FALSE) == NULLREGION) {
        DeleteObject(region);
        return;
    }
    PAINTSTRUCT paintStruct;
    HDC deviceContext = BeginPaint(window, &paintStruct);
    const ViewRect update{paintStruct.rcPaint.left, paintStruct.rcPaint.top, paintStruct.rcPaint.right,
                          paintStruct.rcPaint.bottom};
    const ViewRect& size = frame.viewSize();
    auto* context = new CDrawContext(&frame, deviceContext, window, size);
    if (majorWindowsVersion() < 6) {
        if (!offscreen) offscreen = new COffscreenContext(&frame, size.width(), size.height(), ViewColor{0, 0, 0, 255});
        frame.paintRect(offscreen, update);
        offscreen->copyTo(context, update);
    } else {
        frame.paintRect(context, update);
    }
    context->release();
    EndPaint(window, &paintStruct);
    DeleteObject(region);
}

LRESULT FrameWindow::editColors(HDC deviceContext) {
    auto* colors = dynamic_cast<TextEntryColors*>(frame.focusedView());
    if (!colors) return DefWindowProcW(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(deviceContext), 0);
    const ViewColor text = colors->textEntryFontColor();
    const ViewColor back = colors->textEntryBackColor();
    SetTextColor(deviceContext, RGB(text.red, text.green, text.blue));
    SetBkColor(deviceContext, RGB(back.red, back.green, back.blue));
    if (editBrush) DeleteObject(editBrush);
    editBrush = CreateSolidBrush(RGB(back.red, back.green, back.blue));
    return reinterpret_cast<LRESULT>(editBrush);
}

ViewPoint FrameWindow::screenOrigin() const {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

void FrameWindow::invalidateRect(const ViewRect& rect) {
    if (!window) return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window, &area, TRUE);
}

CDrawContext* FrameWindow::createDrawContext() {
    if (!window) return nullptr;
    return new CDrawContext(&frame, nullptr, window, frame.viewSize());
}

void FrameWindow::trackMouseLeave() {
    if (!window) return;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void FrameWindow::captureMouse() {
    if (window) SetCapture(window);
}

void FrameWindow::releaseMouse() {
    if (window && GetCapture() == window) ReleaseCapture();
}

ButtonState FrameWindow::currentButtons() const {
    auto held = [](int key) { return GetAsyncKeyState(key) < 0; };
    ButtonState buttons = 0;
    if (held(VK_LBUTTON)) buttons |= buttonsSwapped ? kRButton : kLButton;
    if (held(VK_RBUTTON)) buttons |= buttonsSwapped ? kLButton : kRButton;
    if (held(VK_MBUTTON)) buttons |= kMButton;
    if (held(VK_SHIFT)) buttons |= kShift;
    if (held(VK_CONTROL)) buttons |= kControl;
    if (held(VK_MENU)) buttons |= kAlt;
    return buttons;
}

ViewPoint FrameWindow::currentMousePosition() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!window) return {cursor.x, cursor.y};
    return ViewPoint{cursor.x, cursor.y} - screenOrigin();
}

void FrameWindow::setCursorKind(CursorKind kind) {
    if (!defaultCursorKnown) {
        defaultCursor = GetCursor();
        defaultCursorKnown = true;
    }
    LPCSTR shape = nullptr;
    switch (kind) {
        case kCursorWait: shape = IDC_WAIT; break;
        case kCursorSizeWestEast: shape = IDC_SIZEWE; break;
        case kCursorSizeNorthSouth: shape = IDC_SIZENS; break;
        case kCursorSizeAll: shape = IDC_SIZEALL; break;
        case kCursorSizeNorthEastSouthWest: shape = IDC_SIZENESW; break;
        case kCursorSizeNorthWestSouthEast: shape = IDC_SIZENWSE; break;
        case kCursorNotAllowed: shape = IDC_NO; break;
        case kCursorHand: shape = IDC_HAND; break;
        default: break;
    }
    SetCursor(shape ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(shape)) : defaultCursor);
}

bool FrameWindow::resize(int32_t width, int32_t height) {
    if (!window) return false;
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
    // Each window up the host's chain grows by the borders collected below it.
    const int dialogFrames = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    int extraWidth = 0, extraHeight = 0;
    HWND current = window;
    auto resizeCurrent = [&] {
        SetWindowPos(current, HWND_TOP, 0, 0, width + extraWidth, height + extraHeight, SWP_NOMOVE);
    };
    while (true) {
        HWND parent = GetParent(current);
        wchar_t parentClass[16] = L"";
        if (parent) GetClassNameW(parent, parentClass, 16);
        if (extraWidth == dialogFrames || !parent || lstrcmpW(parentClass, L"MDIClient") == 0) {
            resizeCurrent();
            return true;
        }
        // The parent's border around the current window, measured before the current one changes.
        RECT inner{}, outer{};
        GetWindowRect(current, &inner);
        GetWindowRect(parent, &outer);
        resizeCurrent();
        extraWidth = std::max(0, extraWidth + int((outer.right - outer.left) - (inner.right - inner.left)));
        extraHeight = std::max(0, extraHeight + int((outer.bottom - outer.top) - (inner.bottom - inner.top)));
        if (extraWidth > 80 || extraHeight > 80) return true;
        current = parent;
    }
}

bool FrameWindow::enableDropTarget(bool on) {
    if (!window) return false;
    if (dropTarget) {
        RevokeDragDrop(window);
        dropTarget->Release();
        dropTarget = nullptr;
    }
    if (!on) return true;
    dropTarget = new CDropTarget(frame, window);
    if (RegisterDragDrop(window, dropTarget) != S_OK) {
        dropTarget->Release();
        dropTarget = nullptr;
        return false;
    }
    return true;
}

uint32_t FrameWindow::tickCount() const { return GetTickCount(); }

namespace {
// The window's rectangle relative to the outermost window it lies in.
ViewRect rectInRoot(HWND window) {
    RECT rect{}, root{};
    GetWindowRect(window, &rect);
    GetWindowRect(GetAncestor(window, GA_ROOT), &root);
    return {rect.left - root.left, rect.top - root.top, rect.right - root.left, rect.bottom - root.top};
}
}  // namespace

bool FrameWindow::framePosition(ViewPoint& out) const {
    if (!window) return false;
    out = rectInRoot(window).topLeft();
    return true;
}

bool FrameWindow::hostWindowRect(ViewRect& out) const {
    HWND holder = window ? GetParent(window) : nullptr;
    if (!holder) return false;
    out = rectInRoot(holder);
    return true;
}

}  // namespace Toolkit
