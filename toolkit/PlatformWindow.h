#pragma once

// The seam between the frame and the window system. The frame owns one PlatformWindow and calls it
// for everything that depends on the platform; the platform window in turn calls the frame's public
// operations (pointerDown/Moved/Up, pointerExited, wheel, paintRect, dragEnter..., setOpen(false))
// as its messages arrive. Each platform implements createPlatformWindow in its own folder. Right
// after making the window, the frame calls enableDropTarget(true) when the window exists; the
// frame's destructor removes its views first and then destroys the window.

#include <cstdint>
#include <memory>

#include "ViewEvents.h"
#include "ViewTypes.h"

namespace Toolkit {

class CDrawContext;
class CFrame;

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Whether a native window exists (a frame without one draws nothing and accepts no drops).
    virtual bool exists() const = 0;
    // The native window handle, or null.
    virtual void* nativeHandle() const = 0;
    // Adds rect (frame coordinates) to the window's update region, with erase requested.
    virtual void invalidateRect(const ViewRect& rect) = 0;
    // A new drawing context on the window, or null; the caller releases it.
    virtual CDrawContext* createDrawContext() = 0;
    // Asks for one notification when the pointer leaves the window (the frame's pointerExited).
    virtual void trackMouseLeave() = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    // Buttons and modifiers held now, physically.
    virtual ButtonState currentButtons() const = 0;
    // The pointer's position now, in frame coordinates.
    virtual ViewPoint currentMousePosition() const = 0;
    virtual void setCursorKind(CursorKind kind) = 0;
    // Resizes the window and the host windows around it to hold width x height. False when the
    // window could not be resized at all.
    virtual bool resize(int32_t width, int32_t height) = 0;
    // Registers (on) or revokes (off) the window's drop target; false when none could be registered.
    virtual bool enableDropTarget(bool on) = 0;
    // Milliseconds of a monotonic clock.
    virtual uint32_t tickCount() const = 0;
    // The frame window's position, and the rectangle of the window that holds it, in the
    // coordinates of the outermost ancestor window; false when there is no window.
    virtual bool framePosition(ViewPoint& out) const = 0;
    virtual bool hostWindowRect(ViewRect& out) const = 0;
    // Where the window's events and painting wait for the frame's idle (X11) rather than arriving as
    // messages of the system: handles the events pending now, and paints what was invalidated.
    virtual void processEvents() {}
    virtual void paintInvalidated() {}
};

// The platform's window for frame inside parentWindow (a native handle; may be null).
std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame& frame, void* parentWindow);

// How a frame makes its window; tests hand in their own.
using PlatformWindowFactory = std::unique_ptr<PlatformWindow> (*)(CFrame& frame, void* parentWindow);

}  // namespace Toolkit
