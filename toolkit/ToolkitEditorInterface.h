#pragma once

#include <cstdint>

namespace Toolkit {

// The plug-in editor as the view tree sees it: the frame forwards its editor idle, knob mode and
// edit brackets here.
class ToolkitEditorInterface {
public:
    // Runs the editor's idle at once (repaints flushed, host idled).
    virtual void editorIdle() = 0;
    virtual int32_t knobMode() const { return 0; }
    // Brackets a user's gesture on the parameter with this index.
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    virtual ~ToolkitEditorInterface() = default;
};

}  // namespace Toolkit
