// Placeholder until the frame window lands.
#include "CFrame.h"

namespace Toolkit {

namespace {
class NoWindow : public PlatformWindow {
public:
    bool exists() const override { return false; }
    void* nativeHandle() const override { return nullptr; }
    void invalidateRect(const ViewRect&) override {}
    CDrawContext* createDrawContext() override { return nullptr; }
    void trackMouseLeave() override {}
    void captureMouse() override {}
    void releaseMouse() override {}
    ButtonState currentButtons() const override { return 0; }
    ViewPoint currentMousePosition() const override { return {}; }
    void setCursorKind(CursorKind) override {}
    bool resize(int32_t, int32_t) override { return false; }
    bool enableDropTarget(bool) override { return false; }
    uint32_t tickCount() const override { return 0; }
    bool framePosition(ViewPoint&) const override { return false; }
    bool hostWindowRect(ViewRect&) const override { return false; }
};
}  // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame&, void*) { return std::make_unique<NoWindow>(); }

}  // namespace Toolkit
