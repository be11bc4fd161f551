// The panel as a host first sees it: its size before any window exists, and the controls that open
// builds from the effect's values.

#include <string>

#include "COffscreenContext.h"
#include "COptionMenu.h"
#include "CTextEdit.h"
#include "CSliderA.h"
#include "EditorHost.h"

namespace EditorTest {
namespace {

struct Placed {
    const char* className;
    int32_t tag;
    ViewRect rect;
};
// In creation order, which is also the drawing order.
const Placed kPanel[] = {
    {"CSlider", 0, {97, 59, 106, 232}},      {"CSlider", 1, {137, 59, 146, 232}},
    {"CSlider", 2, {177, 59, 186, 232}},     {"CSlider", 3, {232, 59, 241, 232}},
    {"CSlider", 4, {272, 59, 281, 232}},     {"CSlider", 5, {312, 59, 321, 232}},
    {"CTextEdit", 0, {84, 238, 119, 255}},   {"CTextEdit", 1, {124, 238, 159, 255}},
    {"CTextEdit", 2, {164, 238, 199, 255}},  {"CTextEdit", 3, {219, 238, 254, 255}},
    {"CTextEdit", 4, {259, 238, 294, 255}},  {"CTextEdit", 5, {299, 238, 334, 255}},
    {"COptionMenu", 7, {127, 275, 200, 294}}, {"COptionMenu", 6, {298, 275, 333, 294}},
    {"CTextEdit", 10, {420, 9, 554, 27}},    {"COptionMenu", 9, {420, 9, 554, 27}},
    {"CKickButton", 11, {84, 9, 131, 26}},   {"CKickButton", 12, {138, 9, 185, 26}},
    {"COnOffButton", 13, {193, 9, 217, 26}}, {"COnOffButton", 14, {223, 9, 247, 26}},
};

TEST_F(EditorHost, GivesItsSizeBeforeOpeningAndBuildsThePanelFromTheEffect) {
    EXPECT_TRUE(host.record()->flags & effFlagsHasEditor);
    ERect* size = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &size), 1);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ((std::vector<int>{size->top, size->left, size->bottom, size->right}), (std::vector<int>{0, 0, 301, 641}));

    host.setParameter(6, 0.5f);
    host.setParameter(7, 6.0f);
    host.setParameter(4, 0.25f);
    ASSERT_TRUE(open());
    ASSERT_EQ(frame().childCount(), 20);
    for (int32_t index = 0; index < 20; ++index) {
        CView* view = frame().childAt(index);
        auto* control = dynamic_cast<CControl*>(view);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(view->isTypeOf(kPanel[index].className)) << index;
        EXPECT_EQ(control->tag(), kPanel[index].tag) << index;
        EXPECT_EQ(view->viewSize(), kPanel[index].rect) << index;
    }

    for (int32_t tag = 0; tag < 6; ++tag) {
        EXPECT_EQ(slider(tag), effect().getParameter(tag)) << tag;
        EXPECT_EQ(display(tag), effect().getParameter(tag)) << tag;
    }
    EXPECT_STREQ(control<COptionMenu>(6, "COptionMenu").currentEntry()->title(), "4x");
    EXPECT_STREQ(control<COptionMenu>(7, "COptionMenu").currentEntry()->title(), "5.1");
    auto& programs = control<COptionMenu>(9, "COptionMenu");
    EXPECT_EQ(programs.entryCount(), 27);
    EXPECT_EQ(programs.currentIndex(true), 2);
    EXPECT_STREQ(programs.currentEntry()->title(), "Warm Start");
    EXPECT_STREQ(programs.entryAt(24)->title(), "User 7");
    EXPECT_STREQ(programs.entryAt(26)->title(), "Store <B> to curr. user");
    auto& name = control<CTextEdit>(10, "CTextEdit");
    EXPECT_FALSE(name.isShown());
    EXPECT_STREQ(name.textPointer(), "TestEdit");
    EXPECT_EQ(control(13, "COnOffButton").value(), 0.6f) << "A is on";
    EXPECT_EQ(control(14, "COnOffButton").value(), 0.0f);

    // The displays show their values as the panel's scales read them.
    idle();
    window().paint();
    const char* expected[] = {"0.0", "0.0", "0.0", "0.1", "0.2", "0.0"};
    for (int32_t tag = 0; tag < 6; ++tag)
        EXPECT_STREQ(control<CTextEdit>(tag, "CTextEdit").textPointer(), expected[tag]) << tag;
    host.setParameter(5, 0.0f);
    host.setParameter(2, 1.0f);
    idle();
    window().paint();
    EXPECT_STREQ(control<CTextEdit>(5, "CTextEdit").textPointer(), "-oo");
    EXPECT_STREQ(control<CTextEdit>(2, "CTextEdit").textPointer(), "12.0");

    close();
    EXPECT_EQ(editor().getFrame(), nullptr);
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &size), 1);
    EXPECT_EQ(size->right, 641);
}

// The picture of the panel as opened, for people to look at (docs/editor.png comes from here).
TEST_F(EditorHost, PaintsThePanelIntoAPicture) {
    host.setParameter(5, 0.5f);  // half of the 151-pixel travel: 75.5 pixels
    ASSERT_TRUE(open());
    idle();
    EXPECT_TRUE(window().paint());
    COffscreenContext* picture = window().picture();
    const std::string path = std::string(KORVEL_EDITOR_PICTURE_DIR) + "/editor-linux.png";
    EXPECT_TRUE(picture->writePng(path.c_str()));
    // The Volume handle sits at the nearest pixel of its travel.
    const ViewRect handle = control<CVerticalSliderA>(5, "CSlider").nearestHandleRect();
    EXPECT_EQ(handle, (ViewRect{313, 59 + 76, 322, 59 + 76 + 21}));
    close();
}

// draw paints the rectangle asked for, its corners in any order, and nothing beside it.
TEST_F(EditorHost, DrawPaintsTheRectangleAskedFor) {
    ASSERT_TRUE(open());
    const ViewColor blank = window().picture()->pixelAt(200, 150);
    ERect corners{160, 240, 100, 180};  // top, left, bottom, right: given bottom-up and right to left
    editor().draw(&corners);
    EXPECT_NE(window().picture()->pixelAt(200, 120), blank);
    EXPECT_EQ(window().picture()->pixelAt(200, 170), blank);
    EXPECT_EQ(window().picture()->pixelAt(250, 120), blank);
    editor().draw(nullptr);
    EXPECT_NE(window().picture()->pixelAt(600, 290), blank);
}

// A second open without a close replaces the first window instead of leaving it open beside it.
TEST_F(EditorHost, OpeningAgainClosesTheWindowOpenBefore) {
    ASSERT_TRUE(open());
    CFrame* first = &frame();
    first->retain();  // kept to look at after the editor has let go of it
    ASSERT_TRUE(open());
    EXPECT_NE(&frame(), first);
    EXPECT_FALSE(first->isOpen()) << "closed by the second open";
    EXPECT_EQ(first->childCount(), 20);
    first->release();
    host.setParameter(3, 0.8f);
    EXPECT_EQ(slider(3), 0.8f);
}

}  // namespace
}  // namespace EditorTest
