#include "CFrame.h"

#include <chrono>
#include <cstring>

#include "CDrawContext.h"
#include "MouseObserver.h"
#include "ToolkitEditorInterface.h"

namespace Toolkit {

namespace {
// Focus changes call out to views (loseFocus, notify) that may ask for another change; those
// requests are dropped until the first change is complete. Shared by all frames of the process.
bool focusChangeInProgress = false;

bool isInside(const CView* view, const CView* container) {
    for (const CView* ancestor = view ? view->parent() : nullptr; ancestor; ancestor = ancestor->parent())
        if (ancestor == container) return true;
    return false;
}

bool isOrIsInside(const CView* view, const CView* container) { return view == container || isInside(view, container); }

bool touches(const ViewRect& a, const ViewRect& b) {
    return a.right >= b.left && b.right >= a.left && a.bottom >= b.top && b.bottom >= a.top;
}
}  // namespace

CFrame::CFrame(const ViewRect& rect, void* parentWindow, ToolkitEditorInterface* editor, PlatformWindowFactory factory)
    : CViewContainer(rect), editorInterface(editor), hostWindow(parentWindow) {
    viewFrame = this;
    attached = true;
    if (factory) window = factory(*this, parentWindow);
    if (window && window->exists()) dropTargetActive = window->enableDropTarget(true);
}

CFrame::~CFrame() {
    // The window stays until the children are gone, so that none of them outlives it; their
    // removal asks for no more repaints.
    closing = true;
    setModalView(nullptr);
    removeAllChildren(true);
    window.reset();
}

bool CFrame::isOpen() const { return open; }

void CFrame::idle() {
    if (window) window->processEvents();
    if (open) flushDirtyViews();
    if (window) window->paintInvalidated();
}

void CFrame::editorIdle() {
    if (editorInterface) editorInterface->editorIdle();
}

uint32_t CFrame::tickCount() const {
    if (window) return window->tickCount();
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int32_t CFrame::knobMode() const { return editorInterface ? editorInterface->knobMode() : 0; }

int32_t CFrame::hook(int32_t) { return 0; }

bool CFrame::framePosition(ViewPoint& out) const { return window && window->framePosition(out); }

bool CFrame::resizeWindow(int32_t width, int32_t height) {
    if (!open) return false;
    if (width == size.width() && height == size.height()) return true;
    if (!window || !window->resize(width, height)) return false;
    setViewSize(ViewRect::fromSize(size.topLeft(), width, height), true);
    return true;
}

bool CFrame::hostWindowRect(ViewRect& out) const { return window && window->hostWindowRect(out); }

ViewRect CFrame::hostWindowRect() const {
    ViewRect rect;
    hostWindowRect(rect);
    return rect;
}

bool CFrame::setModalView(CView* view) {
    if (view) {
        if (modal || view->isAttached()) return false;
        modal = view;
        appendChild(view);
        return true;
    }
    if (CView* previous = modal) {
        modal = nullptr;
        removeChild(previous, false);
    }
    return true;
}

CView* CFrame::modalView() const { return modal; }

void CFrame::beginEdit(int32_t tag) {
    if (editorInterface) editorInterface->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
    if (editorInterface) editorInterface->endEdit(tag);
}

ViewPoint CFrame::currentMousePosition() const { return window ? window->currentMousePosition() : ViewPoint{}; }

ButtonState CFrame::currentButtons() const { return window ? window->currentButtons() : 0; }

void CFrame::setCursorKind(CursorKind kind) {
    if (window) window->setCursorKind(kind);
}

void CFrame::setFocusedView(CView* view) {
    if (view == focus || focusChangeInProgress) return;
    focusChangeInProgress = true;
    CView* previous = focus;
    focus = view;
    if (view && view->wantsFocus()) {
        view->setDirty(true);
        notifyAncestors(view, "kMsgNewFocusView");
    }
    if (previous) {
        if (previous->wantsFocus()) {
            previous->setDirty(true);
            notifyAncestors(previous, "kMsgOldFocusView");
        }
        previous->loseFocus();
    }
    focusChangeInProgress = false;
}

CView* CFrame::focusedView() const { return focus; }

void CFrame::viewRemoved(CView* view) {
    if (!view) return;
    if (isOrIsInside(focus, view)) focus = nullptr;
    if (isOrIsInside(mouseOver, view)) mouseOver = nullptr;
    if (isOrIsInside(modal, view)) modal = nullptr;
}

bool CFrame::enableDropTarget(bool on) {
    if (!on && !dropTargetActive) return true;
    const bool done = window && window->exists() && window->enableDropTarget(on);
    dropTargetActive = on && done;
    return done;
}

bool CFrame::isDropTargetActive() const { return dropTargetActive; }

void CFrame::setOpen(bool value) { open = value; }

void CFrame::markDirtyInRect(const ViewRect& rect) {
    for (Node* node = firstNode; node; node = node->next)
        if (touches(node->child->viewSize(), rect)) node->child->setDirty(true);
}

MouseObserver* CFrame::mouseObserver() const { return observer; }

void CFrame::setMouseObserver(MouseObserver* value) { observer = value; }

CDrawContext* CFrame::createDrawContext() { return window ? window->createDrawContext() : nullptr; }

void* CFrame::nativeWindow() const { return window ? window->nativeHandle() : nullptr; }

void CFrame::paintRect(CDrawContext* context, const ViewRect& update) {
    firstDraw = false;
    CDrawContext* own = context ? nullptr : createDrawContext();
    CDrawContext* target = context ? context : own;
    if (!target) return;
    const ViewRect previousClip = target->clipRect();
    target->setClipRect(update);
    if (!update.isEmpty()) CViewContainer::paintRect(target, update);
    target->setClipRect(previousClip);
    if (own) own->release();
}

void CFrame::invalidateRect(const ViewRect& rect) {
    if (closing || !shown || !window) return;
    const ViewRect inside = rect.intersection(ViewRect{0, 0, size.width(), size.height()});
    if (!inside.isEmpty()) window->invalidateRect(inside);
}

void CFrame::invalidate() {
    dirty = false;
    invalidateRect(size);
}

ViewPoint CFrame::pointFor(const CView* view, ViewPoint where) { return view->frameToLocal(where); }

void CFrame::leaveMouseOver(ViewPoint where, ButtonState buttons) {
    CView* view = mouseOver;
    if (!view) return;
    mouseOver = nullptr;
    view->pointerExited(pointFor(view, where), buttons);
    if (observer) observer->exited(view, this);
}

MouseResult CFrame::pointerDown(ViewPoint where, ButtonState buttons) {
    pressedChild = nullptr;
    if (focus) setFocusedView(nullptr);
    leaveMouseOver(where, buttons);
    if (observer) observer->pressed(this, where);
    if (modal) {
        if (modal->hitTest(where, buttons) && modal->pointerDown(where, buttons) == kMouseHandled && modal) {
            pressedChild = modal;
            return kMouseHandled;
        }
        return kMouseNotHandled;
    }
    return CViewContainer::pointerDown(where, buttons);
}

MouseResult CFrame::pointerMoved(ViewPoint where, ButtonState buttons) {
    if (!trackingMouse && window) {
        window->trackMouseLeave();
        trackingMouse = true;
    }
    if (observer) observer->moved(this, where);
    if (modal) return modal->pointerMoved(where, buttons);
    if (pressedChild) {
        if (pressedChild->pointerMoved(where, buttons) == kMouseHandled) return kMouseHandled;
        pressedChild = nullptr;
    }
    CView* under = viewAt(where, true);
    if (under == mouseOver) {
        // Hover moves carry no buttons: a view that wanted the drag is the mouse-down view and was
        // served above.
        return under ? under->pointerMoved(pointFor(under, where), 0) : kMouseNotHandled;
    }
    leaveMouseOver(where, buttons);
    if (under) {
        mouseOver = under;
        under->pointerEntered(pointFor(under, where), buttons);
        if (observer && mouseOver == under) observer->entered(under, this);
    }
    return kMouseHandled;
}

MouseResult CFrame::pointerExited(ViewPoint where, ButtonState buttons) {
    leaveMouseOver(where, buttons);
    trackingMouse = false;
    return kMouseHandled;
}

bool CFrame::wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons) {
    if (pressedChild) return false;
    if (modal) return modal->wheelOnAxis(where, axis, distance, buttons);
    return CViewContainer::wheelOnAxis(where, axis, distance, buttons);
}

int32_t CFrame::keyDown(KeyCode& key) {
    if (focus) {
        if (const int32_t result = focus->keyDown(key); result != kKeyNotHandled) return result;
    }
    if (modal && modal != focus) {
        if (const int32_t result = modal->keyDown(key); result != kKeyNotHandled) return result;
    }
    if (key.virt == kVirtualKeyTab) return focusNext(focus, (key.modifier & kModifierShift) != 0) ? 1 : kKeyNotHandled;
    return kKeyNotHandled;
}

int32_t CFrame::keyUp(KeyCode& key) {
    if (focus) {
        if (const int32_t result = focus->keyUp(key); result != kKeyNotHandled) return result;
    }
    if (modal && modal != focus) return modal->keyUp(key);
    return kKeyNotHandled;
}

bool CFrame::focusNext(CView* current, bool reverse) {
    CView* boundary = modal ? modal : this;
    if (modal && !modal->isTypeOf("CViewContainer")) {
        if (current == modal || focus == modal) return false;
        setFocusedView(modal);
        return true;
    }
    auto* scope = static_cast<CViewContainer*>(boundary);
    if (!current) current = focus;
    if (!isInside(current, scope)) {
        return scope == this ? CViewContainer::focusNext(nullptr, reverse) : scope->focusNext(nullptr, reverse);
    }
    // Continue after current in its own container, then after that container in the enclosing
    // one, and so on up to the scope. No wrap-around: the next Tab starts again at the beginning.
    for (CView* after = current;;) {
        CViewContainer* container = after->parent();
        const bool moved =
            container == this ? CViewContainer::focusNext(after, reverse) : container->focusNext(after, reverse);
        if (moved) return true;
        if (container == scope) break;
        after = container;
    }
    setFocusedView(nullptr);
    return false;
}

bool CFrame::attachTo(CViewContainer*) { return false; }

bool CFrame::detach() { return false; }

bool CFrame::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CFrame") == 0) || CViewContainer::isTypeOf(className);
}

CView* CFrame::cloneView() const { return nullptr; }

ToolkitEditorInterface* CFrame::editorOf() const { return editorInterface; }

void CFrame::notifyAncestors(CView* view, const char* message) {
    for (CViewContainer* ancestor = view->parent(); ancestor && ancestor != this; ancestor = ancestor->parent())
        ancestor->notify(view, message);
}

}  // namespace Toolkit
