#include "EditorHost.h"

#include <cstdio>

#include "NativeControlDoubles.h"

namespace EditorTest {

namespace {
constexpr int32_t kSliderX[] = {100, 140, 180, 236, 276, 316};
}

ViewPoint sliderPoint(int32_t tag, float value) {
    const int32_t grab = (tag == 3 || tag == 4) ? 67 : 68;  // handle middle at the top of the travel
    return {kSliderX[tag], grab + static_cast<int32_t>((1.0f - value) * 151.0f + 0.5f)};
}

ViewPoint displayPoint(int32_t tag) { return {kSliderX[tag], 245}; }

void EditorHost::choose(ViewPoint where, int32_t entry) {
    Doubles::scriptPopupChoice({entry});
    press(where);
}

std::vector<std::string> EditorHost::hostCalls() const {
    std::vector<std::string> texts;
    for (const RecordingHost::Call& call : RecordingHost::calls) {
        char text[64];
        switch (call.opcode) {
        case audioMasterAutomate:
            std::snprintf(text, sizeof text, "automate %d %.4f", call.index, static_cast<double>(call.opt));
            break;
        case audioMasterBeginEdit: std::snprintf(text, sizeof text, "begin %d", call.index); break;
        case audioMasterEndEdit: std::snprintf(text, sizeof text, "end %d", call.index); break;
        default: continue;  // idle and version queries are not part of a change
        }
        texts.push_back(text);
    }
    return texts;
}

}  // namespace EditorTest
