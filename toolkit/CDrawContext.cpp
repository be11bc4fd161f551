#include "CDrawContext.h"

#include <cstdlib>

#include "CFontDesc.h"
#include "PlatformGraphics.h"

namespace Toolkit {

CDrawContext::CDrawContext(CView* frame, void* deviceContext, void* window, const ViewRect& frameRect)
    : platformDevice(deviceContext), platformWindow(window), owner(frame), deviceClip(frameRect) {
    Platform::retainLibrary();
    target = Platform::createWindowGraphics(deviceContext, window, screenOrigin);
    applyInitialState();
}

CDrawContext::CDrawContext(CView* frame, std::unique_ptr<Platform::Graphics> graphics, const ViewRect& clip)
    : owner(frame), deviceClip(clip), target(std::move(graphics)) {
    Platform::retainLibrary();
    applyInitialState();
}

CDrawContext::~CDrawContext() {
    if (currentFont) currentFont->release();
    target.reset();
    Platform::releaseLibrary();
}

void CDrawContext::dropGraphics() { target.reset(); }

void CDrawContext::applyInitialState() {
    if (target) {
        target->setPenColor(penColor);
        target->setPenDashed(false);
        target->setPenWidth(penWidth);
        target->setFillColor(brushColor);
        target->setTextColor(textColor);
        target->setSmoothing(false);
    }
    CFontDesc* defaultFont = sharedFont(SharedFont::Default12);
    setFont(defaultFont, defaultFont->size(), defaultFont->style());
}

void CDrawContext::moveTo(const ViewPoint& point) { pen = point + drawOffset; }

void CDrawContext::lineTo(const ViewPoint& point) {
    const ViewPoint to = point + drawOffset;
    if (target) target->drawLine(pen, to);
    pen = to;
}

void CDrawContext::drawRect(const ViewRect& rect, DrawStyle style) {
    if (!target) return;
    const int32_t x = std::min(rect.left, rect.right) + drawOffset.x;
    const int32_t y = std::min(rect.top, rect.bottom) + drawOffset.y;
    const int32_t width = std::abs(rect.right - rect.left);
    const int32_t height = std::abs(rect.bottom - rect.top);
    if (style == kDrawFilled || style == kDrawFilledAndStroked) target->fillRectangle(x, y, width, height);
    if (style == kDrawStroked || style == kDrawFilledAndStroked) target->strokeRectangle(x, y, width - 1, height - 1);
}

void CDrawContext::setLineWidth(int32_t width) {
    if (width == penWidth) return;
    penWidth = width;
    if (target) target->setPenWidth(width);
}

void CDrawContext::setLineStyle(LineStyle style) {
    if (style == penStyle) return;
    penStyle = style;
    if (target) target->setPenDashed(style == kLineDashed);
}

void CDrawContext::setDrawMode(DrawMode newMode) {
    if (newMode == mode) return;
    mode = newMode;
    if (target) target->setSmoothing(newMode == kDrawAntialiased);
}

void CDrawContext::setFrameColor(ViewColor color) {
    if (color == penColor) return;
    penColor = color;
    if (target) target->setPenColor(color);
}

void CDrawContext::setFillColor(ViewColor color) {
    if (color == brushColor) return;
    brushColor = color;
    if (target) target->setFillColor(color);
}

void CDrawContext::setFontColor(ViewColor color) {
    textColor = color;
    if (target) target->setTextColor(color);
}

void CDrawContext::setClipRect(const ViewRect& rect) {
    const ViewRect clip = rect.offsetBy(drawOffset);
    if (clip == deviceClip) return;
    deviceClip = clip;
    if (target) target->setClip(clip);
}

void CDrawContext::setFont(CFontDesc* font, int32_t size, int32_t style) {
    // The new font is taken before the old one is let go: the old one may be the font passed in,
    // held by nobody but this context.
    CFontDesc* chosen = nullptr;
    if (font) {
        if ((size <= 0 || size == font->size()) && (style == -1 || style == font->style())) {
            font->retain();
            chosen = font;
        } else {
            chosen = new CFontDesc(font->name(), size <= 0 ? font->size() : size, style == -1 ? font->style() : style);
        }
    }
    if (currentFont) currentFont->release();
    currentFont = chosen;
}

int32_t CDrawContext::stringWidth(const char* utf8) {
    Platform::Font* platformFont = currentFont ? currentFont->platformFont() : nullptr;
    if (!platformFont || !target) return -1;
    return static_cast<int32_t>(target->measureString(*platformFont, utf8 ? utf8 : ""));
}

void CDrawContext::drawString(const char* utf8, const ViewPoint& point, bool antialias) {
    if (!utf8 || !currentFont || !target) return;
    Platform::Font* platformFont = currentFont->platformFont();
    if (!platformFont) return;
    const float lineHeight = target->lineHeight(*platformFont);
    target->drawString(*platformFont, utf8, static_cast<float>(point.x + drawOffset.x),
                       static_cast<float>(point.y + drawOffset.y + 1) - lineHeight, antialias);
}

void CDrawContext::drawString(const char* utf8, const ViewRect& rect, int32_t alignment, bool antialias) {
    if (!utf8 || !currentFont || !target) return;
    const int32_t baseline = rect.bottom - rect.height() / 2 + currentFont->size() / 2 - 1;
    int32_t x;
    if (alignment == kAlignLeft)
        x = rect.left;
    else if (alignment == kAlignRight)
        x = rect.right - stringWidth(utf8);
    else
        x = static_cast<int32_t>(static_cast<float>(rect.left) + static_cast<float>(rect.right - rect.left) * 0.5f -
                                 static_cast<float>(stringWidth(utf8)) * 0.5f);
    const ViewRect previousClip = clipRect();
    setClipRect(rect.intersection(previousClip));
    drawString(utf8, ViewPoint{x, baseline}, antialias);
    setClipRect(previousClip);
}

}  // namespace Toolkit
