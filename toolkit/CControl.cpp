#include "CControl.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "CBitmap.h"
#include "CFrame.h"

namespace Toolkit {

namespace {
// The platform's usual double-click time; stored for subclasses, no standard control reads it.
constexpr int32_t kDoubleClickMilliseconds = 500;
}  // namespace

int32_t CControlListener::modifierClicked(CControl*, int32_t) { return 0; }
void CControlListener::editBegan(CControl*) {}
void CControlListener::editEnded(CControl*) {}

int32_t truncateValue(float value) {
    if (!(value > -2147483648.0f && value < 2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(value);
}

CControl::CControl(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(rect), controlListener(listener), controlTag(tag),
      doubleClickMilliseconds(std::max<int32_t>(250, kDoubleClickMilliseconds)) {
    setMouseEnabled(true);
    setTransparency(false);
    setBackground(background);
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
    if (currentValue != lastDrawnValue) return true;  // NaN on either side compares unequal
    return CView::isDirty();
}

void CControl::setDirty(bool dirty) {
    CView::setDirty(dirty);
    if (!dirty)
        lastDrawnValue = currentValue;
    else
        lastDrawnValue = currentValue != -1.0f ? -1.0f : 0.0f;
}

void CControl::invalidate() {
    setDirty(false);
    invalidateRect(viewSize());
}

bool CControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CControl") == 0 || CView::isTypeOf(className);
}

void CControl::editorIdle() {
    if (CFrame* owner = frame()) owner->editorIdle();
}

void CControl::clampValue() {
    if (currentValue > maximum)
        currentValue = maximum;
    else
        currentValue = std::max(currentValue, minimum);
}

bool CControl::resetOnModifierClick(int32_t buttons) {
    if (buttons != (kLButton | kControl)) return false;
    beginGesture();
    currentValue = defaultVal;
    if (isDirty() && controlListener) controlListener->valueChanged(this);
    endGesture();
    return true;
}

void CControl::beginGesture() {
    if (controlListener) controlListener->editBegan(this);
    if (CFrame* owner = frame()) {
        owner->setFocusedView(this);
        owner->beginEdit(controlTag);
    }
}

void CControl::endGesture() {
    if (CFrame* owner = frame()) owner->endEdit(controlTag);
    if (controlListener) controlListener->editEnded(this);
}

void CControl::copyBackOffset() {
    const ViewRect rect = viewSize();
    backOffset = {rect.left, rect.top};
}

int32_t CControl::offerModifierClick(int32_t buttons) {
    return controlListener ? controlListener->modifierClicked(this, buttons) : 0;
}

void CControl::notifyChange() {
    if (!controlListener) return;
    beginGesture();
    controlListener->valueChanged(this);
    endGesture();
}

void CControl::drawBackground(CDrawContext* context, CBitmap* bitmap, const ViewPoint& sourceOffset) {
    if (!bitmap) return;
    if (transparency())
        bitmap->blitTransparent(context, viewSize(), sourceOffset);
    else
        bitmap->blit(context, viewSize(), sourceOffset);
}

}  // namespace Toolkit
