#pragma once

// A host with the effect's editor: opens, idles and closes it through the dispatcher and drives the
// panel with pointer events into the frame's window, as the window system delivers them.

#include <gtest/gtest.h>

#include "CControl.h"
#include "CFrame.h"
#include "OffscreenWindow.h"
#include "SDEditor.h"
#include "TestHost.h"

namespace EditorTest {

using namespace Toolkit;

class EditorHost : public ::testing::Test {
protected:
    EditorHost() { RecordingHost::clear(); }

    SDEditor& editor() const { return *dynamic_cast<SDEditor*>(host.effect().getEditor()); }
    Korvel& effect() const { return host.effect(); }
    bool open() { return host.dispatch(effEditOpen) == 1; }
    void idle() const { host.dispatch(effEditIdle); }
    void close() const { host.dispatch(effEditClose); }
    CFrame& frame() const { return *editor().getFrame(); }
    OffscreenWindow& window() const { return *static_cast<OffscreenWindow*>(frame().platformWindow()); }

    // The control of the panel with this tag and class.
    template <class Control = CControl>
    Control& control(int32_t tag, const char* className) const {
        for (int32_t index = 0; index < frame().childCount(); ++index) {
            auto* found = dynamic_cast<Control*>(frame().childAt(index));
            if (found && found->tag() == tag && found->isTypeOf(className)) return *found;
        }
        throw std::runtime_error("no such control");
    }
    float slider(int32_t tag) const { return control(tag, "CSlider").value(); }
    float display(int32_t tag) const { return control(tag, "CTextEdit").value(); }

    void press(ViewPoint where, ButtonState buttons = kLButton) { frame().pointerDown(where, buttons); }
    void move(ViewPoint where, ButtonState buttons = kLButton) { frame().pointerMoved(where, buttons); }
    void release(ViewPoint where, ButtonState buttons = kLButton) { frame().pointerUp(where, buttons); }
    void click(ViewPoint where) {
        press(where);
        release(where);
    }
    // Picks entry (separators counted) of the menu at where.
    void choose(ViewPoint where, int32_t entry);

    // The host calls with this opcode since the last clear, as "opcode index value" texts.
    std::vector<std::string> hostCalls() const;

    HostedEffect host;
};

// Where the pointer sets a slider of the panel to about value (Drive and Bias sit a pixel higher).
ViewPoint sliderPoint(int32_t tag, float value);
// The middle of the value display of a parameter, below its slider.
ViewPoint displayPoint(int32_t tag);
constexpr ViewPoint kUndo{100, 15};
constexpr ViewPoint kCopy{150, 15};
constexpr ViewPoint kButtonA{200, 15};
constexpr ViewPoint kButtonB{230, 15};
constexpr ViewPoint kChannelMenu{150, 280};
constexpr ViewPoint kOversamplingMenu{310, 280};
constexpr ViewPoint kProgramMenu{480, 15};

}  // namespace EditorTest
