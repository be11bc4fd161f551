#pragma once

#include <cstdint>

// What a plug-in editor needs from the system beside its frame window: a millisecond clock and a
// short sleep to pace its idle, handing one pending paint message of the thread to its window, and
// the thread's OLE state for drag and drop. Each platform implements these in its own folder.
namespace Toolkit::EditorSystem {

// Milliseconds of a monotonic clock (wraps after 49 days).
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);
// Removes one paint message waiting for the calling thread and dispatches it; nothing where paint
// messages do not exist.
void dispatchOnePendingPaint();
// Initialises OLE for the calling thread (drop targets need it); true when it succeeded, and only
// then does that thread owe a matching uninitialiseOle.
bool initialiseOle();
void uninitialiseOle();

}  // namespace Toolkit::EditorSystem
