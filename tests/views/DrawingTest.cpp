// Drawing of the tree: order, clipping and container offsets, and the dirty-to-repaint cycle.

#include "ViewProbes.h"

namespace ViewsTest {
namespace {

#ifdef _WIN32
constexpr const char* kTreePicture = "view-tree-windows.png";
#else
constexpr const char* kTreePicture = "view-tree-linux.png";
#endif

constexpr ViewColor kGrey{128, 128, 128}, kBlue{0, 0, 160}, kRed{200, 0, 0}, kGreen{0, 200, 0},
    kTeal{0, 160, 160}, kYellow{220, 220, 0}, kWhite{255, 255, 255};

class ViewDrawingTest : public FrameTest {
protected:
    // Frame (grey) > A at (10, 10) (blue) > red (painting over its edges), green running out of A, B at (25, 25) (teal) > yellow;
    // white on top of A's corner.
    void buildTree(bool offscreenB) {
        ProbeContainer* a = container("A", {10, 10, 60, 60});
        Probe* red = probe("red", {-5, -5, 20, 20}, a);
        red->colour = kRed;
        red->bleed = 3;
        green = probe("green", {10, 10, 70, 30}, a);
        green->colour = kGreen;
        b = container("B", {25, 25, 45, 45}, a);
        b->setBackgroundColor(kTeal);
        b->setOffscreen(offscreenB);
        yellow = probe("yellow", {5, 5, 15, 15}, b);
        yellow->colour = kYellow;
        probe("white", {50, 50, 70, 70})->colour = kWhite;
        frame->idle();
        ASSERT_TRUE(window().paint());
    }
    ViewColor at(int32_t x, int32_t y) { return window().picture()->pixelAt(x, y); }

    ProbeContainer* b = nullptr;
    Probe* green = nullptr;
    Probe* yellow = nullptr;
};

TEST_F(ViewDrawingTest, ChildrenDrawInListOrderClippedToTheirContainersAtTheirOffsets) {
    struct Expected {
        int32_t x, y;
        ViewColor colour;
    };
    const Expected picture[] = {
        {7, 7, kGrey},     // red reaches out of A above and left: clipped
        {12, 12, kRed},    {25, 25, kGreen},  // green drawn after red
        {32, 12, kBlue},   // red paints beyond its rectangle: clipped to it
        {65, 25, kGrey},   // green clipped at A's right edge
        {15, 45, kBlue},   {37, 37, kTeal},  {45, 45, kYellow},  // B and its child, two offsets deep
        {52, 52, kWhite},  {65, 65, kWhite},  // the frame's last child lies on top
        {75, 75, kGrey},   {12, 58, kBlue},   {12, 61, kGrey},
    };
    for (bool offscreen : {false, true}) {
        SCOPED_TRACE(offscreen ? "B drawn through its own offscreen context" : "B drawn directly");
        buildTree(offscreen);
        if (!offscreen) window().picture()->writePng(kTreePicture);
        for (const Expected& e : picture) EXPECT_EQ(at(e.x, e.y), e.colour) << "at " << e.x << "," << e.y;
        frame->removeAllChildren();
    }
}

TEST_F(ViewDrawingTest, ADirtyViewIsRequestedInFrameCoordinatesAndOnlyItsAreaIsDrawnAgain) {
    buildTree(false);
    window().clearInvalidations();
    COffscreenContext* picture = window().picture();
    picture->setFillColor(kGreen);
    picture->drawRect({90, 0, 100, 10}, kDrawFilled);  // a mark that only a full repaint removes

    frame->idle();
    EXPECT_TRUE(window().invalidations().empty()) << "nothing dirty, nothing requested";

    yellow->colour = kRed;
    yellow->setDirty(true);
    frame->idle();
    ASSERT_EQ(window().invalidations(), std::vector<ViewRect>{ViewRect(40, 40, 50, 50)});
    EXPECT_FALSE(yellow->isDirty());
    EXPECT_TRUE(window().paint());
    EXPECT_EQ(at(45, 45), kRed);
    EXPECT_EQ(at(95, 5), kGreen);

    // Unchanged visibility marks nothing; a hidden view is not requested.
    yellow->setShown(true);
    EXPECT_FALSE(yellow->isDirty());
    yellow->setShown(false);
    EXPECT_TRUE(yellow->isDirty());
    window().clearInvalidations();
    frame->idle();
    EXPECT_TRUE(window().invalidations().empty());

    // A dirty container asks for its whole rectangle.
    b->setDirty(true);
    frame->idle();
    EXPECT_EQ(window().invalidations(), std::vector<ViewRect>{ViewRect(35, 35, 55, 55)});

    // Marking an area dirties the frame's children that meet it, edges included.
    window().clearInvalidations();
    frame->markDirtyInRect({60, 60, 61, 61});
    frame->idle();
    EXPECT_EQ(window().invalidations(), (std::vector<ViewRect>{{10, 10, 60, 60}, {50, 50, 70, 70}}));
}

TEST_F(ViewDrawingTest, VisibleAreasAndPointsFollowTheEnclosingContainers) {
    buildTree(false);
    EXPECT_EQ(green->visibleSize(), ViewRect(10, 10, 50, 30));
    EXPECT_EQ(yellow->visibleSize(), ViewRect(5, 5, 15, 15));
    b->setViewSize({40, 40, 60, 60});  // B now reaches out of A
    EXPECT_EQ(yellow->visibleSize(), ViewRect(5, 5, 10, 10));
    EXPECT_EQ(CView({0, 0, 5, 5}).visibleSize(), ViewRect{}) << "outside any tree nothing is visible";

    ViewPoint point{65, 65};
    EXPECT_EQ(yellow->frameToLocal(point), ViewPoint(15, 15));
    EXPECT_EQ(yellow->localToFrame(point), ViewPoint(65, 65));
}

TEST_F(ViewDrawingTest, AClosedFrameRequestsNothing) {
    buildTree(false);
    window().clearInvalidations();
    yellow->setDirty(true);
    frame->setOpen(false);
    frame->idle();
    EXPECT_TRUE(window().invalidations().empty());
}

}  // namespace
}  // namespace ViewsTest
