#include <windows.h>
#include <ole2.h>

#include "EditorSystem.h"

namespace Toolkit::EditorSystem {

uint32_t tickCount() { return GetTickCount(); }

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

void dispatchOnePendingPaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

bool initialiseOle() { return SUCCEEDED(OleInitialize(nullptr)); }

void uninitialiseOle() { OleUninitialize(); }

}  // namespace Toolkit::EditorSystem
