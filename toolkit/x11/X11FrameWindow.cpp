#include "X11FrameWindow.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "CFrame.h"
#include "COffscreenContext.h"
#include "X11Errors.h"

namespace Toolkit {

void showOnWindow(cairo_surface_t* window, cairo_surface_t* picture, Display* display) {
    cairo_t* cr = cairo_create(window);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    cairo_surface_flush(window);
    XFlush(display);
}

std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame& frame, void* parentWindow) {
    return std::make_unique<X11FrameWindow>(frame, Window(reinterpret_cast<uintptr_t>(parentWindow)));
}

namespace {

constexpr long kFrameEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                              EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                              FocusChangeMask | StructureNotifyMask;
// Two presses of a button this close in time and place make a double click.
constexpr Time kDoubleClickTime = 400;
constexpr int32_t kDoubleClickDistance = 4;

ButtonState buttonBit(unsigned int button) {
    switch (button) {
        case Button1: return kLButton;
        case Button2: return kMButton;
        case Button3: return kRButton;
        case 8: return kButton4;
        case 9: return kButton5;
        default: return 0;
    }
}

// The window below the root that holds window, or window itself.
Window topLevelOf(Display* display, Window window) {
    Window current = window;
    while (true) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count)) return current;
        if (children) XFree(children);
        if (parent == root || parent == 0) return current;
        current = parent;
    }
}

// The keys the views know by their virtual code.
uint8_t virtualKeyOf(KeySym symbol) {
    switch (symbol) {
        case XK_BackSpace: return 1;
        case XK_Tab: case XK_ISO_Left_Tab: return kVirtualKeyTab;
        case XK_Return: return 4;
        case XK_Escape: return 6;
        case XK_space: return 7;
        case XK_End: return 9;
        case XK_Home: return 10;
        case XK_Left: return kVirtualKeyLeft;
        case XK_Up: return kVirtualKeyUp;
        case XK_Right: return kVirtualKeyRight;
        case XK_Down: return kVirtualKeyDown;
        case XK_Prior: return 15;
        case XK_Next: return 16;
        case XK_KP_Enter: return 19;
        case XK_Delete: return 22;
        default: return 0;
    }
}

}  // namespace

X11FrameWindow::X11FrameWindow(CFrame& frame, Window parent) : frame(frame) {
    if (!parent) return;
    connection = XOpenDisplay(nullptr);
    if (!connection) return;
    X11Errors::watch(connection);
    const int screen = DefaultScreen(connection);
    visual = DefaultVisual(connection, screen);
    const ViewRect& size = frame.viewSize();
    // The host's window may have another visual; a child of the screen's own needs its colormap.
    XSetWindowAttributes attributes{};
    attributes.colormap = DefaultColormap(connection, screen);
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;
    attributes.event_mask = kFrameEvents;
    attributes.bit_gravity = NorthWestGravity;
    window = XCreateWindow(connection, parent, 0, 0, unsigned(size.width()), unsigned(size.height()), 0,
                           DefaultDepth(connection, screen), InputOutput, visual,
                           CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask | CWBitGravity, &attributes);
    XMapWindow(connection, window);
    // A parent that does not exist shows only now.
    if (X11Errors::sync(connection)) {
        window = 0;
        return;
    }
    surface = cairo_xlib_surface_create(connection, window, visual, size.width(), size.height());
}

X11FrameWindow::~X11FrameWindow() {
    if (!connection) return;
    if (buffer) buffer->release();
    if (surface) {
        // cairo's state for this connection goes with it.
        cairo_device_t* device = cairo_device_reference(cairo_surface_get_device(surface));
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
        cairo_device_finish(device);
        cairo_device_destroy(device);
    }
    if (method) XCloseIM(method);
    for (const auto& [kind, cursor] : cursors) XFreeCursor(connection, cursor);
    // The host may have destroyed its window, and ours with it, already: errors are ignored.
    if (window) XDestroyWindow(connection, window);
    X11Errors::sync(connection);
    X11Errors::forget(connection);
    XCloseDisplay(connection);
}

void* X11FrameWindow::nativeHandle() const { return window ? reinterpret_cast<void*>(uintptr_t(window)) : nullptr; }

void X11FrameWindow::invalidateRect(const ViewRect& rect) {
    if (window && !rect.isEmpty()) damage.push_back(rect);
}

CDrawContext* X11FrameWindow::createDrawContext() {
    if (!surface) return nullptr;
    return new CDrawContext(&frame, surface, nativeHandle(), frame.viewSize());
}

void X11FrameWindow::captureMouse() {
    if (window)
        XGrabPointer(connection, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime);
}

void X11FrameWindow::releaseMouse() {
    if (connection) {
        XUngrabPointer(connection, CurrentTime);
        XFlush(connection);
    }
}

