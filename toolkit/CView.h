#pragma once

#include <cstdint>

#include "CBaseObject.h"
#include "ViewEvents.h"
#include "ViewTypes.h"

namespace Toolkit {

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class CViewContainer;
class ToolkitEditorInterface;

// Layout flags: how a view follows its container's resize. A view with FollowRight moves right by the
// width change, or grows by it with FixedLeft as well; likewise downwards.
constexpr int32_t kLayoutFixedLeft = 1;
constexpr int32_t kLayoutFixedTop = 2;
constexpr int32_t kLayoutFollowRight = 4;
constexpr int32_t kLayoutFollowBottom = 8;
// On a container: its children share a width or height change equally.
constexpr int32_t kLayoutShareWidth = 0x10;
constexpr int32_t kLayoutShareHeight = 0x20;

// A rectangle of the tree that draws itself and reacts to pointer, wheel and key events. Its
// rectangle is in the coordinates of its parent container. Changing its appearance only marks it
// dirty; the frame's idle turns that into a repaint request.
class CView : public CBaseObject {
public:
    explicit CView(const ViewRect& size);
    ~CView() override;

    virtual void paint(CDrawContext* context);
    // Draws the part of the view inside update (parent coordinates); by default all of it.
    virtual void paintRect(CDrawContext* context, const ViewRect& update);
    // True when the view's rectangle meets update, edges counting as inside.
    virtual bool overlapsUpdate(const ViewRect& update) const;
    virtual bool isDirty() const;
    virtual void setDirty(bool value = true);
    // Asks for a repaint of rect (parent coordinates) through the parent chain.
    virtual void invalidateRect(const ViewRect& rect);
    // Clears the dirty flag and asks for a repaint of the whole view.
    virtual void invalidate();
    virtual void setShown(bool value);
    bool isShown() const { return shown; }

    // Pointer events; the point is in parent coordinates.
    virtual MouseResult pointerDown(ViewPoint where, ButtonState buttons);
    virtual MouseResult pointerUp(ViewPoint where, ButtonState buttons);
    virtual MouseResult pointerMoved(ViewPoint where, ButtonState buttons);
    virtual MouseResult pointerEntered(ViewPoint where, ButtonState buttons);
    virtual MouseResult pointerExited(ViewPoint where, ButtonState buttons);
    // True when the point lies in the mouse area, edges inside.
    virtual bool hitTest(ViewPoint where, ButtonState buttons = 0);
    // Calls wheel with the distance negated on the horizontal axis.
    virtual bool wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons);
    virtual bool wheel(ViewPoint where, float distance, ButtonState buttons);

    virtual void setMouseEnabled(bool value);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const ViewRect& area);
    virtual ViewRect& mouseArea(ViewRect& out) const;
    virtual ViewRect mouseArea() const;

    virtual bool dragDrop(CDragContainer* drag, ViewPoint where);
    virtual void dragEnter(CDragContainer* drag, ViewPoint where);
    virtual void dragLeave(CDragContainer* drag, ViewPoint where);
    virtual void dragMove(CDragContainer* drag, ViewPoint where);

    // kKeyNotHandled (-1) when the view does not take the key.
    virtual int32_t keyDown(KeyCode& key);
    virtual int32_t keyUp(KeyCode& key);

    // Stores the rectangle; marks the view dirty when invalidate is set.
    virtual void setViewSize(const ViewRect& rect, bool invalidate = true);
    virtual ViewRect& viewSize(ViewRect& out) const;
    virtual const ViewRect& viewSize() const;
    // The part of the view inside every enclosing container, in parent coordinates.
    virtual ViewRect visibleSize() const;
    virtual void parentSizeChanged();
    // Frame coordinates to the view's parent coordinates, and back.
    virtual ViewPoint& frameToLocal(ViewPoint& point) const;
    virtual ViewPoint& localToFrame(ViewPoint& point) const;

    virtual void setLayoutFlags(int32_t flags);
    virtual int32_t layoutFlags() const;

    virtual void loseFocus();
    virtual void takeFocus();
    virtual bool wantsFocus() const;
    virtual void setWantsFocus(bool value);

    // The view holds one reference to its background.
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* background() const;
    virtual void setTransparency(bool value);
    virtual bool transparency() const;

    // Leaves the tree; false when the view was not attached.
    virtual bool detach();
    // Joins parent's tree; false when already attached.
    virtual bool attachTo(CViewContainer* parent);
    virtual ToolkitEditorInterface* editorOf() const;
    // True for this class's name and each base class's, compared exactly.
    virtual bool isTypeOf(const char* className) const;
    // A new view like this one, holding one reference for the caller; null when it cannot be copied.
    virtual CView* cloneView() const;

    bool isAttached() const { return attached; }
    CFrame* frame() const { return viewFrame; }
    CViewContainer* parent() const { return parentContainer; }

protected:
    // Copies the look and the flags of other (not its tree membership).
    void copyPropertiesFrom(const CView& other);

    ViewRect size;
    ViewRect mouseRect;
    CFrame* viewFrame = nullptr;
    CViewContainer* parentContainer = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool focusWanted = false;
    bool attached = false;
    bool shown = true;
    int32_t layout = 0;
    CBitmap* backgroundBitmap = nullptr;
};

}  // namespace Toolkit
