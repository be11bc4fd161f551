#pragma once

#include <X11/Xlib.h>

// Xlib reports protocol errors to one handler per process, whose default ends the process. While
// the editor has connections of its own, a handler is installed that records the errors of those
// connections (a host window that went away, a grab refused) and hands every other connection's
// errors to the handler that was there before.
namespace Toolkit::X11Errors {

// Starts recording the errors of display.
void watch(Display* display);
// Stops recording them; the previous handler returns with the last watched display.
void forget(Display* display);
// Waits until the server has handled every request sent on display; true when an error arrived
// since the last call.
bool sync(Display* display);

}  // namespace Toolkit::X11Errors
