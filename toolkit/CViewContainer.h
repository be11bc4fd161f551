#pragma once

#include "CView.h"

namespace Toolkit {

class COffscreenContext;

// A view holding an ordered list of children, each with one reference. List order is drawing
// order: the first child lies at the bottom, the last on top, and pointer events look from the
// top down. Children's rectangles are in the container's own coordinates.
class CViewContainer : public CView {
public:
    explicit CViewContainer(const ViewRect& size);
    // Removes and releases every child.
    ~CViewContainer() override;

    // Inserts child just before other (at the end when other is not a child); false when child
    // is null or already attached.
    virtual bool insertChildBefore(CView* child, CView* other);
    virtual bool appendChildWithArea(CView* child, const ViewRect& mouseArea, bool mouseEnabled = true);
    // Appends child on top; attaches it when this container is attached. False when child is null
    // or already attached.
    virtual bool appendChild(CView* child);
    // Takes child out of the list, releasing the list's reference and, with release set, the
    // caller's as well. False when child is not a child.
    virtual bool removeChild(CView* child, bool release = true);
    virtual bool removeAllChildren(bool release = true);
    virtual bool hasChild(CView* child) const;
    virtual int32_t childCount() const;
    virtual CView* childAt(int32_t index) const;
    // The top-most shown child whose mouse area holds the point (this container's coordinates);
    // with deep, the innermost view inside it. containerAt answers the innermost container there.
    virtual CView* viewAt(ViewPoint where, bool deep = false) const;
    virtual CViewContainer* containerAt(ViewPoint where, bool deep = false);
    virtual void setBackgroundColor(ViewColor color);
    virtual ViewColor backgroundColor() const;
    virtual void setBackgroundOffset(ViewPoint offset);
    virtual ViewPoint backgroundOffset() const;
    // Draws the background into rect (local coordinates).
    virtual void paintBackgroundRect(CDrawContext* context, const ViewRect& rect);
    // Draws through a private offscreen context of the container's size.
    virtual void setOffscreen(bool value);
    // Moves focus to the next child that wants it after current (before it when reverse),
    // searching container children; false when none follows.
    virtual bool focusNext(CView* current, bool reverse);
    // Turns the dirty flags of this container and its children into repaint requests.
    virtual void flushDirtyViews();
    // A child rectangle (local coordinates) clipped by this container and its ancestors.
    virtual ViewRect childVisibleRect(const ViewRect& rect) const;
    virtual bool childNeedsPaint(CView* child, const ViewRect& update) const;
    // True when a mouse-enabled child's hitTest passes at the point (parent coordinates).
    virtual bool childHit(ViewPoint where, ButtonState buttons);

    void paint(CDrawContext* context) override;
    void paintRect(CDrawContext* context, const ViewRect& update) override;
    bool isDirty() const override;
    void invalidateRect(const ViewRect& rect) override;
    void invalidate() override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerUp(ViewPoint where, ButtonState buttons) override;
    MouseResult pointerMoved(ViewPoint where, ButtonState buttons) override;
    bool wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons) override;
    bool wheel(ViewPoint where, float distance, ButtonState buttons) override;
    bool dragDrop(CDragContainer* drag, ViewPoint where) override;
    void dragEnter(CDragContainer* drag, ViewPoint where) override;
    void dragLeave(CDragContainer* drag, ViewPoint where) override;
    void dragMove(CDragContainer* drag, ViewPoint where) override;
    int32_t keyDown(KeyCode& key) override;
    int32_t keyUp(KeyCode& key) override;
    void setViewSize(const ViewRect& rect, bool invalidate = true) override;
    void parentSizeChanged() override;
    void loseFocus() override;
    void takeFocus() override;
    bool detach() override;
    bool attachTo(CViewContainer* parent) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;
    // Answers 1 to "kMsgCheckIfViewContainer".
    int32_t notify(CBaseObject* sender, const char* message) override;

    // The child that accepted the current press, if any.
    CView* mouseDownView() const { return pressedChild; }
    bool isOffscreen() const { return offscreenWanted; }

protected:
    struct Node {
        CView* child;
        Node* next;
        Node* previous;
    };
    Node* findNode(const CView* child) const;
    // The top-most shown child whose mouse area holds the local point.
    CView* childUnder(ViewPoint local) const;
    // Lays the children out for a size change of dw x dh (container rule of the layout flags).
    void layoutChildren(int32_t dw, int32_t dh);
    // Drops the offscreen context; a new one is made at the current size when next needed.
    void resetOffscreen();
    // The child's pointer result, offering a modifier press to a control first.
    MouseResult pressChild(CView* child, ViewPoint local, ButtonState buttons);

    Node* firstNode = nullptr;
    Node* lastNode = nullptr;
    COffscreenContext* offscreen = nullptr;
    ViewColor backColor{0, 0, 0, 255};
    ViewPoint backOffset;
    bool offscreenWanted = false;
    CView* dragOverChild = nullptr;
    CView* pressedChild = nullptr;
};

}  // namespace Toolkit
