#pragma once

// A frame on a panel with an editor and a listener that write every call into one log, so that
// tests see the order in which gestures, changes and idle requests arrive.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CControl.h"
#include "CFrame.h"
#include "ToolkitEditorInterface.h"

namespace ControlsTest {

using namespace Toolkit;

struct EventLog {
    std::vector<std::string> events;
    void add(std::string event) { events.push_back(std::move(event)); }
    // The events that start with prefix.
    std::vector<std::string> only(const std::string& prefix) const;
    int32_t count(const std::string& prefix) const { return static_cast<int32_t>(only(prefix).size()); }
};

class EditorDouble : public ToolkitEditorInterface {
public:
    explicit EditorDouble(EventLog& log) : log(log) {}
    void editorIdle() override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

private:
    EventLog& log;
};

class ListenerDouble : public CControlListener {
public:
    explicit ListenerDouble(EventLog& log) : log(log) {}
    void valueChanged(CControl* control) override;
    void editBegan(CControl* control) override;
    void editEnded(CControl* control) override;
    std::vector<float> values;  // the value of each change, in order
    std::vector<CControl*> changed;

private:
    EventLog& log;
};

// The event text of a value change: "changed <tag> <value with 4 decimals>".
std::string changeText(int32_t tag, float value);

class ControlHarness : public ::testing::Test {
protected:
    ControlHarness();
    ~ControlHarness() override;

    // Hands the control to the frame and returns it.
    template <class Control>
    Control* add(Control* control) {
        frame->appendChild(control);
        return control;
    }
    int32_t press(ViewPoint where, int32_t buttons = kLButton) { return frame->pointerDown(where, buttons); }
    int32_t move(ViewPoint where, int32_t buttons = kLButton) { return frame->pointerMoved(where, buttons); }
    int32_t release(ViewPoint where, int32_t buttons = kLButton) { return frame->pointerUp(where, buttons); }
    int32_t key(int32_t virtualKey, int32_t modifiers = 0);

    EventLog log;
    EditorDouble editor{log};
    ListenerDouble listener{log};
    CFrame* frame;
};

}  // namespace ControlsTest
