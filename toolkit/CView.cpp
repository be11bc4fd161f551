#include "CView.h"

#include <cstring>

#include "CBitmap.h"
#include "CFrame.h"
#include "CViewContainer.h"

namespace Toolkit {

CView::CView(const ViewRect& size) : size(size), mouseRect(size) {}

CView::~CView() {
    if (backgroundBitmap) backgroundBitmap->release();
}

void CView::paint(CDrawContext* context) {
    if (backgroundBitmap) {
        if (transparent)
            backgroundBitmap->blitTransparent(context, size, ViewPoint{});
        else
            backgroundBitmap->blit(context, size, ViewPoint{});
    }
    dirty = false;
}

void CView::paintRect(CDrawContext* context, const ViewRect&) { paint(context); }

bool CView::overlapsUpdate(const ViewRect& update) const {
    return size.right >= update.left && update.right >= size.left && size.bottom >= update.top &&
           update.bottom >= size.top;
}

bool CView::isDirty() const { return dirty; }

void CView::setDirty(bool value) { dirty = value; }

void CView::invalidateRect(const ViewRect& rect) {
    if (!attached || !shown) return;
    if (parentContainer)
        parentContainer->invalidateRect(rect);
    else if (viewFrame && viewFrame != this)
        viewFrame->invalidateRect(rect);
}

void CView::invalidate() {
    dirty = false;
    invalidateRect(size);
}

void CView::setShown(bool value) {
    if (shown == value) return;
    shown = value;
    setDirty(true);
}

MouseResult CView::pointerDown(ViewPoint, ButtonState) { return kMouseNotImplemented; }
MouseResult CView::pointerUp(ViewPoint, ButtonState) { return kMouseNotImplemented; }
MouseResult CView::pointerMoved(ViewPoint, ButtonState) { return kMouseNotImplemented; }
MouseResult CView::pointerEntered(ViewPoint, ButtonState) { return kMouseNotImplemented; }
MouseResult CView::pointerExited(ViewPoint, ButtonState) { return kMouseNotImplemented; }

bool CView::hitTest(ViewPoint where, ButtonState) { return mouseRect.containsInclusive(where); }

bool CView::wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons) {
    return wheel(where, axis == kWheelHorizontal ? -distance : distance, buttons);
}

bool CView::wheel(ViewPoint, float, ButtonState) { return false; }

void CView::setMouseEnabled(bool value) { mouseEnabled = value; }
bool CView::isMouseEnabled() const { return mouseEnabled; }
void CView::setMouseArea(const ViewRect& area) { mouseRect = area; }
ViewRect& CView::mouseArea(ViewRect& out) const { return out = mouseRect; }
ViewRect CView::mouseArea() const { return mouseRect; }

bool CView::dragDrop(CDragContainer*, ViewPoint) { return false; }
void CView::dragEnter(CDragContainer*, ViewPoint) {}
void CView::dragLeave(CDragContainer*, ViewPoint) {}
void CView::dragMove(CDragContainer*, ViewPoint) {}

int32_t CView::keyDown(KeyCode&) { return kKeyNotHandled; }
int32_t CView::keyUp(KeyCode&) { return kKeyNotHandled; }

void CView::setViewSize(const ViewRect& rect, bool invalidate) {
    size = rect;
    if (invalidate) setDirty(true);
}

ViewRect& CView::viewSize(ViewRect& out) const { return out = size; }
const ViewRect& CView::viewSize() const { return size; }

ViewRect CView::visibleSize() const {
    if (parentContainer) return parentContainer->childVisibleRect(size);
    if (viewFrame == this) return size;
    return {};
}

void CView::parentSizeChanged() {}

ViewPoint& CView::frameToLocal(ViewPoint& point) const {
    for (const CViewContainer* c = parentContainer; c && c != viewFrame; c = c->parent())
        point = point - c->viewSize().topLeft();
    return point;
}

ViewPoint& CView::localToFrame(ViewPoint& point) const {
    for (const CViewContainer* c = parentContainer; c && c != viewFrame; c = c->parent())
        point = point + c->viewSize().topLeft();
    return point;
}

void CView::setLayoutFlags(int32_t flags) { layout = flags; }
int32_t CView::layoutFlags() const { return layout; }

void CView::loseFocus() {}
void CView::takeFocus() {}
bool CView::wantsFocus() const { return focusWanted; }
void CView::setWantsFocus(bool value) { focusWanted = value; }

void CView::setBackground(CBitmap* bitmap) {
    if (backgroundBitmap) backgroundBitmap->release();
    backgroundBitmap = bitmap;
    if (backgroundBitmap) backgroundBitmap->retain();
    setDirty(true);
}

CBitmap* CView::background() const { return backgroundBitmap; }
void CView::setTransparency(bool value) { transparent = value; }
bool CView::transparency() const { return transparent; }

bool CView::detach() {
    if (!attached) return false;
    parentContainer = nullptr;
    viewFrame = nullptr;
    attached = false;
    return true;
}

bool CView::attachTo(CViewContainer* parent) {
    if (attached || !parent) return false;
    parentContainer = parent;
    viewFrame = parent->frame();
    attached = true;
    return true;
}

ToolkitEditorInterface* CView::editorOf() const { return viewFrame ? viewFrame->editor() : nullptr; }

bool CView::isTypeOf(const char* className) const {
    return className && std::strcmp(className, "CView") == 0;
}

CView* CView::cloneView() const {
    auto* copy = new CView(size);
    copy->copyPropertiesFrom(*this);
    return copy;
}

void CView::copyPropertiesFrom(const CView& other) {
    size = other.size;
    mouseRect = other.mouseRect;
    mouseEnabled = other.mouseEnabled;
    transparent = other.transparent;
    focusWanted = other.focusWanted;
    shown = other.shown;
    layout = other.layout;
    setBackground(other.backgroundBitmap);
    dirty = other.dirty;
}

}  // namespace Toolkit
