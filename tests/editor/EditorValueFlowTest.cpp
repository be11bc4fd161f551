// Values travel both ways: the host's changes reach the controls, the user's changes reach the
// effect (automated for the sliders, displays and UNDO, plainly for the menus) and the host.

#include <cmath>
#include <functional>

#include "COptionMenu.h"
#include "CTextEdit.h"
#include "CParamDisplayA.h"
#include "EditorHost.h"
#include "NativeControlDoubles.h"

namespace EditorTest {
namespace {

std::string automate(int32_t index, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "automate %d %.4f", index, static_cast<double>(value));
    return text;
}

TEST_F(EditorHost, HostChangesShowInTheControls) {
    ASSERT_TRUE(open());
    auto& channels = control<COptionMenu>(7, "COptionMenu");
    host.setParameter(7, 4.0f);
    EXPECT_STREQ(channels.currentEntry()->title(), "Quadro");
    host.setParameter(7, 3.0f);  // no such mode: shown as Stereo
    EXPECT_STREQ(channels.currentEntry()->title(), "Stereo");
    host.setParameter(6, 0.5f);
    EXPECT_STREQ(control<COptionMenu>(6, "COptionMenu").currentEntry()->title(), "4x");
    host.setParameter(1, 0.25f);
    EXPECT_EQ(slider(1), 0.25f);
    EXPECT_EQ(display(1), 0.25f);
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(EditorHost, MenusSetTheirParameterWithoutAutomation) {
    ASSERT_TRUE(open());
    choose(kOversamplingMenu, 4);
    EXPECT_EQ(host.getParameter(6), 0.8f) << "12x";
    choose(kChannelMenu, 2);
    EXPECT_EQ(host.getParameter(7), 4.0f) << "Quadro passes the count itself";
    EXPECT_EQ(effect().activeChannelCount(), 4);
    EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin 6", "end 6", "begin 7", "end 7"}));
}

// Every slider and every display: a drag and a typed value are each one gesture on the control's own
// parameter, inside which the host hears every value set. The slider's display follows its drag, a
// display's drag moves in its own steps, and a typed value is read in the display's own unit and held
// within the parameter's range.
TEST_F(EditorHost, EverySliderAndDisplayAutomatesItsOwnParameterInsideAGesture) {
    const struct {
        float dragStep;  // per 4 pixels
        const char* typed;
        float typedValue;
    } parameters[] = {{1.0f / 240.0f, "-6 dB", 0.25f}, {1.0f / 240.0f, "3", 0.625f}, {1.0f / 240.0f, "12", 1.0f},
                      {0.01f, "0.3", 0.3f},            {0.01f, "1.7", 1.0f},        {1.0f / 240.0f, "-10", 0.5f}};
    ASSERT_TRUE(open());
    for (int32_t tag = 0; tag < 6; ++tag) {
        SCOPED_TRACE(tag);
        const std::string begin = "begin " + std::to_string(tag);
        const std::string end = "end " + std::to_string(tag);
        RecordingHost::calls.clear();
        press(sliderPoint(tag, 0.2f));
        const float pressed = slider(tag);
        move(sliderPoint(tag, 0.8f));
        EXPECT_EQ(display(tag), slider(tag));
        release(sliderPoint(tag, 0.8f));
        const float dragged = host.getParameter(tag);
        EXPECT_NEAR(dragged, 0.8f, 0.004f);
        EXPECT_EQ(hostCalls(), (std::vector<std::string>{begin, automate(tag, pressed), automate(tag, dragged),
                                                         automate(tag, dragged), end}));  // once more on release

        RecordingHost::calls.clear();
        press(displayPoint(tag));
        move(displayPoint(tag) - ViewPoint{0, 8});
        release(displayPoint(tag) - ViewPoint{0, 8});
        const float stepped = dragged + 2.0f * parameters[tag].dragStep;
        EXPECT_FLOAT_EQ(host.getParameter(tag), stepped);
        EXPECT_EQ(hostCalls(), (std::vector<std::string>{begin, automate(tag, stepped), end}));

        RecordingHost::calls.clear();
        press(displayPoint(tag), kLButton | kDoubleClick);
        ASSERT_NE(Doubles::openTextEntry(), nullptr);
        Doubles::openTextEntry()->type(parameters[tag].typed);
        Doubles::openTextEntry()->pressEnter();
        EXPECT_EQ(host.getParameter(tag), parameters[tag].typedValue);
        EXPECT_EQ(slider(tag), parameters[tag].typedValue);
        EXPECT_EQ(hostCalls(), (std::vector<std::string>{begin, automate(tag, parameters[tag].typedValue), end}));
    }

    // Neither opening nor hovering a slider takes the pointer from the host.
    EXPECT_FALSE(window().isMouseCaptured());
    move(sliderPoint(2, 0.5f), 0);  // enters the slider
    move(sliderPoint(2, 0.4f), 0);
    EXPECT_FALSE(window().isMouseCaptured());
}

// Every kind of user change, on every parameter, is one step for UNDO, and UNDO reaches the host like
// any other change.
TEST_F(EditorHost, UndoPutsBackTheValueBeforeTheLastChangeOfAnyKind) {
    ASSERT_TRUE(open());
    click(kUndo);
    EXPECT_TRUE(hostCalls().empty()) << "nothing to undo yet";

    struct Change {
        const char* name;
        std::function<void(int32_t tag)> make;
    };
    const Change changes[] = {
        {"slider drag", [this](int32_t t) { press(sliderPoint(t, 0.8f)), move(sliderPoint(t, 0.9f)), release(sliderPoint(t, 0.9f)); }},
        {"slider wheel", [this](int32_t t) { frame().wheelOnAxis(sliderPoint(t, 0.5f), kWheelVertical, -1.0f, 0); }},
        {"arrow key", [this](int32_t) { host.dispatch(effEditKeyDown, 0, kVirtualKeyUp, nullptr, 0.0f); }},
        {"Ctrl+click default", [this](int32_t t) { press(sliderPoint(t, 0.2f), kLButton | kControl); }},
        {"display drag", [this](int32_t t) { press(displayPoint(t)), move(displayPoint(t) - ViewPoint{0, 40}), release(displayPoint(t) - ViewPoint{0, 40}); }},
        {"display wheel", [this](int32_t t) { frame().wheelOnAxis(displayPoint(t), kWheelVertical, 1.0f, 0); }},
        {"typed value", [this](int32_t t) {
             press(displayPoint(t), kLButton | kDoubleClick);
             Doubles::openTextEntry()->type("-12");
             Doubles::openTextEntry()->pressEnter();
         }},
    };
    for (const Change& change : changes) {
        for (int32_t tag = 0; tag < 6; ++tag) {
            SCOPED_TRACE(testing::Message() << change.name << " on " << tag);
            press(sliderPoint(tag, 0.1f));  // an earlier change, which UNDO must not reach back to
            move(sliderPoint(tag, 0.497f));
            release(sliderPoint(tag, 0.497f));
            const float before = host.getParameter(tag);
            change.make(tag);
            ASSERT_NE(host.getParameter(tag), before);
            RecordingHost::calls.clear();
            click(kUndo);
            EXPECT_EQ(host.getParameter(tag), before);
            EXPECT_EQ(slider(tag), before);
            EXPECT_EQ(display(tag), before);
            EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin " + std::to_string(tag), automate(tag, before),
                                                             "end " + std::to_string(tag)}));
        }
    }

    // A wheel step against the end changes nothing, so UNDO still takes back the step before it.
    for (int notch = 0; notch < 12; ++notch) frame().wheelOnAxis({236, 245}, kWheelVertical, 1.0f, 0);
    ASSERT_EQ(host.getParameter(3), 1.0f);
    click(kUndo);
    EXPECT_LT(host.getParameter(3), 1.0f);
    EXPECT_GT(host.getParameter(3), 0.89f);

    // Reopening forgets the last change.
    host.setParameter(3, 0.5f);
    close();
    ASSERT_TRUE(open());
    click(kUndo);
    EXPECT_EQ(host.getParameter(3), 0.5f);
}

