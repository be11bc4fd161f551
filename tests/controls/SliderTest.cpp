// Sliders and buttons driven through the frame as the window's mouse, wheel and key messages drive it.

#include <algorithm>
#include <vector>

#include "CBitmap.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "COptionMenu.h"
#include "CTextEdit.h"
#include "CSlider.h"
#include "Canvas.h"
#include "ControlHarness.h"

namespace ControlsTest {
namespace {

constexpr ViewColor kHandleGreen{0, 255, 0, 255};
constexpr int32_t kVirtualKeyEscape = 23;

// A bitmap of one colour.
CBitmap* solidBitmap(int32_t width, int32_t height, ViewColor color) {
    std::vector<uint32_t> pixels(size_t(width * height), color.argb());
    return new CBitmap(width, height, pixels.data());
}

// The editor's slider: a 9 x 173 track at (97, 59), handle 9 x 21 travelling from 59 to 210, minimum
// at the bottom.
class SliderTest : public ControlHarness {
protected:
    SliderTest() {
        CBitmap* handle = solidBitmap(9, 21, kHandleGreen);
        slider = add(new CSlider(ViewRect{97, 59, 106, 232}, &listener, 3, 59, 210, handle, nullptr, {},
                                 kSliderVertical | kSliderMinBottom));
        handle->release();
        slider->setHandleOffset({1, 0});
    }
    float shareOfTravel(int32_t pixels) { return static_cast<float>(pixels) / 151.0f; }

    CSlider* slider;
};

TEST_F(SliderTest, HandleSitsAtTheBottomForZeroAndAtTheTopForOne) {
    for (auto [value, top] : {std::pair{0.0f, 210}, std::pair{0.5f, 134}, std::pair{1.0f, 59}}) {
        slider->setValue(value);
        ToolkitTest::Canvas canvas(641, 301, "value" + std::to_string(top));
        slider->paint(canvas.get());
        EXPECT_EQ(canvas.inkBounds(), (ViewRect{98, top, 107, top + 21})) << "value " << value;
        EXPECT_FALSE(slider->isDirty());
    }
}

TEST_F(SliderTest, DragIsOneGestureWithEveryChangeInsideItAndValuesWithinBounds) {
    slider->setValue(0.5f);
    // A free click centres the handle under the pointer: 219 is the centre at the bottom end.
    EXPECT_EQ(press({101, 219}), kMouseHandled);
    EXPECT_EQ(slider->value(), 0.0f);
    move({101, 144});
    move({101, 10});     // beyond the top end
    move({101, 68});     // the centre at the top end
    move({101, 300});    // beyond the bottom end
    EXPECT_EQ(release({101, 300}), kMouseHandled);

    const std::vector<std::string> expectedStart{"began 3", "beginEdit 3"};
    const std::vector<std::string> expectedEnd{"endEdit 3", "ended 3"};
    ASSERT_GE(log.events.size(), 4u);
    EXPECT_EQ(std::vector(log.events.begin(), log.events.begin() + 2), expectedStart);
    EXPECT_EQ(std::vector(log.events.end() - 2, log.events.end()), expectedEnd);
    EXPECT_EQ(log.count("beginEdit"), 1);
    EXPECT_EQ(log.count("endEdit"), 1);
    EXPECT_EQ(log.count("changed"), static_cast<int32_t>(log.events.size()) - 4);
    EXPECT_EQ(listener.values, (std::vector<float>{0.0f, 1.0f - shareOfTravel(76), 1.0f, 0.0f}));
    for (float value : listener.values) {
        EXPECT_GE(value, 0.0f);
        EXPECT_LE(value, 1.0f);
    }
}

TEST_F(SliderTest, ShiftMovesATenthAsFarAnchoredWhereShiftWasPressed) {
    press({101, 219});
    move({101, 144});
    const float anchored = slider->value();
    move({101, 144}, kLButton | kShift);
    EXPECT_FLOAT_EQ(slider->value(), anchored);
    move({101, 114}, kLButton | kShift);  // 30 pixels up
    EXPECT_NEAR(slider->value(), anchored + shareOfTravel(30) / 10.0f, 1e-6f);
    move({101, 114});  // Shift let go: the value follows the pointer again
    EXPECT_NEAR(slider->value(), 1.0f - shareOfTravel(114 - 68), 1e-6f);
    release({101, 114});
}

TEST_F(SliderTest, WithoutFreeClickOnlyAPressOnTheHandleTakes) {
    slider->setFreeClick(false);
    slider->setValue(0.5f);  // handle from 134 to 155, x from 98 to 107
    EXPECT_EQ(press({101, 120}), kMouseNotHandled);
    EXPECT_EQ(log.count("beginEdit"), 0);
    EXPECT_EQ(press({101, 140}), kMouseHandled);
    // The value settles on the handle's whole-pixel position (75 pixels below the top) and then
    // follows the pointer from the point where the handle was grabbed.
    EXPECT_FLOAT_EQ(slider->value(), 1.0f - shareOfTravel(75));
    move({101, 110});
    EXPECT_FLOAT_EQ(slider->value(), 1.0f - shareOfTravel(45));
    release({101, 110});
}

TEST_F(SliderTest, ControlClickResetsToTheDefaultOnceAndControlRightClickDoesNot) {
    slider->setValue(0.9f);
    slider->setDefaultValue(0.667f);
    EXPECT_EQ(press({101, 100}, kRButton | kControl), kMouseNotHandled);
    EXPECT_EQ(slider->value(), 0.9f);
    EXPECT_EQ(press({101, 100}, kLButton | kControl | kShift), kMouseHandled) << "only exactly Control resets";
    release({101, 100}, kLButton | kControl | kShift);
    EXPECT_EQ(slider->value(), 0.9f);
    EXPECT_EQ(press({101, 100}, kLButton | kControl), kMouseHandledDone);
    EXPECT_EQ(listener.values, std::vector<float>{0.667f});
    EXPECT_EQ(log.count("beginEdit"), log.count("endEdit"));
    EXPECT_EQ(log.count("beginEdit"), 3) << "the reset's own gesture sits inside the press's";
}

TEST_F(SliderTest, WheelAndArrowKeysStepByTheIncrementAndATenthWithShift) {
    slider->setValue(0.5f);
    EXPECT_TRUE(frame->wheel({101, 150}, 1.0f, 0));
    EXPECT_FLOAT_EQ(slider->value(), 0.6f);
    frame->wheel({101, 150}, -2.0f, kShift);
    EXPECT_FLOAT_EQ(slider->value(), 0.58f);
    EXPECT_EQ(log.count("beginEdit"), 2);
    EXPECT_EQ(log.count("endEdit"), 2);

    frame->setFocusedView(slider);
    struct Step { int32_t key; int32_t modifiers; float expected; };
    for (Step step : {Step{kVirtualKeyLeft, 0, 0.48f}, Step{kVirtualKeyDown, 0, 0.38f}, Step{kVirtualKeyUp, kModifierShift, 0.39f},
                      Step{kVirtualKeyRight, 0, 0.49f}}) {
        EXPECT_EQ(key(step.key, step.modifiers), 1);
        EXPECT_NEAR(slider->value(), step.expected, 1e-6f) << "key " << step.key;
    }
    EXPECT_EQ(key(kVirtualKeyEscape), kKeyNotHandled);
    EXPECT_EQ(listener.values.size(), 6u);
}

TEST_F(ControlHarness, KickButtonReportsOneThenZeroAroundAClickAndOnlyZeroWhenLetGoOutside) {
    auto* kick = add(new CKickButton(ViewRect{84, 9, 131, 26}, &listener, 11, nullptr, {1, 1}));
    EXPECT_EQ(press({100, 15}), kMouseHandled);
    EXPECT_EQ(kick->value(), 1.0f);
    release({100, 15});
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));

