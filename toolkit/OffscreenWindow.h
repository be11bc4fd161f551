#pragma once

#include <vector>

#include "PlatformWindow.h"

namespace Toolkit {

class COffscreenContext;

// A frame window that lives only in memory, on every platform: invalidated rectangles collect in
// an update region, and paint() draws that region into a picture of the frame's size that can be
// read back pixel by pixel or saved. Pointer state, capture and cursor are plain values.
class OffscreenWindow : public PlatformWindow {
public:
    explicit OffscreenWindow(CFrame& frame);
    ~OffscreenWindow() override;
    OffscreenWindow(const OffscreenWindow&) = delete;
    OffscreenWindow& operator=(const OffscreenWindow&) = delete;

    // Factory for a CFrame; the parent window is not used.
    static std::unique_ptr<PlatformWindow> create(CFrame& frame, void* parentWindow);

    bool exists() const override { return true; }
    void* nativeHandle() const override { return nullptr; }
    void invalidateRect(const ViewRect& rect) override;
    // The picture itself, with one more reference for the caller.
    CDrawContext* createDrawContext() override;
    void trackMouseLeave() override { ++leaveRequests; }
    void captureMouse() override { captured = true; }
    void releaseMouse() override { captured = false; }
    ButtonState currentButtons() const override { return buttons; }
    ViewPoint currentMousePosition() const override { return pointer; }
    void setCursorKind(CursorKind kind) override { cursorKind = kind; }
    bool resize(int32_t width, int32_t height) override;
    bool enableDropTarget(bool on) override;
    uint32_t tickCount() const override;
    bool framePosition(ViewPoint& out) const override;
    bool hostWindowRect(ViewRect& out) const override;

    // Draws the update region into the picture and empties it; false when there was nothing to draw.
    bool paint();
    // The bounding rectangle of everything invalidated since the last paint (empty when none).
    ViewRect updateRegion() const { return region; }
    // Every rectangle handed in since the last clearInvalidations, in order.
    const std::vector<ViewRect>& invalidations() const { return requests; }
    void clearInvalidations() { requests.clear(); }
    // The picture of the frame (made on first use); pixels read back with pixelAt, saved with writePng.
    COffscreenContext* picture();

    // Pointer state the frame reads as the platform's.
    void setPointer(ViewPoint where, ButtonState held) {
        pointer = where;
        buttons = held;
    }
    bool isMouseCaptured() const { return captured; }
    // How often the frame asked to hear of the pointer leaving.
    int32_t leaveTrackRequests() const { return leaveRequests; }
    CursorKind cursor() const { return cursorKind; }
    bool isDropTargetRegistered() const { return dropTarget; }

private:
    CFrame& frame;
    COffscreenContext* canvas = nullptr;
    ViewRect region;
    std::vector<ViewRect> requests;
    ViewPoint pointer;
    ButtonState buttons = 0;
    CursorKind cursorKind = kCursorDefault;
    bool captured = false;
    int32_t leaveRequests = 0;
    bool dropTarget = false;
};

}  // namespace Toolkit