// Fine drags, default clicks and keys through the editor; Shift divides each by ten.
TEST_F(EditorHost, SlidersTakeFineDragsDefaultClicksAndArrowKeys) {
    ASSERT_TRUE(open());
    press(sliderPoint(4, 0.5f), kLButton | kShift);
    EXPECT_EQ(host.getParameter(4), 0.0f) << "a Shift press does not jump";
    move(sliderPoint(4, 1.0f), kLButton | kShift);
    release(sliderPoint(4, 1.0f), kLButton | kShift);
    EXPECT_NEAR(host.getParameter(4), 0.1f, 0.002f) << "the top of the travel is a tenth of the way from 0";

    RecordingHost::calls.clear();
    press(sliderPoint(5, 0.1f), kLButton | kControl);
    EXPECT_EQ(host.getParameter(5), 0.667f);
    EXPECT_EQ(slider(5), 0.667f);
    EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin 5", "begin 5", automate(5, 0.667f), "end 5", "end 5"}));

    const struct {
        uint8_t key;
        float modifier;
        float step;
    } keys[] = {{kVirtualKeyUp, 0, 0.1f}, {kVirtualKeyRight, 0, 0.1f}, {kVirtualKeyDown, 0, -0.1f},
                {kVirtualKeyLeft, 1, -0.01f}, {kVirtualKeyUp, 1, 0.01f}};
    for (const auto& key : keys) {
        const float before = host.getParameter(5);
        EXPECT_EQ(host.dispatch(effEditKeyDown, 0, key.key, nullptr, key.modifier), 1);
        EXPECT_NEAR(host.getParameter(5), before + key.step, 1e-6f);
        EXPECT_EQ(host.dispatch(effEditKeyUp, 0, key.key, nullptr, key.modifier), 0) << "no view takes key releases";
    }
    EXPECT_EQ(display(5), host.getParameter(5));
    EXPECT_EQ(host.dispatch(effEditKeyDown, 'x', 0, nullptr, 0.0f), 0);
}

