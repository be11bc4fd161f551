// Ownership of views in the tree, removal while the frame still points at a view, and layout.

#include "ViewProbes.h"

namespace ViewsTest {
namespace {

using ViewLifetimeTest = FrameTest;

TEST_F(ViewLifetimeTest, ReleasingTheFrameDestroysEveryViewItWasHanded) {
    const int before = destroyedViews;
    ProbeContainer* outer = container("outer", {0, 0, 50, 50});
    ProbeContainer* inner = container("inner", {5, 5, 40, 40}, outer);
    probe("a", {0, 0, 5, 5}, inner);
    probe("b", {0, 0, 5, 5}, outer);
    Probe* kept = probe("kept", {0, 0, 5, 5});
    EXPECT_EQ(kept->referenceCount(), 2) << "the list's reference and the creator's, handed over";
    auto* modal = new Probe("modal", {0, 0, 5, 5}, journal);
    frame->setModalView(modal);

    EXPECT_TRUE(frame->removeChild(kept, false));
    EXPECT_FALSE(frame->removeChild(kept, false)) << "no longer a child";
    EXPECT_EQ(kept->referenceCount(), 1);
    EXPECT_FALSE(kept->isAttached());
    EXPECT_EQ(destroyedViews, before);

    frame->release();
    frame = nullptr;
    EXPECT_EQ(destroyedViews, before + 4);
    EXPECT_EQ(modal->referenceCount(), 1) << "a modal view goes back to its creator";
    EXPECT_FALSE(modal->isAttached());
    modal->release();
    kept->release();
    EXPECT_EQ(destroyedViews, before + 6);
}

TEST_F(ViewLifetimeTest, AppendingRefusesNullAndAttachedViewsAndInsertingKeepsTheOrder) {
    Probe* first = probe("first", {});
    EXPECT_FALSE(frame->appendChild(nullptr));
    EXPECT_FALSE(frame->appendChild(first));
    auto* before = new Probe("before", {}, journal);
    EXPECT_TRUE(frame->insertChildBefore(before, first));
    auto* detached = new CViewContainer({});
    auto* grandchild = new Probe("grandchild", {}, journal);
    detached->appendChild(grandchild);
    EXPECT_FALSE(grandchild->isAttached());
    EXPECT_TRUE(frame->insertChildBefore(detached, nullptr));
    EXPECT_EQ(grandchild->frame(), frame) << "attached with its container";
    EXPECT_EQ(frame->childCount(), 3);
    EXPECT_EQ(frame->childAt(0), before);
    EXPECT_EQ(frame->childAt(1), first);
    EXPECT_EQ(frame->childAt(2), detached);
}

TEST_F(ViewLifetimeTest, RemovingTheFocusMouseOverOrMouseDownViewLeavesNoPointerToIt) {
    ProbeContainer* box = container("box", {0, 0, 50, 50});
    Probe* pressed = probe("pressed", {0, 0, 10, 10}, box);
    Probe* hovered = probe("hovered", {20, 20, 30, 30}, box);
    Probe* focused = probe("focused", {40, 0, 50, 10}, box);
    focused->setWantsFocus(true);

    frame->pointerMoved({25, 25}, 0);
    ASSERT_EQ(frame->mouseOverView(), hovered);
    box->removeChild(hovered);
    EXPECT_EQ(frame->mouseOverView(), nullptr);
    frame->pointerMoved({26, 26}, 0);
    frame->pointerExited({26, 26}, 0);

    frame->pointerDown({5, 5}, kLButton);
    ASSERT_EQ(box->mouseDownView(), pressed);
    box->removeChild(pressed);
    EXPECT_EQ(box->mouseDownView(), nullptr);
    frame->pointerMoved({6, 6}, kLButton);
    frame->pointerUp({6, 6}, kLButton);

    frame->setFocusedView(focused);
    frame->removeChild(box);  // the focus view goes with its container
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(pressKey('x'), kKeyNotHandled);
    EXPECT_EQ(pressKey(0, kVirtualKeyTab), kKeyNotHandled);
}

TEST_F(ViewLifetimeTest, ResizingLaysTheChildrenOutByTheirFlags) {
    ProbeContainer* box = container("box", {0, 0, 50, 40});
    Probe* fixed = probe("fixed", {0, 0, 10, 10}, box);
    Probe* moving = probe("moving", {10, 10, 20, 20}, box);
    moving->setLayoutFlags(kLayoutFollowRight | kLayoutFollowBottom);
    Probe* growing = probe("growing", {20, 20, 30, 30}, box);
    growing->setLayoutFlags(kLayoutFollowRight | kLayoutFixedLeft | kLayoutFollowBottom | kLayoutFixedTop);
    box->setViewSize({0, 0, 70, 50});
    EXPECT_EQ(fixed->viewSize(), ViewRect(0, 0, 10, 10));
    EXPECT_EQ(moving->viewSize(), ViewRect(30, 20, 40, 30));
    EXPECT_EQ(moving->mouseArea(), ViewRect(30, 20, 40, 30));
    EXPECT_EQ(growing->viewSize(), ViewRect(20, 20, 50, 40));

    // A container that shares its growth: each child takes an equal part, shifted by the earlier ones.
    frame->setLayoutFlags(kLayoutShareWidth);
    ASSERT_TRUE(frame->resizeWindow(130, 80));
    EXPECT_EQ(frame->viewSize(), ViewRect(0, 0, 130, 80));
    EXPECT_EQ(box->viewSize(), ViewRect(0, 0, 100, 50));
    frame->setOpen(false);
    EXPECT_FALSE(frame->resizeWindow(140, 80));
}

}  // namespace
}  // namespace ViewsTest