ButtonState X11FrameWindow::modifiersOf(unsigned int state) {
    ButtonState bits = 0;
    if (state & ShiftMask) bits |= kShift;
    if (state & ControlMask) bits |= kControl;
    if (state & Mod1Mask) bits |= kAlt;
    return bits;
}

ButtonState X11FrameWindow::buttonsOf(unsigned int state) {
    ButtonState bits = 0;
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
    return bits | modifiersOf(state);
}

ButtonState X11FrameWindow::currentButtons() const {
    if (!window) return 0;
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask = 0;
    XQueryPointer(connection, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
    return buttonsOf(mask);
}

ViewPoint X11FrameWindow::currentMousePosition() const {
    if (!window) return {};
    Window root, child;
    int rootX, rootY, x = 0, y = 0;
    unsigned int mask;
    XQueryPointer(connection, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
    return {x, y};
}

void X11FrameWindow::setCursorKind(CursorKind kind) {
    if (!window) return;
    unsigned int shape = 0;
    switch (kind) {
        case kCursorWait: shape = XC_watch; break;
        case kCursorSizeWestEast: shape = XC_sb_h_double_arrow; break;
        case kCursorSizeNorthSouth: shape = XC_sb_v_double_arrow; break;
        case kCursorSizeAll: shape = XC_fleur; break;
        case kCursorSizeNorthEastSouthWest: shape = XC_bottom_left_corner; break;
        case kCursorSizeNorthWestSouthEast: shape = XC_bottom_right_corner; break;
        case kCursorNotAllowed: shape = XC_X_cursor; break;
        case kCursorHand: shape = XC_hand2; break;
        default: break;
    }
    if (!shape) {
        XUndefineCursor(connection, window);
    } else {
        Cursor& cursor = cursors[int(shape)];
        if (!cursor) cursor = XCreateFontCursor(connection, shape);
        XDefineCursor(connection, window, cursor);
    }
    XFlush(connection);
}

bool X11FrameWindow::resize(int32_t width, int32_t height) {
    if (!window || width <= 0 || height <= 0) return false;
    XResizeWindow(connection, window, unsigned(width), unsigned(height));
    cairo_xlib_surface_set_size(surface, width, height);
    // Made again at the frame's new size on the next paint.
    if (buffer) buffer->release();
    buffer = nullptr;
    XFlush(connection);
    return true;
}

// Drops are not taken on X11.
bool X11FrameWindow::enableDropTarget(bool) { return false; }

uint32_t X11FrameWindow::tickCount() const {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ViewPoint X11FrameWindow::screenOrigin() const {
    if (!window) return {};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &x, &y, &child);
    return {x, y};
}

bool X11FrameWindow::framePosition(ViewPoint& out) const {
    if (!window) return false;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(connection, window, topLevelOf(connection, window), 0, 0, &x, &y, &child);
    out = {x, y};
    return true;
}

bool X11FrameWindow::hostWindowRect(ViewRect& out) const {
    if (!window) return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(connection, window, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    XWindowAttributes attributes{};
    if (!parent || !XGetWindowAttributes(connection, parent, &attributes)) return false;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(connection, parent, topLevelOf(connection, parent), 0, 0, &x, &y, &child);
    out = ViewRect::fromSize({x, y}, attributes.width, attributes.height);
    return true;
}

XIM X11FrameWindow::inputMethod() {
    if (!methodTried && connection) {
        methodTried = true;
        XSetLocaleModifiers("");
        method = XOpenIM(connection, nullptr, nullptr, nullptr);
        if (!method) {
            XSetLocaleModifiers("@im=none");
            method = XOpenIM(connection, nullptr, nullptr, nullptr);
        }
    }
    return method;
}

void X11FrameWindow::processEvents() {
    // Re-entered when an event's handling runs the editor's idle: the outer loop reads on.
    if (!connection || dispatching) return;
    dispatching = true;
    while (XPending(connection) > 0) {
        XEvent event;
        XNextEvent(connection, &event);
        if (XFilterEvent(&event, None)) continue;
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);  // the user changed the keyboard's layout
            continue;
        }
        if (window && event.xany.window == window)
            handle(event);
        else if (auto target = targets.find(event.xany.window); target != targets.end())
            target->second->handleEvent(event);
    }
    dispatching = false;
}

void X11FrameWindow::handleForeignEvent(XEvent& event) {
    if (!window || event.xany.window != window) return;
    if (event.type == Expose || event.type == DestroyNotify) handle(event);
}

void X11FrameWindow::windowGone() {
    window = 0;
    damage.clear();
    frame.setOpen(false);
    frame.setParentWindow(nullptr);
}

void X11FrameWindow::handle(XEvent& event) {
    switch (event.type) {
        case Expose:
            invalidateRect(ViewRect::fromSize({event.xexpose.x, event.xexpose.y}, event.xexpose.width,
                                              event.xexpose.height));
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window) windowGone();
            break;
        case ButtonPress:
        case ButtonRelease:
        case MotionNotify:
        case LeaveNotify:
            handlePointer(event);
            break;
        case KeyPress:
        case KeyRelease:
            handleKey(event.xkey, event.type == KeyPress);
            break;
        default:
            break;
    }
}

