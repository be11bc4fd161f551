#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <vector>

#include "PlatformWindow.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Toolkit {

class COffscreenContext;

// Copies a picture drawn in memory onto a window's surface, releases the picture and sends the
// drawing to the server: how the menu and the text entry, which draw in memory, show themselves.
void showOnWindow(cairo_surface_t* window, cairo_surface_t* picture, Display* display);

// A window of the frame's connection other than the frame window itself (the text entry) that
// wants its events.
class X11EventTarget {
public:
    virtual void handleEvent(XEvent& event) = 0;

protected:
    ~X11EventTarget() = default;
};

// The frame's child window inside the host's X11 window, on a display connection of its own that
// lives exactly as long as the window. Linux hosts give the editor time only through its idle
// calls, so the window's events are read there (processEvents) and what was invalidated is painted
// there too (paintInvalidated): the frame draws into a buffer in memory, and the changed
// rectangles are copied to the window. Everything runs on the thread that opened the editor.
class X11FrameWindow final : public PlatformWindow {
public:
    X11FrameWindow(CFrame& frame, Window parent);
    ~X11FrameWindow() override;
    X11FrameWindow(const X11FrameWindow&) = delete;
    X11FrameWindow& operator=(const X11FrameWindow&) = delete;

    bool exists() const override { return window != 0; }
    void* nativeHandle() const override;
    void invalidateRect(const ViewRect& rect) override;
    CDrawContext* createDrawContext() override;
    void trackMouseLeave() override {}  // leave events are always selected
    void captureMouse() override;
    void releaseMouse() override;
    ButtonState currentButtons() const override;
    ViewPoint currentMousePosition() const override;
    void setCursorKind(CursorKind kind) override;
    bool resize(int32_t width, int32_t height) override;
    bool enableDropTarget(bool on) override;
    uint32_t tickCount() const override;
    bool framePosition(ViewPoint& out) const override;
    bool hostWindowRect(ViewRect& out) const override;
    void processEvents() override;
    void paintInvalidated() override;

    Display* display() const { return connection; }
    Window handle() const { return window; }
    CFrame& owner() const { return frame; }
    // The window's top-left corner in root-window coordinates.
    ViewPoint screenOrigin() const;
    // Routes the events of window to target until removed.
    void addEventTarget(Window child, X11EventTarget* target) { targets[child] = target; }
    void removeEventTarget(Window child) { targets.erase(child); }
    // The display's input method (opened on first use), or null when it has none.
    XIM inputMethod();
    // Handles an event read elsewhere (a pop-up's own loop) that belongs to this window: exposure
    // and destruction only.
    void handleForeignEvent(XEvent& event);

private:
    void handle(XEvent& event);
    void handlePointer(XEvent& event);
    void handleKey(XKeyEvent& event, bool down);
    void windowGone();
    void paint(const ViewRect& area);
    // Modifier bits of an X state mask.
    static ButtonState modifiersOf(unsigned int state);
    static ButtonState buttonsOf(unsigned int state);

    CFrame& frame;
    Display* connection = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    cairo_surface_t* surface = nullptr;
    COffscreenContext* buffer = nullptr;
    std::vector<ViewRect> damage;
    std::map<Window, X11EventTarget*> targets;
    std::map<int, Cursor> cursors;
    XIM method = nullptr;
    bool methodTried = false;
    bool dispatching = false;
    // The last press, for double clicks by time and distance.
    unsigned int lastButton = 0;
    Time lastPressTime = 0;
    ViewPoint lastPressPoint;
    bool lastWasDouble = false;
};

}  // namespace Toolkit
