// Option menu entries as the platform is asked to show them: numbering, ids, flags and the current
// entry with and without counting separators.

#include <gtest/gtest.h>

#include "COptionMenu.h"

namespace ControlsTest {
namespace {

using namespace Toolkit;

struct Menu {
    Menu(int32_t style = 0) : view(new COptionMenu(ViewRect{127, 275, 200, 294}, nullptr, 7, nullptr, nullptr, style)) {}
    ~Menu() { view->release(); }
    COptionMenu* operator->() { return view; }
    PopupMenuModel model() {
        int32_t firstId = 0;
        return view->popupModel(firstId);
    }
    COptionMenu* view;
};

TEST(OptionMenu, CurrentEntryWithAndWithoutCountingSeparators) {
    Menu menu;
    menu->addEntry("first");
    menu->addEntry("-");
    menu->addEntry("second");
    menu->addEntry("third");
    EXPECT_EQ(menu->entryCount(), 4);
    EXPECT_TRUE(menu->entryAt(1)->isSeparator());
    EXPECT_FALSE(menu->setCurrent(1, true)) << "a separator cannot be current";
    EXPECT_EQ(menu->currentIndex(true), -1);
    EXPECT_TRUE(menu->setCurrent(2, false));
    EXPECT_EQ(menu->currentIndex(true), 3);
    EXPECT_EQ(menu->currentIndex(false), 2);
    EXPECT_STREQ(menu->currentEntry()->title(), "third");
    EXPECT_FALSE(menu->setCurrent(4, true));
    menu->setValue(0.9f);  // truncates to entry 0
    EXPECT_EQ(menu->currentIndex(true), 0);
    menu->setValue(4.0f);
    menu->setValue(-1.0f);
    EXPECT_EQ(menu->currentIndex(true), 0) << "values outside the entries are ignored";
}

TEST(OptionMenu, NumbersEntriesByPositionCountingSeparators) {
    Menu menu;
    for (const char* title : {"Mono", "-", "Stereo", "Quadro"}) menu->addEntry(title);
    menu->addEntry("5.1", 1);  // inserted before the separator
    menu->setPrefixNumbers(3);
    menu->setPrefixNumbers(7);  // ignored
    const PopupMenuModel model = menu.model();
    ASSERT_EQ(model.entries.size(), 5u);
    EXPECT_EQ(model.entries[0].title, "01 Mono");
    EXPECT_EQ(model.entries[1].title, "02 5.1");
    EXPECT_TRUE(model.entries[2].separator);
    EXPECT_EQ(model.entries[3].title, "04 Stereo");
    EXPECT_EQ(model.entries[4].id, 4);
    menu->setPrefixNumbers(2);
    EXPECT_EQ(menu.model().entries[4].title, "5 Quadro");
    menu->setPrefixNumbers(4);
    EXPECT_EQ(menu.model().entries[0].title, "001 Mono");
    menu->setPrefixNumbers(0);
    EXPECT_EQ(menu.model().entries[0].title, "Mono");
}

TEST(OptionMenu, SubmenusTakeTheNextBlocksOfIdsInEntryOrder) {
    Menu menu, inner, innermost;
    innermost->addEntry("deep");
    inner->addEntry("p");
    inner->addEntry(innermost.view, "more");
    menu->addEntry("x");
    menu->addEntry(inner.view, "sub");
    menu->addEntry("y");
    const PopupMenuModel model = menu.model();
    EXPECT_EQ(model.entries[0].id, 0);
    EXPECT_EQ(model.entries[2].id, 2);
    ASSERT_TRUE(model.entries[1].submenu);
    EXPECT_EQ(model.entries[1].id, -1);
    EXPECT_EQ(model.entries[1].title, "sub");
    EXPECT_EQ(model.entries[1].submenu->entries[0].id, 3);
    ASSERT_TRUE(model.entries[1].submenu->entries[1].submenu);
    EXPECT_EQ(model.entries[1].submenu->entries[1].submenu->entries[0].id, 5);
}

TEST(OptionMenu, FlagsBecomeGreyInertAndCheckedEntriesAndColumnsBreak) {
    Menu plain, checking(kCheckStyle);
    for (Menu* menu : {&plain, &checking}) {
        (*menu)->addEntry("grey", -1, CMenuItem::kDisabled);
        (*menu)->addEntry("title", -1, CMenuItem::kTitle);
        (*menu)->addEntry("ticked", -1, CMenuItem::kChecked);
        (*menu)->addEntry("plain");
        (*menu)->addEntry("more");
        (*menu)->setEntriesPerColumn(2);
    }
    const PopupMenuModel model = checking.model();
    EXPECT_TRUE(model.entries[0].grayed);
    EXPECT_TRUE(model.entries[1].inert);
    EXPECT_FALSE(model.entries[1].grayed);
    EXPECT_TRUE(model.entries[2].checked);
    EXPECT_FALSE(plain.model().entries[2].checked) << "check marks need the check style";
    std::vector<bool> breaks;
    for (const auto& entry : model.entries) breaks.push_back(entry.columnBreak);
    EXPECT_EQ(breaks, (std::vector<bool>{false, false, true, false, true}));

    checking->setCurrent(3);
    EXPECT_TRUE(checking->isCheckedEntry(3)) << "the check style toggles the new current entry";
    checking->checkEntryAlone(0);
    EXPECT_TRUE(checking->isCheckedEntry(0));
    EXPECT_FALSE(checking->isCheckedEntry(2));
    EXPECT_FALSE(checking->isCheckedEntry(3));
}

}  // namespace
}  // namespace ControlsTest
