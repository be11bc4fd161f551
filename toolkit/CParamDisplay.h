#pragma once

#include "CControl.h"

namespace Toolkit {

class CFontDesc;

// Style bits of a value display (and of the text fields and menus built on it).
enum DisplayStyle : int32_t {
    kShadowText = 4,
    k3DIn = 0x80,
    k3DOut = 0x100,
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kDoubleClickStyle = 0x2000,
    kNoFrame = 0x4000,
};

// Writes the text for a value into a buffer of kDisplayTextSize bytes.
using ValueFormatter = void (*)(float value, char* text);
using ValueFormatterWithData = void (*)(float value, char* text, void* userData);
constexpr int32_t kDisplayTextSize = 256;

// A value drawn as text over a background bitmap or a filled, framed rectangle.
class CParamDisplay : public CControl {
public:
    CParamDisplay(const ViewRect& rect, CBitmap* background = nullptr, int32_t style = 0);
    ~CParamDisplay() override;

    void paint(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;

    virtual void setFont(CFontDesc* font);
    virtual void setFontColor(ViewColor color);
    virtual void setBackColor(ViewColor color);
    virtual void setFrameColor(ViewColor color);
    virtual void setShadowColor(ViewColor color);
    virtual void setTextAntialias(bool value) { antialias = value; }
    virtual void setHoriAlign(int32_t alignment);
    virtual void setValueFormatter(ValueFormatterWithData formatter, void* userData);
    virtual void setValueFormatter(ValueFormatter formatter);
    virtual void setStringConvertSetting(int32_t value) { convertSetting = value; }
    virtual void setStyle(int32_t value);
    virtual void setTextTransparency(bool value) { textTransparent = value; }
    // Draws background, frame and text; bitmap (when given) replaces the background bitmap.
    virtual void drawText(CDrawContext* context, const char* text, CBitmap* bitmap = nullptr);

    CFontDesc* font() const { return textFont; }
    ViewColor fontColor() const { return colorOfFont; }
    ViewColor backColor() const { return colorOfBack; }
    ViewColor frameColor() const { return colorOfFrame; }
    ViewColor shadowColor() const { return colorOfShadow; }
    int32_t horiAlign() const { return alignment; }
    int32_t style() const { return displayStyle; }
    bool textAntialias() const { return antialias; }
    bool textTransparency() const { return textTransparent; }
    int32_t stringConvertSetting() const { return convertSetting; }

protected:
    // The value as text through the formatters, "%2.2f" without one.
    void formatValue(char* text) const;
    void copyLookTo(CParamDisplay& other) const;

    ValueFormatter valueFormatter = nullptr;
    ValueFormatterWithData valueFormatterWithData = nullptr;
    int32_t convertSetting = 0;
    void* formatterData = nullptr;
    int32_t alignment = 1;
    int32_t displayStyle;
    CFontDesc* textFont;
    ViewColor colorOfFont{255, 255, 255, 255};
    ViewColor colorOfBack{0, 0, 0, 255};
    ViewColor colorOfFrame{0, 0, 0, 255};
    ViewColor colorOfShadow{255, 0, 0, 255};
    bool textTransparent = true;
    bool antialias = true;
};

}  // namespace Toolkit
