#pragma once

#include <memory>

#include "CViewContainer.h"
#include "PlatformWindow.h"

namespace Toolkit {

class MouseObserver;

// The root of a view tree, bound to one platform window inside the host's window. Holds the
// tree-wide state (modal, focus, mouse-over and mouse-down views), turns dirty flags into repaint
// requests on idle, routes pointer, wheel, key and focus events, and links the tree to the editor.
class CFrame : public CViewContainer {
public:
    // A frame of rect (at 0, 0) in parentWindow, reporting to editor (may be null). The window
    // comes from factory; the frame counts as attached from the start.
    CFrame(const ViewRect& rect, void* parentWindow, ToolkitEditorInterface* editor,
           PlatformWindowFactory factory = createPlatformWindow);
    ~CFrame() override;

    virtual bool isOpen() const;
    // Turns dirty flags into repaint requests (nothing once the window is gone). On a window whose
    // events and painting wait for idle (X11), also handles those events and paints the requests.
    virtual void idle();
    // Runs the editor's idle at once.
    virtual void editorIdle();
    virtual uint32_t tickCount() const;
    virtual int32_t knobMode() const;
    // Extension point for derived frames; does nothing here.
    virtual int32_t hook(int32_t message);
    virtual bool framePosition(ViewPoint& out) const;
    // Resizes the window (and the host's windows around it) and lays the children out again.
    virtual bool resizeWindow(int32_t width, int32_t height);
    virtual bool hostWindowRect(ViewRect& out) const;
    virtual ViewRect hostWindowRect() const;
    // Sets (refused while one is set or when the view is attached) or, with null, clears the view
    // that receives every pointer event. The view joins the frame's children while modal.
    virtual bool setModalView(CView* view);
    virtual CView* modalView() const;
    virtual void beginEdit(int32_t tag);
    virtual void endEdit(int32_t tag);
    virtual ViewPoint currentMousePosition() const;
    virtual ButtonState currentButtons() const;
    virtual void setCursorKind(CursorKind kind);
    virtual void setFocusedView(CView* view);
    virtual CView* focusedView() const;
    // Forgets view (or a view inside it) as focus, mouse-over or modal view; called on removal.
    virtual void viewRemoved(CView* view);
    virtual bool enableDropTarget(bool on);
    virtual bool isDropTargetActive() const;
    virtual void setOpen(bool value);
    // Marks every child whose rectangle meets rect dirty.
    virtual void markDirtyInRect(const ViewRect& rect);
    virtual MouseObserver* mouseObserver() const;
    virtual void setMouseObserver(MouseObserver* observer);

    // A new drawing context on the frame window, or null; the caller releases it.
    CDrawContext* createDrawContext();
    // The view under the pointer, as last seen by pointerMoved.
    CView* mouseOverView() const { return mouseOver; }
    bool isFirstDraw() const { return firstDraw; }
    void* parentWindow() const { return hostWindow; }
    // Cleared by the platform when the host's window goes.
    void setParentWindow(void* window) { hostWindow = window; }
    void* nativeWindow() const;
    PlatformWindow* platformWindow() const { return window.get(); }
    ToolkitEditorInterface* editor() const { return editorInterface; }

    // Draws update (frame coordinates) into context, or into a new context on the window when
    // context is null.
    void paintRect(CDrawContext* context, const ViewRect& update) override;
    void invalidateRect(const ViewRect& rect) override;
    void invalidate() override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerMoved(ViewPoint where, ButtonState buttons) override;
    // The platform reports that the pointer left the window.
    MouseResult pointerExited(ViewPoint where, ButtonState buttons) override;
    bool wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons) override;
    int32_t keyDown(KeyCode& key) override;
    int32_t keyUp(KeyCode& key) override;
    bool focusNext(CView* current, bool reverse) override;
    bool attachTo(CViewContainer* parent) override;
    bool detach() override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;
    ToolkitEditorInterface* editorOf() const override;

private:
    // Sends message about view to its ancestors below the frame.
    void notifyAncestors(CView* view, const char* message);
    // The frame point in the coordinates of view's parent.
    static ViewPoint pointFor(const CView* view, ViewPoint where);
    void leaveMouseOver(ViewPoint where, ButtonState buttons);

    ToolkitEditorInterface* editorInterface;
    MouseObserver* observer = nullptr;
    void* hostWindow;
    CView* modal = nullptr;
    CView* focus = nullptr;
    CView* mouseOver = nullptr;
    bool firstDraw = true;
    bool open = true;
    bool dropTargetActive = false;
    bool trackingMouse = false;
    bool closing = false;
    std::unique_ptr<PlatformWindow> window;
};

}  // namespace Toolkit
