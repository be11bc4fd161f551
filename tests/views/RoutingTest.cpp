// Pointer, wheel, key and drag events finding their view.

#include "ModifierClickTarget.h"
#include "MouseObserver.h"
#include "ToolkitEditorInterface.h"
#include "ViewProbes.h"

namespace ViewsTest {
namespace {

class ViewRoutingTest : public FrameTest {
protected:
    // A at (10, 10) holding "low" (0, 0, 30, 30) and, on top of it, "top" (20, 20, 40, 40).
    ViewRoutingTest() {
        a = container("A", {10, 10, 60, 60});
        low = probe("low", {0, 0, 30, 30}, a);
        top = probe("top", {20, 20, 40, 40}, a);
    }
    ProbeContainer* a;
    Probe* low;
    Probe* top;
};

TEST_F(ViewRoutingTest, APressGoesToTheTopmostViewWhichKeepsTheMovesAndReleaseEvenOutsideIt) {
    EXPECT_EQ(frame->pointerDown({30, 30}, kLButton), kMouseHandled);  // top's corner: edges count
    frame->pointerMoved({95, 2}, kLButton);
    EXPECT_EQ(frame->pointerUp({96, 3}, kLButton), kMouseHandled);
    EXPECT_EQ(take(), (Journal{"top down 20,20 b2", "top moved 85,-8 b2", "top up 86,-7 b2"}));
    EXPECT_EQ(frame->pointerUp({96, 3}, kLButton), kMouseNotHandled) << "no press, no mouse-down view";

    // A refused press is not offered to the views below.
    top->downResult = kMouseNotHandled;
    EXPECT_EQ(frame->pointerDown({35, 35}, kLButton), kMouseNotHandled);
    EXPECT_EQ(take(), Journal{"top down 25,25 b2"});
    EXPECT_EQ(frame->pointerDown({5, 5}, kLButton), kMouseNotHandled);

    // Views that take no pointer events are passed over.
    top->setMouseEnabled(false);
    frame->pointerDown({35, 35}, kRButton);
    top->setMouseEnabled(true);
    top->setShown(false);
    frame->pointerDown({36, 36}, kMButton);
    EXPECT_EQ(take(), (Journal{"low down 25,25 b8", "low down 26,26 b4"}));
}

TEST_F(ViewRoutingTest, ADragThatAViewGivesUpTurnsIntoHovering) {
    top->moveResult = kMouseNotHandled;
    frame->pointerDown({35, 35}, kLButton);
    EXPECT_EQ(frame->pointerMoved({15, 15}, kLButton), kMouseHandled);
    EXPECT_EQ(a->mouseDownView(), nullptr);
    EXPECT_EQ(take(), (Journal{"top down 25,25 b2", "top moved 5,5 b2", "low entered 5,5 b2"}));
}

struct ObserverLog : MouseObserver {
    explicit ObserverLog(Journal& journal) : journal(journal) {}
    void entered(CView* view, CFrame*) override { journal.push_back("observer entered " + nameOf(view)); }
    void exited(CView* view, CFrame*) override { journal.push_back("observer exited " + nameOf(view)); }
    void moved(CFrame*, const ViewPoint&) override {}
    void pressed(CFrame*, const ViewPoint& p) override { journal.push_back("observer pressed " + std::to_string(p.x)); }
    static std::string nameOf(CView* view) { return static_cast<Probe*>(view)->name; }
    Journal& journal;
};

TEST_F(ViewRoutingTest, HoveringEntersAndLeavesTheInnermostViewAndAsksOnceForTheLeaveNotice) {
    ObserverLog observer(journal);
    frame->setMouseObserver(&observer);
    frame->pointerMoved({15, 15}, 0);
    frame->pointerMoved({16, 15}, kLButton);
    frame->pointerMoved({35, 35}, 0);
    frame->pointerMoved({5, 5}, 0);
    EXPECT_EQ(take(), (Journal{"low entered 5,5", "observer entered low", "low moved 6,5", "low exited 25,25",
                               "observer exited low", "top entered 25,25", "observer entered top",
                               "top exited -5,-5", "observer exited top"}));
    EXPECT_EQ(window().leaveTrackRequests(), 1);

    frame->pointerMoved({15, 15}, 0);
    frame->pointerExited({0, 0}, 0);  // the platform's leave notice
    frame->pointerMoved({16, 16}, 0);
    frame->pointerDown({16, 16}, kLButton);
    EXPECT_EQ(take(), (Journal{"low entered 5,5", "observer entered low", "low exited -10,-10",
                               "observer exited low", "low entered 6,6", "observer entered low",
                               "low exited 6,6 b2", "observer exited low", "observer pressed 16",
                               "low down 6,6 b2"}));
    EXPECT_EQ(window().leaveTrackRequests(), 2);
    frame->setMouseObserver(nullptr);
}

TEST_F(ViewRoutingTest, TheWheelTurnsTheViewUnderThePointerButNotDuringADrag) {
    EXPECT_TRUE(frame->wheel({35, 35}, 2.0f, 0));
    EXPECT_TRUE(frame->wheelOnAxis({15, 15}, kWheelHorizontal, 3.0f, 0));
    top->wheelTaken = false;
    EXPECT_FALSE(frame->wheel({35, 35}, 1.0f, 0)) << "not passed on to the view below";
    EXPECT_EQ(take(), (Journal{"top wheel 2 25,25", "low wheel -3 5,5", "top wheel 1 25,25"}));

    frame->pointerDown({15, 15}, kLButton);
    EXPECT_FALSE(frame->wheel({15, 15}, 1.0f, 0));
    EXPECT_EQ(take(), Journal{"low down 5,5 b2"});
}

TEST_F(ViewRoutingTest, KeysGoToTheFocusViewThenTheModalViewAndOtherwiseAreNotTaken) {
    top->keyResult = 1;  // never asked: keys do not wander through the tree
    EXPECT_EQ(pressKey('a'), kKeyNotHandled);
    low->setWantsFocus(true);
    frame->setFocusedView(low);
    EXPECT_EQ(pressKey('b'), kKeyNotHandled);

    auto* modal = new ProbeContainer("M", {0, 0, 10, 10}, journal);
    auto* first = new Probe("m1", {0, 0, 5, 5}, journal);
    auto* last = new Probe("m2", {5, 5, 10, 10}, journal);
    modal->appendChild(first);
    modal->appendChild(last);
    first->keyResult = 7;
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_EQ(pressKey('c'), 7);
    low->keyResult = 4;
    EXPECT_EQ(pressKey('d'), 4);
    EXPECT_EQ(take(), (Journal{"A kMsgNewFocusView low", "low key 98", "low key 99", "m2 key 99", "m1 key 99", "low key 100"}));
    frame->setModalView(nullptr);
    modal->release();
}

TEST_F(ViewRoutingTest, TheModalViewReceivesEveryPointerEvent) {
    auto* modal = new Probe("modal", {70, 60, 90, 75}, journal);
    ASSERT_TRUE(frame->setModalView(modal));
    auto* second = new Probe("second", {}, journal);
    EXPECT_FALSE(frame->setModalView(second)) << "one modal view at a time";
    second->release();

    EXPECT_EQ(frame->pointerDown({15, 15}, kLButton), kMouseNotHandled);
    frame->pointerMoved({15, 15}, 0);
    frame->wheel({15, 15}, 1.0f, 0);
    EXPECT_EQ(frame->pointerDown({80, 70}, kLButton), kMouseHandled);
    frame->pointerMoved({5, 5}, kLButton);
    frame->pointerUp({5, 5}, kLButton);
    EXPECT_EQ(take(), (Journal{"modal moved 15,15", "modal wheel 1 15,15", "modal down 80,70 b2", "modal moved 5,5 b2",
                               "modal up 5,5 b2"}));

    ASSERT_TRUE(frame->setModalView(nullptr));
    EXPECT_FALSE(modal->isAttached());
    EXPECT_EQ(modal->referenceCount(), 1) << "the creator's reference is left";
    modal->release();
    frame->pointerDown({15, 15}, kLButton);
    EXPECT_EQ(take(), Journal{"low down 5,5 b2"});
}

class ModifierControl : public Probe, public ModifierClickTarget {
public:
    using Probe::Probe;
    bool isTypeOf(const char* name) const override { return std::string(name) == "CControl" || Probe::isTypeOf(name); }
    int32_t offerModifierClick(int32_t buttons) override {
        journal.push_back("offered b" + std::to_string(buttons));
        return consume;
    }
    int32_t consume = 1;
};

TEST_F(ViewRoutingTest, AControlIsOfferedARightOrModifiedPressBeforeItsOwnHandling) {
    auto* control = new ModifierControl("control", {40, 0, 60, 20}, journal);
    frame->appendChild(control);
    EXPECT_EQ(frame->pointerDown({50, 5}, kLButton | kShift), kMouseHandled);
    EXPECT_EQ(frame->mouseDownView(), nullptr);
    frame->pointerDown({50, 5}, kLButton);
    control->consume = 0;
    frame->pointerDown({50, 5}, kRButton);
    EXPECT_EQ(take(), (Journal{"offered b18", "control down 50,5 b2", "offered b8", "control down 50,5 b8"}));
}

TEST_F(ViewRoutingTest, DragEventsFollowTheChildUnderThePointer) {
    frame->dragEnter(nullptr, {15, 15});
    frame->dragMove(nullptr, {16, 15});
    frame->dragMove(nullptr, {35, 35});
    EXPECT_TRUE(frame->dragDrop(nullptr, {15, 15}));
    EXPECT_FALSE(frame->dragDrop(nullptr, {95, 75}));
    EXPECT_EQ(take(), (Journal{"low dragEnter 5,5", "low dragMove 6,5", "low dragLeave 25,25", "top dragEnter 25,25",
                               "top dragLeave 5,5", "low dragDrop 5,5", "low dragLeave 5,5"}));
}

struct EditorLog : ToolkitEditorInterface {
    void editorIdle() override { calls.push_back("idle"); }
    int32_t knobMode() const override { return 2; }
    void beginEdit(int32_t index) override { calls.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { calls.push_back("end " + std::to_string(index)); }
    Journal calls;
};

TEST(ViewFrameEditorTest, TheFrameForwardsEditBracketsIdleAndKnobModeToTheEditorAndUsesItsWindowForPointerCursorAndDrops) {
    EditorLog editor;
    auto* frame = new CFrame({0, 0, 10, 10}, nullptr, &editor, OffscreenWindow::create);
    auto* view = new CView({0, 0, 5, 5});
    frame->appendChild(view);
    EXPECT_EQ(view->editorOf(), &editor);
    frame->beginEdit(3);
    frame->editorIdle();
    frame->endEdit(3);
    EXPECT_EQ(frame->knobMode(), 2);
    EXPECT_EQ(editor.calls, (Journal{"begin 3", "idle", "end 3"}));

    // Pointer state and cursor belong to the platform window.
    auto& window = *static_cast<OffscreenWindow*>(frame->platformWindow());
    window.setPointer({3, 4}, kLButton | kShift);
    EXPECT_EQ(frame->currentMousePosition(), ViewPoint(3, 4));
    EXPECT_EQ(frame->currentButtons(), kLButton | kShift);
    frame->setCursorKind(kCursorHand);
    EXPECT_EQ(window.cursor(), kCursorHand);
    EXPECT_TRUE(frame->isDropTargetActive()) << "registered when the window opened";
    EXPECT_TRUE(frame->enableDropTarget(false));
    EXPECT_FALSE(window.isDropTargetRegistered());
    frame->release();
}

}  // namespace
}  // namespace ViewsTest
