#include "TestScene.h"

#include "CBitmap.h"
#include "CFontDesc.h"

namespace ToolkitTest {

using namespace Toolkit;

namespace {
constexpr ViewRect kLeftText{8, 120, 80, 138};
constexpr ViewRect kCentredText{80, 120, 160, 138};
constexpr ViewRect kRightText{120, 138, 232, 156};
}  // namespace

void drawScene(CDrawContext* context) {
    context->setFillColor(ViewColor{28, 31, 41});
    context->drawRect(ViewRect{0, 0, kSceneWidth, kSceneHeight}, kDrawFilled);

    // Outlines of widths 1 and 2, a fill given right to left, a translucent fill.
    context->setFrameColor(ViewColor{236, 230, 213});
    context->drawRect(ViewRect{4, 4, 60, 40}, kDrawStroked);
    context->setFillColor(ViewColor{78, 78, 146});
    context->setFrameColor(ViewColor{255, 179, 79});
    context->setLineWidth(2);
    context->drawRect(ViewRect{66, 4, 120, 40}, kDrawFilledAndStroked);
    context->setLineWidth(1);
    context->setFillColor(ViewColor{200, 60, 40});
    context->drawRect(ViewRect{180, 40, 126, 4}, kDrawFilled);
    context->setFillColor(ViewColor{255, 255, 255, 128});
    context->drawRect(ViewRect{150, 20, 230, 30}, kDrawFilled);

    // Horizontal and vertical lines through the pen position, under an offset.
    context->setOffset(ViewPoint{4, 44});
    context->setFrameColor(ViewColor{120, 200, 120});
    context->moveTo(ViewPoint{0, 0});
    context->lineTo(ViewPoint{60, 0});
    context->lineTo(ViewPoint{60, 20});
    context->moveTo(ViewPoint{0, 10});
    context->lineTo(ViewPoint{50, 10});
    context->setOffset(ViewPoint{});

    // A clip that cuts a fill, then replaced by another.
    context->setClipRect(ViewRect{80, 50, 100, 70});
    context->setFillColor(ViewColor{40, 160, 220});
    context->drawRect(ViewRect{70, 44, 110, 80}, kDrawFilled);
    context->setClipRect(ViewRect{104, 60, 112, 90});
    context->drawRect(ViewRect{70, 44, 140, 100}, kDrawFilled);
    context->setClipRect(ViewRect{0, 0, kSceneWidth, kSceneHeight});

    // Panel bitmaps: handle, a button's lower image, a part of the display box, a faded track.
    CBitmap* handle = new CBitmap(105);
    handle->blit(context, ViewRect{150, 40, 159, 61});
    handle->release();
    CBitmap* button = new CBitmap(109);
    button->blit(context, ViewRect{165, 40, 189, 57}, ViewPoint{0, 17});
    button->release();
    CBitmap* display = new CBitmap(108);
    display->blit(context, ViewRect{195, 40, 215, 52}, ViewPoint{10, 3});
    display->release();
    CBitmap* track = new CBitmap(107);
    track->blitAlpha(context, ViewRect{220, 40, 229, 110}, ViewPoint{0, 50}, 128);
    track->release();
    CBitmap* background = new CBitmap(103);
    background->blit(context, ViewRect{120, 70, 210, 115}, ViewPoint{390, 90});
    background->release();

    // Text in a rectangle, left, centre and right.
    context->setFontColor(ViewColor{255, 255, 255});
    context->drawString("LOW", kLeftText, kAlignLeft);
    context->drawString("Korvel 1.0", kCentredText, kAlignCentre);
    context->setFont(sharedFont(SharedFont::Large18));
    context->drawString("DRIVE", kRightText, kAlignRight);
}

std::vector<ViewRect> sceneTextAreas() { return {kLeftText, kCentredText, kRightText}; }

}  // namespace ToolkitTest
