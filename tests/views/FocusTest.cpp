// Keyboard focus: Tab order, the modal view's boundary and the notifications of a change.

#include "ViewProbes.h"

namespace ViewsTest {
namespace {

class ViewFocusTest : public FrameTest {
protected:
    Probe* focusable(const std::string& name, CViewContainer* parent = nullptr) {
        Probe* view = probe(name, {0, 0, 5, 5}, parent);
        view->setWantsFocus(true);
        return view;
    }
    // Presses Tab (Shift+Tab when back) and names the focus view it led to, or "-1".
    std::string tab(bool back = false) {
        if (pressKey(0, kVirtualKeyTab, back ? kModifierShift : 0) == kKeyNotHandled) {
            EXPECT_EQ(frame->focusedView(), nullptr);
            return "-1";
        }
        return static_cast<Probe*>(frame->focusedView())->name;
    }
};

TEST_F(ViewFocusTest, TabAndShiftTabVisitTheViewsThatWantFocusInOrderThroughNestedContainers) {
    EXPECT_EQ(tab(), "-1") << "nothing to focus";
    focusable("f1");
    probe("n1", {0, 0, 5, 5});
    ProbeContainer* c = container("C", {10, 10, 50, 50});
    focusable("f2", c);
    probe("n2", {0, 0, 5, 5}, c);
    focusable("f3", c);
    focusable("f4");

    std::vector<std::string> forward, backward;
    for (int i = 0; i < 6; ++i) forward.push_back(tab());
    for (int i = 0; i < 6; ++i) backward.push_back(tab(true));
    EXPECT_EQ(forward, (std::vector<std::string>{"f1", "f2", "f3", "f4", "-1", "f1"}));
    EXPECT_EQ(backward, (std::vector<std::string>{"-1", "f4", "f3", "f2", "f1", "-1"}));
}

TEST_F(ViewFocusTest, TabStaysInsideTheModalView) {
    focusable("outside");
    auto* modal = new ProbeContainer("M", {20, 20, 60, 60}, journal);
    ASSERT_TRUE(frame->setModalView(modal));
    focusable("m1", modal);
    focusable("m2", modal);
    std::vector<std::string> visited;
    for (int i = 0; i < 5; ++i) visited.push_back(tab());
    EXPECT_EQ(visited, (std::vector<std::string>{"m1", "m2", "-1", "m1", "m2"}));
    frame->setModalView(nullptr);
    modal->release();
}

TEST_F(ViewFocusTest, AFocusChangeNotifiesTheAncestorsAndTheOldViewOnlyOnce) {
    Probe* f1 = focusable("f1");
    ProbeContainer* outer = container("outer", {10, 10, 50, 50});
    ProbeContainer* inner = container("inner", {0, 0, 30, 30}, outer);
    Probe* f2 = focusable("f2", inner);
    frame->setFocusedView(f1);
    EXPECT_EQ(f1->referenceCount(), 2);
    take();
    frame->setFocusedView(f2);
    frame->setFocusedView(f2);
    EXPECT_EQ(take(), (Journal{"inner kMsgNewFocusView f2", "outer kMsgNewFocusView f2", "f1 loseFocus"}));
    frame->pointerDown({95, 75}, kLButton);  // a press anywhere ends the focus
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(take(), (Journal{"inner kMsgOldFocusView f2", "outer kMsgOldFocusView f2", "f2 loseFocus"}));
}

// A view that asks for the focus back while losing it.
class Clinging : public Probe {
public:
    using Probe::Probe;
    void loseFocus() override {
        Probe::loseFocus();
        frame()->setFocusedView(this);
    }
};

TEST_F(ViewFocusTest, AFocusRequestDuringAChangeIsIgnored) {
    auto* clinging = new Clinging("clinging", {0, 0, 5, 5}, journal);
    frame->appendChild(clinging);
    Probe* other = focusable("other");
    frame->setFocusedView(clinging);
    frame->setFocusedView(other);
    EXPECT_EQ(frame->focusedView(), other);
}

}  // namespace
}  // namespace ViewsTest
