#include "AEffGUIEditor.h"

#include "AudioEffectX.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "EditorSystem.h"

using namespace Toolkit;

namespace {

// Shared by every editor of the module.
std::atomic<int32_t> moduleKnobMode{0};

// Identifies the calling thread: each thread has its own marker.
std::uintptr_t currentThreadToken() {
    static thread_local char marker;
    return reinterpret_cast<std::uintptr_t>(&marker);
}

KeyCode toKeyCode(const VstKeyCode& key) {
    KeyCode code;
    code.character = key.character;
    code.virt = key.virt;
    code.modifier = key.modifier;
    return code;
}

constexpr uint32_t kIdleInterval = 100;
constexpr uint32_t kEarlySleep = 4;
constexpr uint32_t kTooEarly = 50;

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect)
    : AEffEditor(effect), effectX(dynamic_cast<AudioEffectX*>(effect)) {
    if (effect) effect->setEditor(this);
    ticksNext = EditorSystem::tickCount();
    oleStarted = EditorSystem::initialiseOle();
    oleThread = currentThreadToken();
}

AEffGUIEditor::~AEffGUIEditor() {
    if (oleStarted && oleThread == currentThreadToken()) EditorSystem::uninitialiseOle();
}

bool AEffGUIEditor::getRect(ERect** out) {
    if (!out) return false;
    *out = &rect;
    return true;
}

void AEffGUIEditor::idle() {
    if (inIdle) return;
    if (const uint32_t pending = pendingParameters.exchange(0, std::memory_order_acquire); pending && frame)
        for (VstInt32 index = 0; index < 32; ++index)
            if (pending & (1u << index)) showParameter(index);
    if (frame) frame->idle();
}

void AEffGUIEditor::pacedIdle() {
    // Tick counts wrap after 49.7 days: times are compared by their signed distance.
    const auto before = [](uint32_t time, uint32_t limit) { return static_cast<int32_t>(time - limit) < 0; };
    uint32_t now = EditorSystem::tickCount();
    if (before(now, ticksNext)) {
        EditorSystem::sleepMilliseconds(kEarlySleep);
        now += kEarlySleep;
        if (before(now, ticksNext - kTooEarly)) return;
    }
    idle();
    EditorSystem::dispatchOnePendingPaint();
    ticksNext = now + kIdleInterval;
    if (effect) {
        inIdle = true;
        effect->masterIdle();
        inIdle = false;
    }
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
    if (!frame) return false;
    KeyCode code = toKeyCode(key);
    return frame->keyDown(code) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
    if (!frame) return false;
    KeyCode code = toKeyCode(key);
    return frame->keyUp(code) > 0;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    moduleKnobMode.store(mode, std::memory_order_relaxed);
    return true;
}

int32_t AEffGUIEditor::knobMode() const { return moduleKnobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::showParameter(VstInt32) {}

void AEffGUIEditor::draw(ERect* r) {
    if (!frame) return;
    ViewRect update = frame->viewSize();
    if (r)
        update = {std::min(r->left, r->right), std::min(r->top, r->bottom), std::max(r->left, r->right),
                  std::max(r->top, r->bottom)};
    if (CDrawContext* context = frame->createDrawContext()) {
        frame->paintRect(context, update);
        context->release();
    }
}

// The toolkit brackets every gesture, also those on the editor's own commands (tags 9 to 14); the
// host hears only of parameters it knows, since it may look its index up in its parameter list.
void AEffGUIEditor::beginEdit(int32_t index) {
    if (isParameterIndex(index)) effectX->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (isParameterIndex(index)) effectX->endEdit(index);
}

bool AEffGUIEditor::isParameterIndex(int32_t index) const {
    return effectX && index >= 0 && index < effectX->getAeffect()->numParams;
}

bool AEffGUIEditor::onUserInterfaceThread() const {
    return userInterfaceThread.load(std::memory_order_acquire) == currentThreadToken();
}

void AEffGUIEditor::adoptUserInterfaceThread() {
    userInterfaceThread.store(currentThreadToken(), std::memory_order_release);
    pendingParameters.store(0, std::memory_order_release);
}

void AEffGUIEditor::markPending(VstInt32 index) {
    if (index >= 0 && index < 32) pendingParameters.fetch_or(1u << index, std::memory_order_release);
}
