#include "CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CFontDesc.h"

namespace Toolkit {

CParamDisplay::CParamDisplay(const ViewRect& rect, CBitmap* background, int32_t style)
    : CControl(rect, nullptr, 0, background), displayStyle(style), textFont(sharedFont(SharedFont::Control12)) {
    textFont->retain();
    if (style & kNoDrawStyle) setDirty(false);
}

CParamDisplay::~CParamDisplay() {
    if (textFont) textFont->release();
}

bool CParamDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "CParamDisplay") == 0 || CControl::isTypeOf(className);
}

void CParamDisplay::copyLookTo(CParamDisplay& other) const {
    other.setFont(textFont);
    other.setFontColor(colorOfFont);
    other.setBackColor(colorOfBack);
    other.setFrameColor(colorOfFrame);
    other.setShadowColor(colorOfShadow);
    other.setHoriAlign(alignment);
    other.setTextAntialias(antialias);
    other.setTextTransparency(textTransparent);
    other.valueFormatter = valueFormatter;
    other.valueFormatterWithData = valueFormatterWithData;
    other.formatterData = formatterData;
    other.convertSetting = convertSetting;
    other.setListener(listener());
    other.setTag(tag());
    other.setMin(minimum);
    other.setMax(maximum);
    other.setDefaultValue(defaultVal);
    other.setValue(currentValue);
}

CView* CParamDisplay::cloneView() const {
    auto* copy = new CParamDisplay(viewSize(), background(), displayStyle);
    copyLookTo(*copy);
    return copy;
}

void CParamDisplay::setFont(CFontDesc* font) {
    setDirty(true);
    if (font) font->retain();
    if (textFont) textFont->release();
    textFont = font;
}

void CParamDisplay::setFontColor(ViewColor color) {
    if (color == colorOfFont) return;
    colorOfFont = color;
    setDirty(true);
}

void CParamDisplay::setBackColor(ViewColor color) {
    if (color == colorOfBack) return;
    colorOfBack = color;
    setDirty(true);
}

void CParamDisplay::setFrameColor(ViewColor color) {
    if (color == colorOfFrame) return;
    colorOfFrame = color;
    setDirty(true);
}

void CParamDisplay::setShadowColor(ViewColor color) {
    if (color == colorOfShadow) return;
    colorOfShadow = color;
    setDirty(true);
}

void CParamDisplay::setHoriAlign(int32_t value) {
    if (value == alignment) return;
    alignment = value;
    setDirty(true);
}

void CParamDisplay::setValueFormatter(ValueFormatterWithData formatter, void* userData) {
    valueFormatterWithData = formatter;
    formatterData = userData;
}

void CParamDisplay::setValueFormatter(ValueFormatter formatter) { valueFormatter = formatter; }

void CParamDisplay::setStyle(int32_t value) {
    if (value == displayStyle) return;
    displayStyle = value;
    setDirty(true);
}

void CParamDisplay::formatValue(char* text) const {
    text[0] = 0;
    if (valueFormatterWithData)
        valueFormatterWithData(currentValue, text, formatterData);
    else if (valueFormatter)
        valueFormatter(currentValue, text);
    else
        std::snprintf(text, kDisplayTextSize, "%2.2f", currentValue);
    text[kDisplayTextSize - 1] = 0;
}

void CParamDisplay::paint(CDrawContext* context) {
    char text[kDisplayTextSize];
    formatValue(text);
    drawText(context, text, nullptr);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* bitmap) {
    setDirty(false);
    if (displayStyle & kNoDrawStyle) return;
    const ViewRect rect = viewSize();

    if (CBitmap* image = bitmap ? bitmap : background()) {
        drawBackground(context, image, backOffset);
    } else if (!transparency()) {
        context->setFillColor(colorOfBack);
        context->drawRect(rect, kDrawFilled);
        if (!(displayStyle & (k3DIn | k3DOut | kNoFrame))) {
            context->setFrameColor(colorOfFrame);
            context->setLineWidth(1);
            context->drawRect(rect, kDrawStroked);
        }
    }

    if (displayStyle & (k3DIn | k3DOut)) {
        context->setLineWidth(1);
        const bool sunken = (displayStyle & k3DIn) != 0;
        context->setFrameColor(sunken ? colorOfBack : colorOfFrame);
        context->moveTo({rect.left, rect.bottom});
        context->lineTo({rect.left, rect.top + 1});
        context->lineTo({rect.right - 1, rect.top + 1});
        context->setFrameColor(sunken ? colorOfFrame : colorOfBack);
        context->moveTo({rect.right - 1, rect.top + 1});
        context->lineTo({rect.right - 1, rect.bottom});
        context->lineTo({rect.left, rect.bottom});
    }

    if ((displayStyle & kNoTextStyle) || !text || !text[0]) return;

    const ViewRect previousClip = context->clipRect();
    context->setClipRect(rect.intersection(previousClip));
    if (textFont) context->setFont(textFont, textFont->size(), textFont->style());
    if (displayStyle & kShadowText) {
        context->setFontColor(colorOfShadow);
        context->drawString(text, rect.offsetBy(1, 1), alignment, antialias);
    }
    context->setFontColor(colorOfFont);
    context->drawString(text, rect, alignment, antialias);
    context->setClipRect(previousClip);
}

}  // namespace Toolkit
