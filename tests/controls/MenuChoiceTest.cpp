// Option menus opened by a press in the frame; the stand-in chooser picks an entry or is dismissed.

#include "COptionMenu.h"
#include "CViewContainer.h"
#include "ControlHarness.h"
#include "NativeControlDoubles.h"

namespace ControlsTest {
namespace {

class MenuChoiceTest : public ControlHarness {
protected:
    MenuChoiceTest() {
        menu = add(new COptionMenu(ViewRect{127, 275, 200, 294}, &listener, 7));
        for (const char* title : {"Mono", "Stereo", "Quadro", "5.1"}) menu->addEntry(title);
        menu->setCurrent(1);
    }
    COptionMenu* menu;
};

TEST_F(MenuChoiceTest, AChoiceBecomesTheValueAndEscapeChangesNothing) {
    Doubles::scriptPopupChoice({2});
    EXPECT_EQ(press({150, 280}), kMouseHandledDone);
    EXPECT_EQ(menu->value(), 2.0f);
    EXPECT_EQ(menu->currentIndex(), 2);
    EXPECT_EQ(menu->lastResult(), 2);
    EXPECT_EQ(listener.changed, std::vector<CControl*>{menu});
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 7", "beginEdit 7", "changed 7 2.0000", "endEdit 7", "ended 7"}));
    EXPECT_EQ(frame->focusedView(), nullptr);
    ASSERT_TRUE(Doubles::lastPopup());
    EXPECT_EQ(Doubles::lastPopup()->position, (ViewPoint{127, 294})) << "below the control";
    EXPECT_FALSE(Doubles::lastPopup()->rightButton);

    log.events.clear();
    Doubles::scriptPopupDismissal();
    press({150, 280}, kRButton);
    EXPECT_EQ(menu->value(), 2.0f);
    EXPECT_EQ(menu->currentIndex(), 2);
    EXPECT_EQ(menu->lastResult(), -1);
    EXPECT_TRUE(Doubles::lastPopup()->rightButton);
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 7", "beginEdit 7", "endEdit 7", "ended 7"}));

    EXPECT_EQ(press({150, 280}, kMButton), kMouseNotHandled);
}

TEST_F(MenuChoiceTest, AChoiceInASubmenuSetsThatSubmenuAndReportsIt) {
    auto* first = new COptionMenu(ViewRect{0, 0, 10, 10}, nullptr, 70);
    auto* second = new COptionMenu(ViewRect{0, 0, 10, 10}, nullptr, 71);
    first->addEntry("a");
    first->addEntry("b");
    for (const char* title : {"r", "-", "s", "t"}) second->addEntry(title);
    menu->addEntry(first, "first");    // entry 4, ids 6 and 7 after the menu's own six
    menu->addEntry(second, "second");  // entry 5, ids 8 to 11
    first->release();
    second->release();

    Doubles::scriptPopupChoice({5, 3});
    press({150, 280});
    EXPECT_EQ(menu->lastResult(), 11);
    EXPECT_EQ(menu->lastMenu(), second);
    EXPECT_EQ(second->currentIndex(true), 3);
    EXPECT_EQ(second->currentIndex(false), 2);
    EXPECT_EQ(menu->currentIndex(), 1) << "the outer menu keeps its entry";
    EXPECT_EQ(first->currentIndex(), -1);
    EXPECT_EQ(listener.changed, std::vector<CControl*>{second});

    Doubles::scriptPopupChoice({4, 0});
    press({150, 280});
    EXPECT_EQ(menu->lastMenu(), first);
    EXPECT_EQ(first->value(), 0.0f);
    EXPECT_EQ(first->currentIndex(), 0);
}

TEST_F(MenuChoiceTest, OpensAtTheTopWithThePopupStyleInsideNestedContainers) {
    auto* box = add(new CViewContainer(ViewRect{300, 100, 500, 200}));
    auto* inner = new COptionMenu(ViewRect{20, 30, 90, 49}, &listener, 6, nullptr, nullptr, kPopupStyle);
    inner->addEntry("1x");
    box->appendChild(inner);
    Doubles::scriptPopupDismissal();
    press({330, 140});
    ASSERT_TRUE(Doubles::lastPopup());
    EXPECT_EQ(Doubles::lastPopup()->position, (ViewPoint{320, 130}));
}

}  // namespace
}  // namespace ControlsTest
