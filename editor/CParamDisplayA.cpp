#include "CParamDisplayA.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "CFontDesc.h"
#include "CFrame.h"

using namespace Toolkit;

double leadingNumber(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* start = p;
    auto digits = [&p] {
        const char* from = p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
        return p - from;
    };
    auto mantissa = digits();
    if (*p == '.') {
        ++p;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    bool tiny = false;
    if (*p == 'e' || *p == 'E') {
        const char* mark = p++;
        if (*p == '+' || *p == '-') tiny = *p++ == '-';
        if (digits() == 0) p = mark;  // an exponent needs digits
    }
    double number = 0.0;
    // Decimal notation independent of the locale; beyond the double range the number is 0 or infinite.
    if (std::from_chars(start, p, number).ec == std::errc::result_out_of_range) number = tiny ? 0.0 : HUGE_VAL;
    return negative ? -number : number;
}

CParamDisplayA::CParamDisplayA(const ViewRect& rect, CControlListener* listener, int32_t tag, const char*,
                               CBitmap* background, int32_t style)
    : CTextEdit(rect, listener, tag, "", background, style) {
    setFont(sharedFont(SharedFont::Small11));
    setFontColor({255, 255, 255, 255});
    setBackColor({242, 111, 146, 255});
    setFrameColor({255, 255, 255, 255});
}

void CParamDisplayA::showValueText() {
    char buffer[kDisplayTextSize] = {};
    if (valueFormatter || valueFormatterWithData)
        formatValue(buffer);
    else
        std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(currentValue));
    setText(buffer);
}

MouseResult CParamDisplayA::pointerDown(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    if (CFrame* owner = frame(); owner && owner->focusedView() == this) return kMouseHandled;
    if (buttons & kDoubleClick) {
        takeFocus();
        return kMouseHandledDone;
    }
    lastPoint = where;
    endDrag();
    dragging = true;
    beginGesture();
    return kMouseHandled;
}

MouseResult CParamDisplayA::pointerMoved(ViewPoint where, ButtonState buttons) {
    if (!(buttons & kLButton)) {
        endDrag();  // the release went elsewhere: no more moves come
        return kMouseNotHandled;
    }
    const int32_t steps = (lastPoint.y - where.y) / 4;
    if (steps == 0) return kMouseHandled;  // small motions add up until they reach a step
    currentValue += static_cast<float>(steps) * dragStep;
    clampValue();
    showValueText();
    lastPoint = where;
    if (notifyWhileDragging) {
        if (controlListener) controlListener->valueChanged(this);
    } else {
        pendingNotify = true;
    }
    if (linkedControl) linkedControl->setValue(currentValue);
    return kMouseHandled;
}

MouseResult CParamDisplayA::pointerUp(ViewPoint, ButtonState buttons) {
    if (buttons & kDoubleClick) return kMouseHandled;
    if (pendingNotify) {
        if (controlListener) controlListener->valueChanged(this);
        pendingNotify = false;
    }
    endDrag();
    return kMouseHandled;
}

bool CParamDisplayA::wheel(ViewPoint where, float distance, ButtonState buttons) {
    if (!isMouseEnabled()) return false;
    float delta = distance * wheelIncrement();
    if (buttons & kShift) delta = fineFactor * distance * wheelIncrement();
    currentValue += delta;
    clampValue();
    showValueText();
    lastPoint = where;
    if (linkedControl) linkedControl->setValue(currentValue);
    if (controlListener) {
        beginGesture();
        controlListener->valueChanged(this);
        endGesture();
        setDirty(true);
    }
    return true;
}

void CParamDisplayA::takeFocus() {
    if (!isEditing()) showValueText();
    CTextEdit::takeFocus();
}

bool CParamDisplayA::detach() {
    endDrag();
    return CTextEdit::detach();
}

void CParamDisplayA::endDrag() {
    if (!dragging) return;
    dragging = false;
    endGesture();
}

void CParamDisplayA::textEntered(const std::string& oldText) {
    if (oldText == textPointer()) return;
    const double typed = leadingNumber(textPointer());
    double converted = typed;
    if (tag() >= 0 && tag() <= 2)
        converted = (typed + 12.0) / 24.0;
    else if (tag() == 5)
        converted = (typed + 40.0) / 60.0;
    currentValue = static_cast<float>(converted);
    clampValue();
    if (CControlListener* told = listener()) told->valueChanged(this);
}
