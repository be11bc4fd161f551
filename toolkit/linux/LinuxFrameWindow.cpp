#include "CFrame.h"
#include "OffscreenWindow.h"

namespace Toolkit {

// Until the X11 window joins it here, a frame on Linux draws into memory.
std::unique_ptr<PlatformWindow> createPlatformWindow(CFrame& frame, void* parentWindow) {
    return OffscreenWindow::create(frame, parentWindow);
}

}  // namespace Toolkit