void X11FrameWindow::handlePointer(XEvent& event) {
    switch (event.type) {
        case MotionNotify: {
            // Only the latest position of a run of moves matters; a move after a release stays after it.
            XEvent next;
            while (XPending(connection) > 0 && XPeekEvent(connection, &next) && next.type == MotionNotify &&
                   next.xany.window == window)
                XNextEvent(connection, &event);
            const XMotionEvent& motion = event.xmotion;
            frame.pointerMoved({motion.x, motion.y}, buttonsOf(motion.state));
            break;
        }
        case LeaveNotify: {
            const XCrossingEvent& crossing = event.xcrossing;
            // Grabs (a pop-up menu's) move no pointer, and a child window is still inside.
            if (crossing.mode == NotifyNormal && crossing.detail != NotifyInferior)
                frame.pointerExited({crossing.x, crossing.y}, buttonsOf(crossing.state));
            break;
        }
        case ButtonPress: {
            const XButtonEvent& press = event.xbutton;
            const ViewPoint where{press.x, press.y};
            // Buttons 4 to 7 are the wheel: up, down, left, right by one notch.
            if (press.button >= 4 && press.button <= 7) {
                const bool vertical = press.button <= 5;
                const float distance = (press.button == 4 || press.button == 7) ? 1.0f : -1.0f;
                frame.wheelOnAxis(where, vertical ? kWheelVertical : kWheelHorizontal, distance,
                                  modifiersOf(press.state));
                break;
            }
            ButtonState buttons = buttonsOf(press.state) | buttonBit(press.button);
            const bool twice = !lastWasDouble && press.button == lastButton && press.time - lastPressTime <= kDoubleClickTime &&
                               std::abs(press.x - lastPressPoint.x) <= kDoubleClickDistance &&
                               std::abs(press.y - lastPressPoint.y) <= kDoubleClickDistance;
            if (twice) buttons |= kDoubleClick;
            lastWasDouble = twice;
            lastButton = press.button;
            lastPressTime = press.time;
            lastPressPoint = where;
            // The press grabs the pointer until the last button goes up, so a drag keeps its moves.
            frame.pointerDown(where, buttons);
            break;
        }
        case ButtonRelease: {
            const XButtonEvent& release = event.xbutton;
            if (release.button >= 4 && release.button <= 7) break;
            frame.pointerUp({release.x, release.y}, buttonsOf(release.state) & ~buttonBit(release.button));
            break;
        }
        default:
            break;
    }
}

void X11FrameWindow::handleKey(XKeyEvent& event, bool down) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text - 1, &symbol, nullptr);
    KeyCode key;
    key.virt = virtualKeyOf(symbol);
    if (!key.virt && length == 1 && static_cast<unsigned char>(text[0]) >= 0x20) key.character = text[0];
    if (event.state & ShiftMask) key.modifier |= kModifierShift;
    if (event.state & Mod1Mask) key.modifier |= 2;
    if (event.state & ControlMask) key.modifier |= 8;
    if (!key.virt && !key.character) return;
    if (down)
        frame.keyDown(key);
    else
        frame.keyUp(key);
}

void X11FrameWindow::paint(const ViewRect& area) {
    const ViewRect& size = frame.viewSize();
    if (!buffer) buffer = new COffscreenContext(&frame, size.width(), size.height(), ViewColor{0, 0, 0, 255});
    frame.paintRect(buffer, area);
    auto* target = new CDrawContext(&frame, surface, nativeHandle(), size);
    buffer->copyTo(target, area);
    target->release();
}

void X11FrameWindow::paintInvalidated() {
    if (!window || damage.empty()) return;
    // Overlapping rectangles are painted once, as their union.
    std::vector<ViewRect> areas;
    for (ViewRect rect : damage) {
        rect = rect.intersection(ViewRect{0, 0, frame.viewSize().width(), frame.viewSize().height()});
        if (rect.isEmpty()) continue;
        for (auto other = areas.begin(); other != areas.end();) {
            if (!rect.intersection(*other).isEmpty()) {
                rect = {std::min(rect.left, other->left), std::min(rect.top, other->top),
                        std::max(rect.right, other->right), std::max(rect.bottom, other->bottom)};
                areas.erase(other);
                other = areas.begin();
            } else {
                ++other;
            }
        }
        areas.push_back(rect);
    }
    damage.clear();
    for (const ViewRect& area : areas) paint(area);
    cairo_surface_flush(surface);
    XFlush(connection);
}

}  // namespace Toolkit
