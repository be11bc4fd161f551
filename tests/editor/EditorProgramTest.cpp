// The program menu loads programs into the edit slot and stores the B side under a typed name.

#include "COptionMenu.h"
#include "CTextEdit.h"
#include "EditorHost.h"
#include "NativeControlDoubles.h"

namespace EditorTest {
namespace {

TEST_F(EditorHost, ProgramMenuLoadsAndKeepsItsChoiceAcrossReopening) {
    ASSERT_TRUE(open());
    choose(kProgramMenu, 15);  // "User:" loads the first user program
    EXPECT_EQ(control<COptionMenu>(9, "COptionMenu").currentIndex(true), 17);
    EXPECT_EQ(host.getParameter(3), 0.2f);
    EXPECT_EQ(host.getParameter(5), 0.5f);
    EXPECT_EQ(host.dispatch(effGetProgram), 20) << "the edit slot plays";
    EXPECT_EQ(slider(3), 0.2f);

    choose(kProgramMenu, 9);  // "Med. Drive 1"
    EXPECT_EQ(host.getParameter(0), 0.3f);
    close();
    host.setParameter(0, 0.6f);
    ASSERT_TRUE(open());
    EXPECT_EQ(control<COptionMenu>(9, "COptionMenu").currentIndex(true), 9);
    choose(kProgramMenu, 9);  // the current program again: not reloaded
    EXPECT_EQ(host.getParameter(0), 0.6f);
}

TEST_F(EditorHost, StoreWritesTheBSideIntoTheCurrentUserProgram) {
    ASSERT_TRUE(open());
    auto& menu = control<COptionMenu>(9, "COptionMenu");
    auto& name = control<CTextEdit>(10, "CTextEdit");
    choose(kProgramMenu, 5);  // program 3, a factory program
    choose(kProgramMenu, 26);
    EXPECT_EQ(menu.currentIndex(true), 5) << "factory programs are not overwritten";
    EXPECT_FALSE(name.isShown());

    choose(kProgramMenu, 19);  // program 14
    effect().compareSlotB.setValue(3, 0.77f);
    choose(kProgramMenu, 26);
    EXPECT_FALSE(menu.isShown());
    ASSERT_TRUE(name.isShown());
    EXPECT_STREQ(name.textPointer(), "Enter ProgName");
    click(kProgramMenu);
    ASSERT_NE(Doubles::openTextEntry(), nullptr);
    Doubles::openTextEntry()->type("Clean Channel 2");
    Doubles::openTextEntry()->pressEnter();

    EXPECT_TRUE(menu.isShown());
    EXPECT_FALSE(name.isShown());
    EXPECT_STREQ(menu.entryAt(19)->title(), "Clean Chann");
    EXPECT_EQ(host.text(effGetProgramNameIndexed, 14), "Clean Chann");
    EXPECT_EQ(effect().programBank()[14].contents(), effect().compareSlotB.contents());
    EXPECT_EQ(effect().editSlot().contents(), effect().compareSlotB.contents());
    EXPECT_EQ(host.getParameter(3), 0.77f);
    EXPECT_EQ(slider(3), 0.77f);

    choose(kProgramMenu, 26);  // a short name replaces a longer one whole
    click(kProgramMenu);
    Doubles::openTextEntry()->type("Dry");
    Doubles::openTextEntry()->pressEnter();
    EXPECT_EQ(host.text(effGetProgramNameIndexed, 14), "Dry");
}

}  // namespace
}  // namespace EditorTest
