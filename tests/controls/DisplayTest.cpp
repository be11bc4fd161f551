// Value displays drawn into offscreen pictures: the formatter's text, its alignment and the style bits.

#include <cstdio>
#include <functional>
#include <string>

#include "CFontDesc.h"
#include "CParamDisplay.h"
#include "Canvas.h"

namespace ControlsTest {
namespace {

using namespace Toolkit;
using ToolkitTest::Canvas;

constexpr ViewRect kRect{10, 10, 110, 30};
constexpr ViewColor kBlue{0, 0, 255, 255};
constexpr ViewColor kGreen{0, 255, 0, 255};
constexpr ViewColor kWhite{255, 255, 255, 255};
constexpr ViewColor kBlack{0, 0, 0, 255};

ViewRect boundsWhere(Canvas& canvas, const std::function<bool(ViewColor)>& match) {
    ViewRect box{1000, 1000, -1, -1};
    for (int32_t y = 0; y < canvas->height(); ++y)
        for (int32_t x = 0; x < canvas->width(); ++x)
            if (match(canvas.at(x, y)))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box.right < 0 ? ViewRect{} : box;
}
ViewRect textInk(Canvas& canvas) {
    return boundsWhere(canvas, [](ViewColor c) { return c.red > 127 && c.green > 127 && c.blue > 127; });
}
ViewRect shadowInk(Canvas& canvas) {
    return boundsWhere(canvas, [](ViewColor c) { return c.red > 127 && c.green < 100 && c.blue < 100; });
}

// A display with a blue back and a green frame showing value.
struct Display {
    explicit Display(int32_t style = 0, float value = 0.75f) : view(kRect, nullptr, style) {
        view.setBackColor(kBlue);
        view.setFrameColor(kGreen);
        view.setValue(value);
    }
    void paintInto(Canvas& canvas) { view.paint(canvas.get()); }
    CParamDisplay view;
};

// What a display with no style bits draws for text: back, frame and the text in the font colour.
void drawExpected(Canvas& canvas, const char* text, int32_t alignment) {
    canvas->setFillColor(kBlue);
    canvas->drawRect(kRect, kDrawFilled);
    canvas->setFrameColor(kGreen);
    canvas->drawRect(kRect, kDrawStroked);
    canvas->setFont(sharedFont(SharedFont::Control12));
    canvas->setFontColor(kWhite);
    canvas->drawString(text, kRect, alignment, true);
}

void decibels(float value, char* text, void* calls) {
    ++*static_cast<int32_t*>(calls);
    std::snprintf(text, 256, "%.1f dB", value * 24.0 - 12.0);
}

TEST(ParamDisplay, ShowsTheFormattersTextWithEachAlignment) {
    int32_t calls = 0;
    std::vector<int32_t> textStarts;
    for (int32_t alignment : {kAlignLeft, kAlignCentre, kAlignRight}) {
        Display display;
        display.view.setValueFormatter(decibels, &calls);
        display.view.setHoriAlign(alignment);
        Canvas drawn(120, 40, "align" + std::to_string(alignment));
        display.paintInto(drawn);
        Canvas expected(120, 40, "expected" + std::to_string(alignment));
        drawExpected(expected, "6.0 dB", alignment);
        EXPECT_EQ(drawn.differingPixels(expected), 0) << "alignment " << alignment;
        textStarts.push_back(textInk(drawn).left);
        EXPECT_FALSE(display.view.isDirty());
    }
    EXPECT_EQ(calls, 3);
    EXPECT_LT(textStarts[0], textStarts[1]);
    EXPECT_LT(textStarts[1], textStarts[2]);
}

TEST(ParamDisplay, WithoutFormatterShowsTwoDecimals) {
    Display display(0, 0.5f);
    Canvas drawn(120, 40), expected(120, 40, "expected");
    display.paintInto(drawn);
    drawExpected(expected, "0.50", kAlignCentre);
    EXPECT_EQ(drawn.differingPixels(expected), 0);
}

TEST(ParamDisplay, StyleBitsShapeFrameShadowAndText) {
    {
        Canvas plain(120, 40, "plain");
        Display().paintInto(plain);
        EXPECT_EQ(plain.at(10, 20), kGreen);
        EXPECT_EQ(plain.at(109, 20), kGreen);
        EXPECT_TRUE(shadowInk(plain).isEmpty());
    }
    {
        Canvas shadowed(120, 40, "shadow");
        Display(kShadowText).paintInto(shadowed);
        const ViewRect text = textInk(shadowed), shadow = shadowInk(shadowed);
        ASSERT_FALSE(shadow.isEmpty());
        EXPECT_EQ(shadow.right, text.right + 1);
        EXPECT_EQ(shadow.bottom, text.bottom + 1);
    }
    {
        Canvas sunken(120, 40, "sunken");
        Display(k3DIn).paintInto(sunken);
        EXPECT_EQ(sunken.at(10, 20), kBlue) << "no plain frame, the left edge in the back colour";
        EXPECT_EQ(sunken.at(109, 20), kGreen);
        EXPECT_EQ(sunken.at(50, 30), kGreen);
    }
    {
        Canvas raised(120, 40, "raised");
        Display(k3DOut).paintInto(raised);
        EXPECT_EQ(raised.at(10, 20), kGreen);
        EXPECT_EQ(raised.at(50, 11), kGreen);
        EXPECT_EQ(raised.at(109, 20), kBlue);
    }
    {
        Canvas frameless(120, 40, "noframe");
        Display(kNoFrame).paintInto(frameless);
        EXPECT_EQ(frameless.at(10, 20), kBlue);
        EXPECT_FALSE(textInk(frameless).isEmpty());
    }
    {
        Canvas textless(120, 40, "notext");
        Display(kNoTextStyle).paintInto(textless);
        EXPECT_TRUE(textInk(textless).isEmpty());
        EXPECT_EQ(textless.at(50, 20), kBlue);
    }
    {
        Canvas nothing(120, 40, "nodraw");
        Display hidden(kNoDrawStyle);
        EXPECT_FALSE(CParamDisplay(kRect, nullptr, kNoDrawStyle).isDirty()) << "clean from construction";
        EXPECT_TRUE(CParamDisplay(kRect).isDirty());
        hidden.paintInto(nothing);
        EXPECT_TRUE(boundsWhere(nothing, [](ViewColor c) { return !(c == kBlack); }).isEmpty());
    }
}

}  // namespace
}  // namespace ControlsTest
