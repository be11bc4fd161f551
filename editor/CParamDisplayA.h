#pragma once

#include "CTextEdit.h"

// The editor's value display: shows a value as text and lets the user change it by dragging
// vertically (one dragStep per 4 pixels, up raises), by the wheel, or by typing a number after a
// double-click. A drag is one gesture from press to release, as is a typed entry.
class CParamDisplayA : public Toolkit::CTextEdit {
public:
    CParamDisplayA(const Toolkit::ViewRect& rect, Toolkit::CControlListener* listener, int32_t tag, const char* text,
                   Toolkit::CBitmap* background, int32_t style = 0);

    Toolkit::MouseResult pointerDown(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    Toolkit::MouseResult pointerUp(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    Toolkit::MouseResult pointerMoved(Toolkit::ViewPoint where, Toolkit::ButtonState buttons) override;
    bool wheel(Toolkit::ViewPoint where, float distance, Toolkit::ButtonState buttons) override;
    bool detach() override;
    // The entry opens on the text of the value the display holds now.
    void takeFocus() override;

    float dragStep = 1.0f;
    Toolkit::CControl* linkedControl = nullptr;
    bool notifyWhileDragging = true;
    Toolkit::ViewPoint lastPoint;
    bool pendingNotify = false;
    float fineFactor = 0.1f;

protected:
    // A changed text sets the value it names; an unchanged one leaves the value as it is.
    void textEntered(const std::string& oldText) override;

private:
    // The text of the current value, through the formatter ("%.1f" without one).
    void showValueText();
    void endDrag();

    bool dragging = false;  // a gesture is open from the press
};

// The longest leading decimal number of text (blanks, sign, digits, fraction, exponent); 0 when the
// text does not begin with one.
double leadingNumber(const char* text);
