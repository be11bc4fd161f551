#pragma once

#include <memory>

#include "CParamDisplay.h"
#include "NativeTextEntry.h"
#include "TextEntryColors.h"

namespace Toolkit {

// Writes the text to show for a text into a buffer of kDisplayTextSize bytes.
using TextFormatter = void (*)(const char* text, char* display);
using TextFormatterWithData = void (*)(const char* text, char* display, void* userData);

// A text shown like a value display that the user edits in a native single-line entry opened over
// it. Editing ends on Enter, on loss of the keyboard focus, when the frame's focus view changes or
// when the field is destroyed; a changed text is then reported to the listener. Escape abandons the
// entry and keeps the old text. An open entry is one gesture, however it was opened (a press, Tab).
class CTextEdit : public CParamDisplay, public TextEntryColors, private NativeTextEntryClient {
public:
    CTextEdit(const ViewRect& rect, CControlListener* listener, int32_t tag, const char* text = nullptr,
              CBitmap* background = nullptr, int32_t style = 0);
    ~CTextEdit() override;

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    void takeFocus() override;
    void loseFocus() override;
    // Leaving the tree ends an open edit quietly while the frame can still close the gesture.
    bool detach() override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;

    // Keeps at most kTextEntryMaxCharacters bytes (whole characters); null empties the text.
    virtual void setText(const char* text);
    virtual const char* textPointer() const { return content; }
    // Copies the text into buffer (kDisplayTextSize bytes).
    virtual void text(char* buffer) const;
    virtual void setTextFormatter(TextFormatterWithData formatter, void* userData);
    virtual void setTextFormatter(TextFormatter formatter);

    ViewColor textEntryFontColor() const override { return colorOfFont; }
    ViewColor textEntryBackColor() const override { return colorOfBack; }

    bool isEditing() const { return entry != nullptr; }
    bool returnWasPressed() const { return returnPressed; }

protected:
    // An entry has ended with the field's text (unchanged when abandoned), inside the entry's gesture;
    // tells the listener when the text changed.
    virtual void textEntered(const std::string& oldText);

private:
    void nativeEntryReturnPressed() override;
    void nativeEntryFocusLost() override;
    void nativeEntryCancelled() override;
    // Closes the native entry, takes its text (unless abandoned), reports it unless quiet and ends
    // the gesture.
    void closeEntry(bool quiet);
    // The field's rectangle in the frame window's coordinates.
    ViewRect rectInFrame() const;

    std::unique_ptr<NativeTextEntry> entry;
    bool returnPressed = false;
    bool abandoned = false;
    char content[kDisplayTextSize] = {};
    TextFormatter textFormatter = nullptr;
    TextFormatterWithData textFormatterWithData = nullptr;
};

// Copies text into buffer (size bytes, at least 1) cut to at most limit bytes without splitting a
// UTF-8 character; returns the length copied.
size_t copyUtf8Limited(char* buffer, size_t size, const char* text, size_t limit);

}  // namespace Toolkit
