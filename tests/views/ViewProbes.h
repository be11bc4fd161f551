#pragma once

// Views that record what reaches them, and a frame on a window in memory to drive them through.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "COffscreenContext.h"
#include "CFrame.h"
#include "OffscreenWindow.h"

namespace ViewsTest {

using namespace Toolkit;
using Journal = std::vector<std::string>;

// Number of probe views and containers destroyed so far.
extern int destroyedViews;

// A view that fills its rectangle with a colour and logs every event as "<name> <event> x,y".
class Probe : public CView {
public:
    Probe(std::string name, const ViewRect& size, Journal& journal, ViewColor colour = {200, 0, 0})
        : CView(size), name(std::move(name)), journal(journal), colour(colour) {}
    ~Probe() override { ++destroyedViews; }

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint p, ButtonState b) override { return log("down", p, b), downResult; }
    MouseResult pointerUp(ViewPoint p, ButtonState b) override { return log("up", p, b), kMouseHandled; }
    MouseResult pointerMoved(ViewPoint p, ButtonState b) override { return log("moved", p, b), moveResult; }
    MouseResult pointerEntered(ViewPoint p, ButtonState b) override { return log("entered", p, b), kMouseHandled; }
    MouseResult pointerExited(ViewPoint p, ButtonState b) override { return log("exited", p, b), kMouseHandled; }
    bool wheel(ViewPoint p, float distance, ButtonState) override {
        return log("wheel " + std::to_string(int(distance)), p, 0), wheelTaken;
    }
    int32_t keyDown(KeyCode& key) override { return log("key " + std::to_string(key.character), {}, 0), keyResult; }
    void takeFocus() override { journal.push_back(name + " takeFocus"); }
    void loseFocus() override { journal.push_back(name + " loseFocus"); }
    void dragEnter(CDragContainer*, ViewPoint p) override { log("dragEnter", p, 0); }
    void dragLeave(CDragContainer*, ViewPoint p) override { log("dragLeave", p, 0); }
    void dragMove(CDragContainer*, ViewPoint p) override { log("dragMove", p, 0); }
    bool dragDrop(CDragContainer*, ViewPoint p) override { return log("dragDrop", p, 0), true; }

    std::string name;
    Journal& journal;
    ViewColor colour;
    MouseResult downResult = kMouseHandled;
    MouseResult moveResult = kMouseHandled;
    int32_t keyResult = kKeyNotHandled;
    bool wheelTaken = true;
    // Paints this much beyond its rectangle on every side, as a careless view might.
    int32_t bleed = 0;

private:
    void log(const std::string& event, ViewPoint p, ButtonState b);
};

// A container that logs the notifications it receives.
class ProbeContainer : public CViewContainer {
public:
    ProbeContainer(std::string name, const ViewRect& size, Journal& journal, ViewColor colour = {0, 0, 160})
        : CViewContainer(size), name(std::move(name)), journal(journal) {
        setBackgroundColor(colour);
    }
    ~ProbeContainer() override { ++destroyedViews; }
    int32_t notify(CBaseObject* sender, const char* message) override;

    std::string name;
    Journal& journal;
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest();
    ~FrameTest() override;

    OffscreenWindow& window() { return *static_cast<OffscreenWindow*>(frame->platformWindow()); }
    // A probe (or container) appended to parent, which keeps the reference.
    Probe* probe(const std::string& name, const ViewRect& size, CViewContainer* parent = nullptr);
    ProbeContainer* container(const std::string& name, const ViewRect& size, CViewContainer* parent = nullptr);
    // The journal so far, emptied.
    Journal take();
    int32_t pressKey(int32_t character, uint8_t virt = 0, uint8_t modifier = 0);

    Journal journal;
    CFrame* frame;
};

}  // namespace ViewsTest

namespace Toolkit {
inline void PrintTo(const ViewColor& c, std::ostream* out) {
    *out << "rgba(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << ", " << int(c.alpha) << ")";
}
inline void PrintTo(const ViewRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace Toolkit
