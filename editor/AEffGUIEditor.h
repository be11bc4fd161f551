#pragma once

#include <atomic>
#include <cstdint>

#include "AEffEditor.h"
#include "ToolkitEditorInterface.h"

namespace Toolkit {
class CFrame;
}
class AudioEffectX;

// An editor drawn with the view toolkit: the frame reaches it through ToolkitEditorInterface, the
// host through the editor opcodes. Its idle is paced: a control that asks for an idle at once gets
// one at most about every 100 ms, which also lets the host idle.
//
// Threads: the thread that opens the window is the user-interface thread. setParameter calls from
// any other thread (host automation) only record the index; the next idle applies them.
class AEffGUIEditor : public AEffEditor, public Toolkit::ToolkitEditorInterface {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool setKnobMode(VstInt32 mode) override;

    // The effect's parameter index changed to value.
    virtual void setParameter(VstInt32 index, float value);
    // Draws r (or, with null, the whole frame) now.
    virtual void draw(ERect* r);

    void editorIdle() override { pacedIdle(); }
    int32_t knobMode() const override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

    Toolkit::CFrame* getFrame() const { return frame; }

protected:
    void pacedIdle();
    // Whether the caller runs on the thread that opened the window.
    bool onUserInterfaceThread() const;
    // Makes the calling thread the user-interface thread and forgets changes recorded so far.
    void adoptUserInterfaceThread();
    // Records a change made on another thread.
    void markPending(VstInt32 index);
    // Shows the current value of a parameter recorded by markPending (user-interface thread).
    virtual void showParameter(VstInt32 index);

    AudioEffectX* effectX;
    ERect rect{};
    Toolkit::CFrame* frame = nullptr;
    uint32_t ticksNext;
    bool inIdle = false;

private:
    bool isParameterIndex(int32_t index) const;

    // OLE is uninitialised only by the thread that initialised it, and only when that succeeded (a
    // host's multi-threaded COM thread refuses it): the host's own COM count stays as it was.
    bool oleStarted = false;
    std::uintptr_t oleThread = 0;
    std::atomic<std::uintptr_t> userInterfaceThread{0};
    std::atomic<std::uint32_t> pendingParameters{0};
    static_assert(std::atomic<std::uintptr_t>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free);
};
