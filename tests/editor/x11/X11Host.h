#pragma once

// A Linux host for the editor tests: a display of the test's own (Xvfb), the module loaded through its
// entry, a top-level window the editor opens in, idle calls from the host's loop, and real input
// through the XTest extension.

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "VstInterface.h"

namespace X11EditorTest {

// An Xvfb started for the process on a free display and stopped with it, also when the process
// dies without cleaning up (the server is told to end with its parent).
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    const std::string& name() const { return displayName; }

private:
    pid_t server = -1;
    std::string displayName;
};

// What the effect called back, as "automate 3", "begin 3", "end 3" texts.
struct HostCalls {
    std::vector<std::string> calls;
    std::vector<float> automatedValues;
    void clear() {
        calls.clear();
        automatedValues.clear();
    }
};
HostCalls& hostCalls();

// Window and pixmap counts of every client of the display, from the X-Resource extension.
struct ServerResources {
    long windows = 0;
    long pixmaps = 0;
    int clients = 0;
};
ServerResources serverResources(Display* display);

// The window's pixels written as a PNG file in the test's build folder; false on failure.
bool writeScreenshot(Display* display, Window window, const std::string& fileName);
// The window's pixels as 0xRRGGBB values, row by row.
std::vector<uint32_t> windowPixels(Display* display, Window window, int width, int height);

// Presses and releases through XTest on the given connection; coordinates are root coordinates.
void fakeMove(Display* display, int x, int y);
void fakeButton(Display* display, unsigned int button, bool down);
void fakeKey(Display* display, unsigned long keysym, bool shift = false);
// Types ASCII text (letters, digits, '-', '.') key by key.
void fakeText(Display* display, const std::string& text);

// The mapped override-redirect window on the root (an open pop-up menu), or 0.
Window findPopup(Display* display, int& x, int& y, int& width, int& height);

}  // namespace X11EditorTest