    listener.values.clear();
    press({100, 15});
    move({200, 100});
    EXPECT_EQ(kick->value(), 0.0f);
    release({200, 100});
    EXPECT_EQ(listener.values, std::vector<float>{0.0f});
    EXPECT_EQ(log.count("beginEdit 11"), 2);
    EXPECT_EQ(log.count("endEdit 11"), 2);
}

TEST_F(ControlHarness, OnOffButtonTogglesAndAsksForThePacedIdleOnEveryPress) {
    auto* after = add(new COnOffButton(ViewRect{193, 9, 217, 26}, &listener, 13, nullptr, 0));
    auto* before = add(new COnOffButton(ViewRect{223, 9, 247, 26}, &listener, 14, nullptr, 1));
    after->setValue(0.5f);  // truncates to 0: the press turns it on
    EXPECT_EQ(press({200, 15}), kMouseHandledDone);
    EXPECT_EQ(after->value(), 1.0f);
    press({200, 15});
    EXPECT_EQ(after->value(), 0.0f);
    const std::vector<std::string> styleZero{"idle", "began 13", "beginEdit 13", "changed 13 1.0000", "endEdit 13",
                                             "ended 13"};
    EXPECT_EQ(std::vector(log.events.begin(), log.events.begin() + 6), styleZero);
    EXPECT_EQ(log.count("idle"), 2);

    log.events.clear();
    press({230, 15});
    EXPECT_EQ(before->value(), 1.0f);
    EXPECT_EQ(log.events.back(), "idle") << "style 1 tells the listener first";
    EXPECT_EQ(log.count("changed 14 1.0000"), 1);
    EXPECT_EQ(press({230, 15}, kRButton), kMouseNotHandled);
    EXPECT_EQ(before->value(), 1.0f);
}

TEST(ControlTypes, EachControlAnswersItsOwnAndItsBaseClassNames) {
    const ViewRect rect{0, 0, 10, 10};
    CSlider slider(ViewRect{0, 0, 9, 173}, nullptr, 0, 0, 152, nullptr, nullptr);
    CKickButton kick(rect, nullptr, 0, nullptr);
    COnOffButton onOff(rect, nullptr, 0, nullptr);
    CParamDisplay display(rect);
    CTextEdit field(rect, nullptr, 0);
    COptionMenu menu(rect, nullptr, 0);
    const std::vector<std::pair<CControl*, std::vector<const char*>>> chains{
        {&slider, {"CSlider", "CControl", "CView"}},
        {&kick, {"CKickButton", "CControl", "CView"}},
        {&onOff, {"COnOffButton", "CControl", "CView"}},
        {&display, {"CParamDisplay", "CControl", "CView"}},
        {&field, {"CTextEdit", "CParamDisplay", "CControl", "CView"}},
        {&menu, {"COptionMenu", "CParamDisplay", "CControl", "CView"}}};
    for (const auto& [control, names] : chains)
        for (const char* name : names) EXPECT_TRUE(control->isTypeOf(name)) << name;
    EXPECT_FALSE(slider.isTypeOf("CKickButton"));
    EXPECT_FALSE(kick.isTypeOf("cview"));
    EXPECT_FALSE(onOff.isTypeOf("CViewContainer"));
    EXPECT_FALSE(menu.isTypeOf("CTextEdit"));
    EXPECT_FALSE(display.isTypeOf("COptionMenu"));
}

}  // namespace
}  // namespace ControlsTest
