#include "ControlHarness.h"

#include <cstdio>

#include "OffscreenWindow.h"

namespace ControlsTest {

std::vector<std::string> EventLog::only(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const auto& event : events)
        if (event.rfind(prefix, 0) == 0) matching.push_back(event);
    return matching;
}

void EditorDouble::editorIdle() { log.add("idle"); }
void EditorDouble::beginEdit(int32_t index) { log.add("beginEdit " + std::to_string(index)); }
void EditorDouble::endEdit(int32_t index) { log.add("endEdit " + std::to_string(index)); }

std::string changeText(int32_t tag, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "changed %d %.4f", tag, static_cast<double>(value));
    return text;
}

void ListenerDouble::valueChanged(CControl* control) {
    values.push_back(control->value());
    changed.push_back(control);
    log.add(changeText(control->tag(), control->value()));
}
void ListenerDouble::editBegan(CControl* control) { log.add("began " + std::to_string(control->tag())); }
void ListenerDouble::editEnded(CControl* control) { log.add("ended " + std::to_string(control->tag())); }

ControlHarness::ControlHarness()
    : frame(new CFrame(ViewRect{0, 0, 641, 301}, nullptr, &editor, OffscreenWindow::create)) {}

ControlHarness::~ControlHarness() {
    if (frame) frame->release();
}

int32_t ControlHarness::key(int32_t virtualKey, int32_t modifiers) {
    KeyCode code;
    code.virt = static_cast<uint8_t>(virtualKey);
    code.modifier = static_cast<uint8_t>(modifiers);
    return frame->keyDown(code);
}

}  // namespace ControlsTest
