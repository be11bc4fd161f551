#include "CFrame.h"
#include "OffscreenWindow.h"

namespace Toolkit {

// In the headless tests a frame on Linux draws into memory; the module links the X11 window of
// toolkit/x11/ in its place.
std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame& frame, void* parentWindow) {
    return OffscreenWindow::create(frame, parentWindow);
}

}  // namespace Toolkit
