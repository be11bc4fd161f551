// The drawing context's pixel rules, checked on offscreen contexts of whichever backend is built.

#include <gtest/gtest.h>

#include "CBitmap.h"
#include "CFontDesc.h"
#include "Canvas.h"

namespace ToolkitTest {
namespace {

using Toolkit::kDrawFilled;
using Toolkit::kDrawFilledAndStroked;
using Toolkit::kDrawStroked;

TEST(DrawingShapes, StrokeLiesInsideItsRectangle) {
    Canvas canvas(40, 40);
    canvas->setFrameColor(kRed);
    canvas->drawRect(ViewRect{10, 10, 20, 20}, kDrawStroked);
    for (ViewPoint corner : {ViewPoint{10, 10}, ViewPoint{19, 10}, ViewPoint{10, 19}, ViewPoint{19, 19}})
        EXPECT_EQ(canvas.at(corner.x, corner.y), kRed) << corner.x << "," << corner.y;
    EXPECT_EQ(canvas.at(15, 10), kRed);
    EXPECT_EQ(canvas.at(19, 15), kRed);
    for (ViewPoint outside : {ViewPoint{20, 15}, ViewPoint{15, 20}, ViewPoint{9, 15}, ViewPoint{15, 9}, ViewPoint{20, 20}})
        EXPECT_EQ(canvas.at(outside.x, outside.y), kBlack) << outside.x << "," << outside.y;
    EXPECT_EQ(canvas.at(15, 15), kBlack);
}

TEST(DrawingShapes, FillGivenRightToLeftCoversTheAbsoluteArea) {
    Canvas canvas(40, 40);
    canvas->setFillColor(kGreen);
    canvas->drawRect(ViewRect{30, 25, 20, 10}, kDrawFilled);
    EXPECT_EQ(canvas.inkBounds(), (ViewRect{20, 10, 30, 25}));
    EXPECT_EQ(canvas.at(25, 17), kGreen);
}

TEST(DrawingShapes, FillAndStrokeUseTheirOwnColoursAndTheOffset) {
    Canvas canvas(40, 40);
    canvas->setOffset(ViewPoint{5, 3});
    canvas->setFillColor(kGreen);
    canvas->setFrameColor(kRed);
    canvas->drawRect(ViewRect{0, 0, 10, 8}, kDrawFilledAndStroked);
    EXPECT_EQ(canvas.at(5, 3), kRed);
    EXPECT_EQ(canvas.at(14, 10), kRed);
    EXPECT_EQ(canvas.at(9, 6), kGreen);
    EXPECT_EQ(canvas.at(15, 6), kBlack);
    EXPECT_EQ(canvas.at(4, 3), kBlack);
}

TEST(DrawingShapes, LinesRunFromThePenPositionAndMoveIt) {
    Canvas canvas(40, 40);
    canvas->setOffset(ViewPoint{2, 1});
    canvas->setFrameColor(kWhite);
    canvas->moveTo(ViewPoint{3, 5});
    EXPECT_EQ(canvas->penPosition(), (ViewPoint{5, 6}));
    canvas->lineTo(ViewPoint{20, 5});
    EXPECT_EQ(canvas->penPosition(), (ViewPoint{22, 6}));
    canvas->lineTo(ViewPoint{20, 25});
    EXPECT_EQ(canvas.at(5, 6), kWhite);
    EXPECT_EQ(canvas.at(15, 6), kWhite);
    EXPECT_EQ(canvas.at(22, 15), kWhite);
    EXPECT_EQ(canvas.at(22, 26), kWhite) << "a line covers its end pixel";
    EXPECT_EQ(canvas.at(22, 27), kBlack);
    EXPECT_EQ(canvas.at(15, 7), kBlack);
    EXPECT_EQ(canvas.at(15, 5), kBlack);
    EXPECT_EQ(canvas.at(4, 6), kBlack);
}

TEST(DrawingClip, ANewClipReplacesThePreviousOne) {
    Canvas canvas(40, 40);
    canvas->setClipRect(ViewRect{0, 0, 10, 10});
    canvas->setClipRect(ViewRect{20, 20, 30, 30});
    canvas->setFillColor(kGreen);
    canvas->drawRect(ViewRect{0, 0, 40, 40}, kDrawFilled);
    EXPECT_EQ(canvas.inkBounds(), (ViewRect{20, 20, 30, 30}));
}

TEST(DrawingClip, ClipIsReportedInViewCoordinatesAndSetBackUnchanged) {
    Canvas canvas(40, 40);
    canvas->setOffset(ViewPoint{10, 5});
    canvas->setClipRect(ViewRect{0, 0, 8, 8});
    EXPECT_EQ(canvas->deviceClipRect(), (ViewRect{10, 5, 18, 13}));
    EXPECT_EQ(canvas->clipRect(), (ViewRect{0, 0, 8, 8}));
    canvas->setFillColor(kGreen);
    canvas->drawRect(ViewRect{-10, -10, 30, 30}, kDrawFilled);
    EXPECT_EQ(canvas.inkBounds(), (ViewRect{10, 5, 18, 13}));
}

class DrawingText : public testing::Test {
protected:
    // Draws text white on black with the shared 12-pixel font.
    static void write(Canvas& canvas, const char* text, const ViewRect& rect, int32_t alignment) {
        canvas->setFontColor(kWhite);
        canvas->drawString(text, rect, alignment, false);
    }
    static void write(Canvas& canvas, const char* text, ViewPoint point) {
        canvas->setFontColor(kWhite);
        canvas->drawString(text, point, false);
    }
};

TEST_F(DrawingText, TwelvePixelTextInAnEighteenPixelRectangleSitsFourAboveTheBottom) {
    Canvas inRect(120, 40, "rectangle"), atPoint(120, 40, "point");
    write(inRect, "HEH", ViewRect{10, 10, 110, 28}, Toolkit::kAlignLeft);
    write(atPoint, "HEH", ViewPoint{10, 28 - 4});
    EXPECT_EQ(inRect.differingPixels(atPoint), 0);
    // y is the baseline: the line box's top is y + 1 - line height, and the capitals rest on
    // the font's ascent below it (Liberation Sans: 13.8-pixel line, 10.9-pixel ascent).
    const ViewRect ink = inRect.inkBounds();
    EXPECT_EQ(ink.bottom, 22) << "bottom of the capitals";
    EXPECT_NEAR(ink.top, 13, 1) << "top of the capitals";
}

TEST_F(DrawingText, CentringTruncatesTheHalfPixel) {
    Canvas probe(10, 10);
    const int32_t width = probe->stringWidth("HEH");
    ASSERT_GT(width, 10);
    // The rectangle is 11 pixels wider than the text, so the centred start is left + 5.5.
    const ViewRect rect{10, 10, 10 + width + 11, 28};
    Canvas centred(120, 40, "centred"), truncated(120, 40, "truncated"), rounded(120, 40, "rounded");
    write(centred, "HEH", rect, Toolkit::kAlignCentre);
    write(truncated, "HEH", ViewPoint{15, 24});
    write(rounded, "HEH", ViewPoint{16, 24});
    EXPECT_EQ(centred.differingPixels(truncated), 0);
    EXPECT_GT(centred.differingPixels(rounded), 0);
}

TEST_F(DrawingText, RightAlignmentEndsAtTheRightEdgeAndTheRectangleClips) {
    Canvas probe(10, 10);
    const int32_t width = probe->stringWidth("HEH");
    Canvas right(120, 40, "right"), expected(120, 40, "expected");
    write(right, "HEH", ViewRect{10, 10, 100, 28}, Toolkit::kAlignRight);
    write(expected, "HEH", ViewPoint{100 - width, 24});
    EXPECT_EQ(right.differingPixels(expected), 0);

    Canvas clipped(120, 40, "clipped");
    write(clipped, "HEH", ViewRect{10, 10, 18, 28}, Toolkit::kAlignLeft);
    const ViewRect ink = clipped.inkBounds(20);
    EXPECT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.right, 18);
}

TEST_F(DrawingText, StringWidthGrowsWithTheTextAndNeedsAFont) {
    Canvas canvas(10, 10);
    const int32_t one = canvas->stringWidth("M");
    const int32_t two = canvas->stringWidth("MM");
    const int32_t four = canvas->stringWidth("MMMM");
    EXPECT_GT(one, 5);
    EXPECT_EQ(four - two, 2 * (two - one)) << "each M adds the same advance";
    canvas->setFont(nullptr);
    EXPECT_EQ(canvas->stringWidth("M"), -1);
    write(canvas, "M", ViewPoint{0, 9});
    EXPECT_TRUE(canvas.inkBounds().isEmpty());
}

TEST_F(DrawingText, AFamilyThatIsNotInstalledStillDraws) {
    auto* missing = new Toolkit::CFontDesc("Korvel Missing Family", 14);
    Canvas canvas(80, 30);
    canvas->setFont(missing);
    missing->release();
    write(canvas, "Korvel", ViewPoint{4, 22});
    EXPECT_GT(canvas.inkBounds().width(), 20);
}

}  // namespace
}  // namespace ToolkitTest
