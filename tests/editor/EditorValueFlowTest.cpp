// Values travel both ways: the host's changes reach the controls, the user's changes reach the
// effect (automated for the sliders and displays, plainly for the menus and UNDO) and the host.

#include <cmath>

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

TEST_F(EditorHost, ASliderDragAutomatesEveryChangeAndMovesItsDisplay) {
    ASSERT_TRUE(open());
    std::vector<std::string> expected{"begin 5"};
    press(sliderPoint(5, 0.5f));
    expected.push_back(automate(5, slider(5)));
    EXPECT_EQ(display(5), slider(5));
    for (float value : {0.6f, 0.7f, 0.9f}) {
        move(sliderPoint(5, value));
        expected.push_back(automate(5, slider(5)));
        EXPECT_EQ(display(5), slider(5)) << "the display follows before the effect hears";
        EXPECT_NEAR(host.getParameter(5), value, 0.004f);
    }
    release(sliderPoint(5, 0.9f));
    expected.push_back(automate(5, slider(5)));  // once more on release
    expected.push_back("end 5");
    EXPECT_EQ(hostCalls(), expected);

    // Neither opening nor hovering a slider takes the pointer from the host.
    EXPECT_FALSE(window().isMouseCaptured());
    move(sliderPoint(2, 0.5f), 0);  // enters the slider
    move(sliderPoint(2, 0.4f), 0);
    EXPECT_FALSE(window().isMouseCaptured());
}

TEST_F(EditorHost, UndoPutsBackTheValueBeforeTheLastChange) {
    host.setParameter(3, 0.3f);
    ASSERT_TRUE(open());
    click(kUndo);
    EXPECT_EQ(host.getParameter(3), 0.3f);
    EXPECT_TRUE(hostCalls().empty()) << "nothing to undo, and UNDO is no parameter the host knows";

    press(sliderPoint(3, 0.3f));
    move(sliderPoint(3, 0.7f));
    release(sliderPoint(3, 0.7f));
    EXPECT_NEAR(host.getParameter(3), 0.7f, 0.004f);
    RecordingHost::calls.clear();
    click(kUndo);
    EXPECT_EQ(host.getParameter(3), 0.3f);
    EXPECT_EQ(slider(3), 0.3f);
    EXPECT_EQ(display(3), 0.3f);
    EXPECT_TRUE(hostCalls().empty()) << "UNDO is not automated";

    // Reopening forgets the last change.
    host.setParameter(3, 0.5f);
    close();
    ASSERT_TRUE(open());
    click(kUndo);
    EXPECT_EQ(host.getParameter(3), 0.5f);
}

TEST_F(EditorHost, DisplaysTakeDragsWheelAndTypedNumbers) {
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

    EXPECT_TRUE(frame().wheelOnAxis({236, 245}, kWheelVertical, 1.0f, 0));  // Drive display
    EXPECT_FLOAT_EQ(host.getParameter(3), 0.2f);

    RecordingHost::calls.clear();
    press({316, 245}, kLButton | kDoubleClick);  // Volume display
    ASSERT_NE(Doubles::openTextEntry(), nullptr);
    Doubles::openTextEntry()->type("30");
    Doubles::openTextEntry()->pressEnter();
    EXPECT_EQ(host.getParameter(5), 1.0f) << "+30 dB is clamped to +20";
    EXPECT_EQ(hostCalls(), (std::vector<std::string>{"begin 5", "end 5", automate(5, 1.0f)}));
    press({100, 245}, kLButton | kDoubleClick);
    Doubles::openTextEntry()->type("-6 dB");
    Doubles::openTextEntry()->pressEnter();
    EXPECT_EQ(host.getParameter(0), 0.25f);
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
