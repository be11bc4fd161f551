#include "CTextEdit.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "CFontDesc.h"
#include "CFrame.h"
#include "CViewContainer.h"

namespace Toolkit {

size_t copyUtf8Limited(char* buffer, size_t size, const char* text, size_t limit) {
    size_t length = std::min({std::strlen(text), limit, size - 1});
    // Step back over continuation bytes so that no character is cut in two.
    if (text[length] != 0)
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) --length;
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return length;
}

CTextEdit::CTextEdit(const ViewRect& rect, CControlListener* listener, int32_t tag, const char* text,
                     CBitmap* background, int32_t style)
    : CParamDisplay(rect, background, style) {
    setListener(listener);
    setTag(tag);
    if (text) copyUtf8Limited(content, sizeof content, text, kTextEntryMaxCharacters);
    setWantsFocus(true);
}

CTextEdit::~CTextEdit() {
    setListener(nullptr);
    if (entry) closeEntry(true);
}

bool CTextEdit::isTypeOf(const char* className) const {
    return std::strcmp(className, "CTextEdit") == 0 || CParamDisplay::isTypeOf(className);
}

CView* CTextEdit::cloneView() const {
    auto* copy = new CTextEdit(viewSize(), listener(), tag(), content, background(), displayStyle);
    copyLookTo(*copy);
    copy->textFormatter = textFormatter;
    copy->textFormatterWithData = textFormatterWithData;
    return copy;
}

void CTextEdit::setText(const char* text) {
    if (!text) {
        if (content[0]) {
            content[0] = 0;
            setDirty(true);
        }
        return;
    }
    if (std::strcmp(text, content) == 0) return;
    copyUtf8Limited(content, sizeof content, text, kTextEntryMaxCharacters);
    setDirty(true);
}

void CTextEdit::text(char* buffer) const { std::memcpy(buffer, content, sizeof content); }

void CTextEdit::setTextFormatter(TextFormatterWithData formatter, void* userData) {
    textFormatterWithData = formatter;
    formatterData = userData;
}

void CTextEdit::setTextFormatter(TextFormatter formatter) { textFormatter = formatter; }

void CTextEdit::paint(CDrawContext* context) {
    if (entry) {  // the native entry paints itself
        setDirty(false);
        return;
    }
    char shown[kDisplayTextSize] = {};
    if (textFormatterWithData) {
        textFormatterWithData(content, shown, formatterData);
    } else if (textFormatter) {
        textFormatter(content, shown);
    } else if (valueFormatterWithData || valueFormatter) {
        formatValue(shown);
        copyUtf8Limited(content, sizeof content, shown, kTextEntryMaxCharacters);
    } else {
        std::memcpy(shown, content, sizeof content);
    }
    shown[kDisplayTextSize - 1] = 0;
    drawText(context, shown, nullptr);
}

MouseResult CTextEdit::pointerDown(ViewPoint, ButtonState buttons) {
    if (!(buttons & kLButton)) return kMouseNotHandled;
    CFrame* owner = frame();
    if (owner && owner->focusedView() == this) return kMouseNotHandled;
    if ((displayStyle & kDoubleClickStyle) && !(buttons & kDoubleClick)) return kMouseNotHandled;
    takeFocus();
    return kMouseHandledDone;
}

ViewRect CTextEdit::rectInFrame() const {
    ViewRect rect = viewSize();
    for (CView* ancestor = parent(); ancestor; ancestor = ancestor->parent())
        if (ancestor->notify(const_cast<CTextEdit*>(this), "kMsgCheckIfViewContainer") == 1)
            rect = rect.offsetBy(ancestor->viewSize().topLeft());
    return rect;
}

void CTextEdit::takeFocus() {
    CFrame* owner = frame();
    if (entry || !owner) return;
    returnPressed = false;
    abandoned = false;
    beginGesture();
    const ViewRect rect = rectInFrame();
    NativeTextEntryLayout layout;
    layout.rect = {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
    layout.alignment = alignment;
    layout.fontName = textFont ? textFont->name() : "";
    layout.fontHeight = std::min(rect.height() - 2, textFont ? textFont->size() : 12);
    layout.fontColor = colorOfFont;
    layout.backColor = colorOfBack;
    entry = createNativeTextEntry(*owner, layout, content, *this);
    if (!entry) {
        // Without a native entry there is nothing to edit.
        endGesture();
        if (owner->focusedView() == this) owner->setFocusedView(nullptr);
    }
}

void CTextEdit::loseFocus() {
    if (CFrame* owner = frame(); owner && owner->focusedView() == this) owner->setFocusedView(nullptr);
    if (!entry) return;
    closeEntry(false);
    CView* ancestor = parent();
    if (!ancestor) ancestor = frame();
    for (; ancestor; ancestor = ancestor->parent())
        if (ancestor->notify(this, "LooseFocus") == 1) break;
}

bool CTextEdit::detach() {
    if (entry) closeEntry(true);
    return CParamDisplay::detach();
}

void CTextEdit::closeEntry(bool quiet) {
    const std::string oldText = content;
    if (!abandoned) {
        const std::string typed = entry->text();
        copyUtf8Limited(content, sizeof content, typed.c_str(), kTextEntryMaxCharacters);
    }
    entry.reset();
    setDirty(true);
    if (!quiet) textEntered(oldText);
    endGesture();
}

void CTextEdit::textEntered(const std::string& oldText) {
    if (oldText != content && controlListener) controlListener->valueChanged(this);
}

void CTextEdit::nativeEntryReturnPressed() {
    returnPressed = true;
    if (CFrame* owner = frame()) owner->setFocusedView(nullptr);
}

void CTextEdit::nativeEntryFocusLost() { loseFocus(); }

void CTextEdit::nativeEntryCancelled() {
    abandoned = true;
    CFrame* owner = frame();
    if (owner && owner->focusedView() == this)
        owner->setFocusedView(nullptr);  // which ends the entry
    else
        loseFocus();
}

}  // namespace Toolkit
