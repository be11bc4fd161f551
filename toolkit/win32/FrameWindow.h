#pragma once

#include <windows.h>

#include "PlatformWindow.h"

namespace Toolkit {

class CDropTarget;
class COffscreenContext;

// The frame's child window inside the host's window: registers the window class for the first
// frame of the process, turns the window's messages into calls on the frame, paints its update
// region and holds the OLE drop target. With no host window there is no window and nothing draws.
class FrameWindow : public PlatformWindow {
public:
    FrameWindow(CFrame& frame, HWND parent);
    ~FrameWindow() override;

    bool exists() const override { return window != nullptr; }
    void* nativeHandle() const override { return window; }
    void invalidateRect(const ViewRect& rect) override;
    CDrawContext* createDrawContext() override;
    void trackMouseLeave() override;
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

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    LRESULT editColors(HDC deviceContext);
    // Buttons and modifiers of a mouse message, from its key flags.
    static ButtonState messageButtons(WPARAM wParam);
    // The window's top-left corner on the screen.
    ViewPoint screenOrigin() const;

    CFrame& frame;
    HWND window = nullptr;
    bool oleStarted = false;
    CDropTarget* dropTarget = nullptr;
    // The double buffer of systems without composited windows, made on first paint.
    COffscreenContext* offscreen = nullptr;
    HCURSOR defaultCursor = nullptr;
    bool defaultCursorKnown = false;
    // The brush of the native text entry's background, replaced with each colour request.
    HBRUSH editBrush = nullptr;
};

}  // namespace Toolkit
