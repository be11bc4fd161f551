// One control of each kind on the editor's background, painted by the frame and saved as a picture
// in the build tree (controls-linux.png or controls-windows.png) for a look by eye.

#include "CBitmap.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "COptionMenu.h"
#include "CSlider.h"
#include "CTextEdit.h"
#include "Canvas.h"
#include "ControlHarness.h"

namespace ControlsTest {
namespace {

void tenths(float value, char* text) { std::snprintf(text, 256, "%.1f", static_cast<double>(value)); }

TEST_F(ControlHarness, PanelWithOneControlOfEachKindPaints) {
    constexpr ViewColor kMenuBlue{78, 78, 146, 255};
    // The controls hold their own references; the test's go at the end.
    struct Bitmaps {
        CBitmap* background = new CBitmap(103);
        CBitmap* handle = new CBitmap(105);
        CBitmap* track = new CBitmap(107);
        CBitmap* box = new CBitmap(108);
        CBitmap* onOff = new CBitmap(109);
        CBitmap* undo = new CBitmap(110);
        ~Bitmaps() {
            for (CBitmap* bitmap : {background, handle, track, box, onOff, undo}) bitmap->release();
        }
    } bitmaps;
    ASSERT_EQ(bitmaps.background->width(), 641);
    frame->setBackground(bitmaps.background);

    auto* slider = add(new CSlider(ViewRect{232, 59, 241, 232}, &listener, 3, 59, 210, bitmaps.handle, bitmaps.track, {},
                                   kSliderVertical | kSliderMinBottom));
    slider->setHandleOffset({0, -1});
    slider->setValue(0.7f);
    auto* display = add(new CParamDisplay(ViewRect{219, 238, 254, 255}, bitmaps.box));
    display->setValue(0.7f);
    display->setValueFormatter(tenths);
    auto* menu = add(new COptionMenu(ViewRect{127, 275, 200, 294}, &listener, 7));
    for (const char* title : {"Mono", "Stereo", "Quadro", "5.1"}) menu->addEntry(title);
    menu->setCurrent(1);
    auto* field = add(new CTextEdit(ViewRect{420, 9, 554, 27}, &listener, 10, "Warm bass"));
    for (CParamDisplay* shown : {static_cast<CParamDisplay*>(menu), static_cast<CParamDisplay*>(field)}) {
        shown->setBackColor(kMenuBlue);
        shown->setFrameColor(kMenuBlue);
    }
    add(new CKickButton(ViewRect{84, 9, 131, 26}, &listener, 11, bitmaps.undo, {1, 1}));
    add(new COnOffButton(ViewRect{193, 9, 217, 26}, &listener, 13, bitmaps.onOff))->setValue(1.0f);

#ifdef _WIN32
    ToolkitTest::Canvas picture(641, 301, "windows");
    const char* file = "controls-windows.png";
#else
    ToolkitTest::Canvas picture(641, 301, "linux");
    const char* file = "controls-linux.png";
#endif
    frame->paintRect(picture.get(), ViewRect{0, 0, 641, 301});
    EXPECT_TRUE(picture->writePng(file));

    EXPECT_EQ(picture.at(130, 277), kMenuBlue);
    EXPECT_EQ(picture.at(422, 11), kMenuBlue);
    // The handle is where the value puts it: 45 of 151 pixels below the top end, one pixel up.
    const ViewRect handleAt = slider->handleRect();
    EXPECT_EQ(handleAt.top, 59 + 45 - 1);
    for (int32_t y = handleAt.top; y < handleAt.bottom; ++y)
        for (int32_t x = handleAt.left; x < handleAt.right; ++x) {
            ToolkitTest::Canvas alone(9, 21);
            bitmaps.handle->blit(alone.get(), ViewRect{0, 0, 9, 21});
            ASSERT_EQ(picture.at(x, y), alone.at(x - handleAt.left, y - handleAt.top)) << x << "," << y;
        }
    EXPECT_FALSE(slider->isDirty());
    EXPECT_FALSE(display->isDirty());
}

}  // namespace
}  // namespace ControlsTest
