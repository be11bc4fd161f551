#include "OffscreenWindow.h"

#include <algorithm>
#include <chrono>

#include "CFrame.h"
#include "COffscreenContext.h"

namespace Toolkit {

OffscreenWindow::OffscreenWindow(CFrame& frame) : frame(frame) {}

OffscreenWindow::~OffscreenWindow() {
    if (canvas) canvas->release();
}

std::unique_ptr<PlatformWindow> OffscreenWindow::create(CFrame& frame, void*) {
    return std::make_unique<OffscreenWindow>(frame);
}

void OffscreenWindow::invalidateRect(const ViewRect& rect) {
    if (rect.isEmpty()) return;
    requests.push_back(rect);
    if (region.isEmpty())
        region = rect;
    else
        region = ViewRect{std::min(region.left, rect.left), std::min(region.top, rect.top),
                          std::max(region.right, rect.right), std::max(region.bottom, rect.bottom)};
}

COffscreenContext* OffscreenWindow::picture() {
    const ViewRect& size = frame.viewSize();
    if (!canvas) canvas = new COffscreenContext(&frame, size.width(), size.height(), ViewColor{0, 0, 0, 255});
    return canvas;
}

CDrawContext* OffscreenWindow::createDrawContext() {
    CDrawContext* context = picture();
    context->retain();
    return context;
}

bool OffscreenWindow::paint() {
    if (region.isEmpty()) return false;
    const ViewRect update = region;
    region = {};
    frame.paintRect(picture(), update);
    return true;
}

bool OffscreenWindow::resize(int32_t, int32_t) {
    // The picture is made again at the frame's new size when next painted.
    if (canvas) canvas->release();
    canvas = nullptr;
    return true;
}

bool OffscreenWindow::enableDropTarget(bool on) {
    dropTarget = on;
    return true;
}

uint32_t OffscreenWindow::tickCount() const {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool OffscreenWindow::framePosition(ViewPoint& out) const {
    out = {};
    return true;
}

bool OffscreenWindow::hostWindowRect(ViewRect& out) const {
    out = frame.viewSize();
    return true;
}

}  // namespace Toolkit
