#pragma once

// A test program playing the host: a top-level window that holds a frame's child window, the
// message pump, pixel read-back from the screen and views that record what reaches them.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CFrame.h"
#include "CViewContainer.h"

namespace FrameWindowTest {

using namespace Toolkit;
using Journal = std::vector<std::string>;

// A top-level window whose client area is width x height, shown.
HWND createHostWindow(int32_t width, int32_t height);
// Dispatches every queued message of the thread.
void pump();
// Dispatches messages as they come until done() holds; false when it still does not after 10 s.
bool pumpUntil(const std::function<bool()>& done);
// The screen position of a point of window's client area.
POINT screenPoint(HWND window, int32_t x, int32_t y);

// The window's client pixels as read from the screen, 0xRRGGBB per pixel.
class ScreenPicture {
public:
    ScreenPicture(HWND window, int32_t width, int32_t height);
    ViewColor at(int32_t x, int32_t y) const;
    // Writes the picture as a PNG through the GDI+ encoder; false on failure.
    bool writePng(const wchar_t* path) const;

    int32_t width, height;
    std::vector<uint32_t> pixels;
};

// A picture read from an image file through GDI+; empty when the file cannot be read.
ScreenPicture readPicture(const wchar_t* path);

// A view filled with its colour that logs pointer, wheel and drag events as "<name> <event> x,y bN"
// and the update rectangles it paints.
class RecordingView : public CView {
public:
    RecordingView(std::string name, const ViewRect& size, Journal& journal, ViewColor colour)
        : CView(size), name(std::move(name)), journal(journal), colour(colour) {}

    void paint(CDrawContext* context) override;
    void paintRect(CDrawContext* context, const ViewRect& update) override;
    MouseResult pointerDown(ViewPoint p, ButtonState b) override { return log("down", p, b), downResult; }
    MouseResult pointerUp(ViewPoint p, ButtonState b) override { return log("up", p, b), kMouseHandled; }
    MouseResult pointerMoved(ViewPoint p, ButtonState b) override { return log("moved", p, b), kMouseHandled; }
    MouseResult pointerEntered(ViewPoint p, ButtonState b) override { return log("entered", p, b), kMouseHandled; }
    MouseResult pointerExited(ViewPoint, ButtonState) override { return journal.push_back(name + " exited"), kMouseHandled; }
    bool wheel(ViewPoint p, float distance, ButtonState b) override;
    int32_t keyDown(KeyCode& key) override;
    void dragEnter(CDragContainer* drag, ViewPoint p) override { log("dragEnter", p, 0), read(drag); }
    void dragMove(CDragContainer*, ViewPoint p) override { log("dragMove", p, 0); }
    void dragLeave(CDragContainer*, ViewPoint) override { journal.push_back(name + " dragLeave"); }
    bool dragDrop(CDragContainer* drag, ViewPoint p) override { return log("dragDrop", p, 0), read(drag), takesDrops; }

    std::string name;
    Journal& journal;
    ViewColor colour;
    MouseResult downResult = kMouseHandled;
    bool takesDrops = true;
    std::vector<ViewRect> paintedUpdates;
    // The items of the last drag seen, as "file:<name>" or "text:<text>".
    std::vector<std::string> dragItems;

private:
    void log(const std::string& event, ViewPoint p, ButtonState b);
    void read(CDragContainer* drag);
};

// A container with a background colour.
class ColouredContainer : public CViewContainer {
public:
    ColouredContainer(const ViewRect& size, ViewColor colour) : CViewContainer(size) { setBackgroundColor(colour); }
};

}  // namespace FrameWindowTest
