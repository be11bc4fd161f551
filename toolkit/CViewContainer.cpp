#include "CViewContainer.h"

#include <cstring>

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "COffscreenContext.h"
#include "ModifierClickTarget.h"

namespace Toolkit {

namespace {
constexpr ViewColor kOffscreenBackground{0, 0, 0, 255};
constexpr ButtonState kModifierClickButtons = kRButton | kShift | kControl | kAlt | kButtonReserved;
}  // namespace

CViewContainer::CViewContainer(const ViewRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    removeAllChildren(true);
    if (offscreen) offscreen->release();
}

bool CViewContainer::insertChildBefore(CView* child, CView* other) {
    if (!child || child->isAttached()) return false;
    Node* before = findNode(other);
    if (!before) return appendChild(child);
    child->retain();
    Node* node = new Node{child, before, before->previous};
    if (before->previous)
        before->previous->next = node;
    else
        firstNode = node;
    before->previous = node;
    if (attached) {
        child->attachTo(this);
        child->invalidate();
    }
    return true;
}

bool CViewContainer::appendChildWithArea(CView* child, const ViewRect& mouseArea, bool mouseEnabled) {
    if (!child || child->isAttached()) return false;
    child->setMouseArea(mouseArea);
    child->setMouseEnabled(mouseEnabled);
    return appendChild(child);
}

bool CViewContainer::appendChild(CView* child) {
    if (!child || child->isAttached()) return false;
    child->retain();
    Node* node = new Node{child, nullptr, lastNode};
    if (lastNode)
        lastNode->next = node;
    else
        firstNode = node;
    lastNode = node;
    if (attached) {
        child->attachTo(this);
        child->invalidate();
    }
    return true;
}

bool CViewContainer::removeChild(CView* child, bool release) {
    Node* node = findNode(child);
    if (!node) return false;
    child->invalidate();
    if (viewFrame) viewFrame->viewRemoved(child);
    // Nothing may keep pointing at a view that is about to go.
    if (pressedChild == child) pressedChild = nullptr;
    if (dragOverChild == child) dragOverChild = nullptr;
    if (attached) child->detach();
    (node->previous ? node->previous->next : firstNode) = node->next;
    (node->next ? node->next->previous : lastNode) = node->previous;
    delete node;
    if (release) child->release();
    child->release();
    return true;
}

bool CViewContainer::removeAllChildren(bool release) {
    while (firstNode) removeChild(firstNode->child, release);
    return true;
}

bool CViewContainer::hasChild(CView* child) const { return child && findNode(child); }

int32_t CViewContainer::childCount() const {
    int32_t count = 0;
    for (Node* node = firstNode; node; node = node->next) ++count;
    return count;
}

CView* CViewContainer::childAt(int32_t index) const {
    for (Node* node = firstNode; node; node = node->next)
        if (index-- == 0) return node->child;
    return nullptr;
}

CViewContainer::Node* CViewContainer::findNode(const CView* child) const {
    for (Node* node = firstNode; node; node = node->next)
        if (node->child == child) return node;
    return nullptr;
}

CView* CViewContainer::childUnder(ViewPoint local) const {
    for (Node* node = lastNode; node; node = node->previous)
        if (node->child->isShown() && node->child->mouseArea().containsInclusive(local)) return node->child;
    return nullptr;
}

CView* CViewContainer::viewAt(ViewPoint where, bool deep) const {
    CView* child = childUnder(where);
    if (!child || !deep || !child->isTypeOf("CViewContainer")) return child;
    CView* inner = static_cast<CViewContainer*>(child)->viewAt(where - child->viewSize().topLeft(), true);
    return inner ? inner : child;
}

CViewContainer* CViewContainer::containerAt(ViewPoint where, bool deep) {
    CView* child = childUnder(where);
    if (!child || !child->isTypeOf("CViewContainer")) return this;
    auto* container = static_cast<CViewContainer*>(child);
    return deep ? container->containerAt(where - child->viewSize().topLeft(), true) : container;
}

void CViewContainer::setBackgroundColor(ViewColor color) {
    backColor = color;
    setDirty(true);
}

ViewColor CViewContainer::backgroundColor() const { return backColor; }
void CViewContainer::setBackgroundOffset(ViewPoint offset) { backOffset = offset; }
ViewPoint CViewContainer::backgroundOffset() const { return backOffset; }

void CViewContainer::paintBackgroundRect(CDrawContext* context, const ViewRect& rect) {
    const ViewRect area{0, 0, size.width(), size.height()};
    if (backgroundBitmap) {
        const ViewRect previousClip = context->clipRect();
        context->setClipRect(rect);
        if (transparent)
            backgroundBitmap->blitTransparent(context, area, backOffset);
        else
            backgroundBitmap->blit(context, area, backOffset);
        context->setClipRect(previousClip);
    } else if (!(backColor.alpha == 255 && transparent)) {
        context->setFillColor(backColor);
        context->setFrameColor(backColor);
        context->drawRect(area, kDrawFilledAndStroked);
    }
}

void CViewContainer::setOffscreen(bool value) {
    offscreenWanted = value;
    if (!value) resetOffscreen();
}

void CViewContainer::resetOffscreen() {
    if (offscreen) offscreen->release();
    offscreen = nullptr;
}

bool CViewContainer::focusNext(CView* current, bool reverse) {
    Node* node = findNode(current);
    if (node)
        node = reverse ? node->previous : node->next;
    else
        node = reverse ? lastNode : firstNode;
    for (; node; node = reverse ? node->previous : node->next) {
        CView* child = node->child;
        if (!child->isShown()) continue;  // a hidden view (and all inside it) is out of reach
        if (child->wantsFocus()) {
            if (viewFrame) viewFrame->setFocusedView(child);
            child->takeFocus();
            return true;
        }
        if (child->isTypeOf("CViewContainer") && static_cast<CViewContainer*>(child)->focusNext(nullptr, reverse))
            return true;
    }
    return false;
}

void CViewContainer::flushDirtyViews() {
    if (!shown) return;
    if (dirty) {
        invalidate();
        return;
    }
    for (Node* node = firstNode; node; node = node->next) {
        CView* child = node->child;
        if (!child->isDirty() || !child->isShown()) continue;
        if (child->isTypeOf("CViewContainer"))
            static_cast<CViewContainer*>(child)->flushDirtyViews();
        else
            child->invalidate();
    }
}

ViewRect CViewContainer::childVisibleRect(const ViewRect& rect) const {
    ViewRect visible = rect.intersection(ViewRect{0, 0, size.width(), size.height()});
    if (parentContainer)
        visible = parentContainer->childVisibleRect(visible.offsetBy(size.topLeft())).offsetBy(ViewPoint{} - size.topLeft());
    if (visible.isEmpty()) return {};
    return visible;
}

bool CViewContainer::childNeedsPaint(CView* child, const ViewRect& update) const {
    return child->overlapsUpdate(update) && child->isShown();
}

bool CViewContainer::childHit(ViewPoint where, ButtonState buttons) {
    const ViewPoint local = where - size.topLeft();
    for (Node* node = lastNode; node; node = node->previous)
        if (node->child->isMouseEnabled() && node->child->hitTest(local, buttons)) return true;
    return false;
}

void CViewContainer::paint(CDrawContext* context) { paintRect(context, size); }

void CViewContainer::paintRect(CDrawContext* context, const ViewRect& update) {
    if (offscreenWanted && !offscreen)
        offscreen = new COffscreenContext(viewFrame, size.width(), size.height(), kOffscreenBackground);
    CDrawContext* target = offscreenWanted ? offscreen : context;
    const ViewPoint callerOffset = context->offset();
    if (!offscreenWanted) context->setOffset(callerOffset + size.topLeft());

    const ViewRect previousClip = target->clipRect();
    const ViewRect local =
        update.intersection(size).offsetBy(ViewPoint{} - size.topLeft()).intersection(previousClip);
    if (!local.isEmpty()) {
        if (!(local == previousClip)) target->setClipRect(local);
        paintBackgroundRect(target, local);
        for (Node* node = firstNode; node; node = node->next) {
            CView* child = node->child;
            if (!childNeedsPaint(child, local)) continue;
            const ViewRect childClip = child->viewSize().intersection(local);
            if (childClip.isEmpty()) continue;
            target->setClipRect(childClip);
            child->paintRect(target, local);
        }
        target->setClipRect(previousClip);
        if (offscreenWanted) offscreen->copyTo(context, local.offsetBy(size.topLeft()), local.topLeft());
    }
    if (!offscreenWanted) context->setOffset(callerOffset);
    dirty = false;
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    const ViewRect area{0, 0, size.width(), size.height()};
    for (Node* node = firstNode; node; node = node->next)
        if (node->child->isDirty() && !node->child->viewSize().intersection(area).isEmpty()) return true;
    return false;
}

void CViewContainer::invalidateRect(const ViewRect& rect) {
    if (!attached || !shown) return;
    const ViewRect inParent = rect.offsetBy(size.topLeft()).intersection(size);
    if (!inParent.isEmpty()) CView::invalidateRect(inParent);
}

void CViewContainer::invalidate() {
    dirty = false;
    CView::invalidateRect(size);
}

MouseResult CViewContainer::pressChild(CView* child, ViewPoint local, ButtonState buttons) {
    if ((buttons & kModifierClickButtons) && child->isTypeOf("CControl")) {
        if (auto* target = dynamic_cast<ModifierClickTarget*>(child); target && target->offerModifierClick(buttons))
            return kMouseHandled;
    }
    // The child may take itself out of the tree while it handles the press.
    child->retain();
    const MouseResult result = child->pointerDown(local, buttons);
    if (result == kMouseHandled && hasChild(child)) pressedChild = child;
    child->release();
    return result;
}

MouseResult CViewContainer::pointerDown(ViewPoint where, ButtonState buttons) {
    pressedChild = nullptr;
    const ViewPoint local = where - size.topLeft();
    for (Node* node = lastNode; node; node = node->previous) {
        CView* child = node->child;
        if (!child->isShown() || !child->isMouseEnabled() || !child->hitTest(local, buttons)) continue;
        return pressChild(child, local, buttons);
    }
    return kMouseNotHandled;
}

MouseResult CViewContainer::pointerUp(ViewPoint where, ButtonState buttons) {
    if (!pressedChild) return kMouseNotHandled;
    CView* child = pressedChild;
    pressedChild = nullptr;
    child->pointerUp(where - size.topLeft(), buttons);
    return kMouseHandled;
}

MouseResult CViewContainer::pointerMoved(ViewPoint where, ButtonState buttons) {
    if (!pressedChild) return kMouseNotHandled;
    if (pressedChild->pointerMoved(where - size.topLeft(), buttons) == kMouseHandled) return kMouseHandled;
    pressedChild = nullptr;
    return kMouseNotHandled;
}

bool CViewContainer::wheelOnAxis(ViewPoint where, WheelAxis axis, float distance, ButtonState buttons) {
    if (!attached || !shown) return false;
    const ViewPoint local = where - size.topLeft();
    CView* child = childUnder(local);
    return child && child->wheelOnAxis(local, axis, distance, buttons);
}

bool CViewContainer::wheel(ViewPoint where, float distance, ButtonState buttons) {
    return wheelOnAxis(where, kWheelVertical, distance, buttons);
}

void CViewContainer::dragEnter(CDragContainer* drag, ViewPoint where) {
    const ViewPoint local = where - size.topLeft();
    if (dragOverChild) dragOverChild->dragLeave(drag, local);
    dragOverChild = childUnder(local);
    if (dragOverChild) dragOverChild->dragEnter(drag, local);
}

void CViewContainer::dragMove(CDragContainer* drag, ViewPoint where) {
    const ViewPoint local = where - size.topLeft();
    CView* child = childUnder(local);
    if (child == dragOverChild) {
        if (child) child->dragMove(drag, local);
        return;
    }
    if (dragOverChild) dragOverChild->dragLeave(drag, local);
    dragOverChild = child;
    if (child) child->dragEnter(drag, local);
}

void CViewContainer::dragLeave(CDragContainer* drag, ViewPoint where) {
    if (!dragOverChild) return;
    CView* child = dragOverChild;
    dragOverChild = nullptr;
    child->dragLeave(drag, where - size.topLeft());
}

bool CViewContainer::dragDrop(CDragContainer* drag, ViewPoint where) {
    const ViewPoint local = where - size.topLeft();
    CView* child = childUnder(local);
    if (dragOverChild && dragOverChild != child) dragOverChild->dragLeave(drag, local);
    dragOverChild = nullptr;
    if (!child) return false;
    const bool taken = child->dragDrop(drag, local);
    child->dragLeave(drag, local);
    return taken;
}

int32_t CViewContainer::keyDown(KeyCode& key) {
    for (Node* node = lastNode; node; node = node->previous)
        if (const int32_t result = node->child->keyDown(key); result != kKeyNotHandled) return result;
    return kKeyNotHandled;
}

int32_t CViewContainer::keyUp(KeyCode& key) {
    for (Node* node = lastNode; node; node = node->previous)
        if (const int32_t result = node->child->keyUp(key); result != kKeyNotHandled) return result;
    return kKeyNotHandled;
}

void CViewContainer::setViewSize(const ViewRect& rect, bool invalidate) {
    if (rect == size) return;
    const int32_t dw = rect.width() - size.width();
    const int32_t dh = rect.height() - size.height();
    CView::setViewSize(rect, invalidate);
    if (dw != 0 || dh != 0) {
        layoutChildren(dw, dh);
        resetOffscreen();
        if (offscreenWanted && attached)
            offscreen = new COffscreenContext(viewFrame, size.width(), size.height(), kOffscreenBackground);
    }
    for (Node* node = firstNode; node; node = node->next) node->child->parentSizeChanged();
}

void CViewContainer::layoutChildren(int32_t dw, int32_t dh) {
    const int32_t count = childCount();
    int32_t index = 0;
    for (Node* node = firstNode; node; node = node->next, ++index) {
        CView* child = node->child;
        const ViewRect old = child->viewSize();
        const int32_t flags = child->layoutFlags();
        ViewRect laidOut = old;
        if (dw != 0) {
            if (layout & kLayoutShareWidth) {
                const int32_t share = dw / count;
                laidOut.left += index * share;
                laidOut.right += index * share + share;
            } else if (flags & kLayoutFollowRight) {
                laidOut.right += dw;
                if (!(flags & kLayoutFixedLeft)) laidOut.left += dw;
            }
        }
        if (dh != 0) {
            if (layout & kLayoutShareHeight) {
                const int32_t share = dh / count;
                laidOut.top += index * share;
                laidOut.bottom += index * share + share;
            } else if (flags & kLayoutFollowBottom) {
                laidOut.bottom += dh;
                if (!(flags & kLayoutFixedTop)) laidOut.top += dh;
            }
        }
        if (laidOut == old) continue;
        const ViewRect area = child->mouseArea();
        child->setMouseArea(ViewRect{area.left + laidOut.left - old.left, area.top + laidOut.top - old.top,
                                     area.right + laidOut.right - old.right, area.bottom + laidOut.bottom - old.bottom});
        child->setViewSize(laidOut, true);
    }
}

void CViewContainer::parentSizeChanged() {
    for (Node* node = firstNode; node; node = node->next) node->child->parentSizeChanged();
}

void CViewContainer::loseFocus() {
    for (Node* node = firstNode; node; node = node->next) node->child->loseFocus();
}

void CViewContainer::takeFocus() {
    for (Node* node = firstNode; node; node = node->next) node->child->takeFocus();
}

bool CViewContainer::detach() {
    if (!attached) return false;
    resetOffscreen();
    for (Node* node = firstNode; node; node = node->next) node->child->detach();
    return CView::detach();
}

bool CViewContainer::attachTo(CViewContainer* parent) {
    if (attached || !parent) return false;
    if (offscreenWanted && !offscreen)
        offscreen = new COffscreenContext(parent->frame(), size.width(), size.height(), kOffscreenBackground);
    viewFrame = parent->frame();
    for (Node* node = firstNode; node; node = node->next) node->child->attachTo(this);
    return CView::attachTo(parent);
}

bool CViewContainer::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CViewContainer") == 0) || CView::isTypeOf(className);
}

CView* CViewContainer::cloneView() const {
    auto* copy = new CViewContainer(size);
    copy->copyPropertiesFrom(*this);
    copy->backColor = backColor;
    copy->backOffset = backOffset;
    copy->offscreenWanted = offscreenWanted;
    // Each clone's first reference goes over to the copy's list, as the creator's does.
    for (Node* node = firstNode; node; node = node->next)
        if (CView* child = node->child->cloneView()) copy->appendChild(child);
    return copy;
}

int32_t CViewContainer::notify(CBaseObject* sender, const char* message) {
    if (message && std::strcmp(message, "kMsgCheckIfViewContainer") == 0) return 1;
    return CView::notify(sender, message);
}

}  // namespace Toolkit