TEST_F(EditorHost, DisplaysStepPerFourPixelsAndPerWheelNotch) {
    ASSERT_TRUE(open());
    const ViewPoint lowDisplay{100, 245};
    press(lowDisplay);
    move({100, 242});  // 3 pixels: not yet a step
    EXPECT_EQ(host.getParameter(0), 0.5f);
    move({100, 241});
    EXPECT_FLOAT_EQ(host.getParameter(0), 0.5f + 1.0f / 240.0f);
    move({100, 250});  // 9 pixels down: two steps
    release({100, 250});
    EXPECT_FLOAT_EQ(host.getParameter(0), 0.5f - 1.0f / 240.0f);
    EXPECT_EQ(slider(0), host.getParameter(0));
    EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin 0", automate(0, 0.5f + 1.0f / 240.0f),
                                                     automate(0, 0.5f - 1.0f / 240.0f), "end 0"}));

    RecordingHost::calls.clear();
    EXPECT_TRUE(frame().wheelOnAxis({236, 245}, kWheelVertical, 1.0f, 0));  // Drive display
    EXPECT_FLOAT_EQ(host.getParameter(3), 0.2f);
    EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin 3", automate(3, 0.2f), "end 3"}));
}

// An entry ended on the text the display showed changes nothing, not even the display itself.
TEST_F(EditorHost, AnEntryEndedOnItsOwnTextLeavesTheValue) {
    const struct {
        int32_t tag;
        float value;
        ViewPoint where;
        const char* shown;
    } cases[] = {{5, 0.0f, {316, 245}, "-oo"}, {3, 0.34f, {236, 245}, "0.3"}, {0, 0.51f, {100, 245}, "0.2"}};
    ASSERT_TRUE(open());
    for (const auto& entry : cases) {
        host.setParameter(entry.tag, entry.value);
        RecordingHost::calls.clear();
        press(entry.where, kLButton | kDoubleClick);
        ASSERT_NE(Doubles::openTextEntry(), nullptr);
        EXPECT_EQ(Doubles::openTextEntry()->text(), entry.shown);
        Doubles::openTextEntry()->pressEnter();
        EXPECT_EQ(display(entry.tag), entry.value);
        EXPECT_EQ(host.getParameter(entry.tag), entry.value);
        EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin " + std::to_string(entry.tag),
                                                         "end " + std::to_string(entry.tag)}));
    }
    frame().wheelOnAxis({236, 245}, kWheelVertical, 1.0f, 0);
    EXPECT_FLOAT_EQ(host.getParameter(3), 0.44f) << "the next wheel step starts from the value, not its text";
}

TEST(LeadingNumber, ReadsTheNumberATextBeginsWith) {
    EXPECT_EQ(leadingNumber("  -6.5e1x"), -65.0);
    EXPECT_EQ(leadingNumber("+.5"), 0.5);
    EXPECT_EQ(leadingNumber("3e"), 3.0);
    EXPECT_EQ(leadingNumber("dB 3"), 0.0);
    EXPECT_EQ(leadingNumber("-"), 0.0);
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
    EXPECT_EQ(leadingNumber("1e-999"), 0.0);
}

}  // namespace
}  // namespace EditorTest
