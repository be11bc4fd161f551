#include "EditorSystem.h"

#include <chrono>
#include <thread>

#include "NativeControlDoubles.h"

namespace Toolkit {
namespace {
std::optional<uint32_t> heldClock;  // set by tests
}  // namespace

void Doubles::holdClockAt(uint32_t milliseconds) { heldClock = milliseconds; }
void Doubles::releaseClock() { heldClock.reset(); }

}  // namespace Toolkit

namespace Toolkit::EditorSystem {

uint32_t tickCount() {
    if (heldClock) return *heldClock;
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void sleepMilliseconds(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// The frame draws into memory here: no paint messages, no OLE.
void dispatchOnePendingPaint() {}
bool initialiseOle() { return false; }
void uninitialiseOle() {}

}  // namespace Toolkit::EditorSystem
