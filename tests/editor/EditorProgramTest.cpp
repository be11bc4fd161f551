// The program menu loads programs into the edit slot and stores the B side under a typed name.

#include <algorithm>

#include "CMenuItem.h"
#include "COptionMenu.h"
#include "CTextEdit.h"
#include "EditorHost.h"
#include "NativeControlDoubles.h"

namespace EditorTest {
namespace {

// Every entry, chosen while the host plays another program: a program's name loads that program into
// the edit slot and plays it, a section title does so with the section's first program, and a
// separator does nothing. The menu then shows the loaded program as current.
TEST_F(EditorHost, EveryProgramMenuEntryLoadsItsProgram) {
    constexpr int32_t kNothing = -1;
    const int32_t programOfEntry[] = {0,  kNothing, 0,  1,        2,  3,  4,  5,  6,  7,  8,  9,  10,
                                      11, kNothing, 12, kNothing, 12, 13, 14, 15, 16, 17, 18, 19, kNothing};
    ASSERT_TRUE(open());
    auto& menu = control<COptionMenu>(9, "COptionMenu");
    for (int32_t entry = 0; entry < 26; ++entry) {
        SCOPED_TRACE(entry);
        const int32_t program = programOfEntry[entry];
        const int32_t other = (program + 7 + 20) % 20;
        host.dispatch(effSetProgram, 0, other);
        const ProgramContents editSlot = effect().editSlot().contents();
        choose(kProgramMenu, entry);
        if (program == kNothing) {
            EXPECT_EQ(host.dispatch(effGetProgram), other);
            EXPECT_EQ(effect().editSlot().contents(), editSlot);
            continue;
        }
        EXPECT_EQ(host.dispatch(effGetProgram), 20);
        EXPECT_EQ(effect().editSlot().contents(), effect().programBank()[program].contents());
        EXPECT_STREQ(menu.currentEntry()->title(), effect().programBank()[program].name);
    }
}

TEST_F(EditorHost, ProgramMenuKeepsItsChoiceAcrossReopening) {
    ASSERT_TRUE(open());
    choose(kProgramMenu, 9);  // "Med. Drive 1"
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

// A stored name keeps its first 11 characters, whole, as many as the 23 bytes of a name hold.
TEST_F(EditorHost, StoredNamesAreCutBetweenCharacters) {
    const struct {
        const char* typed;
        const char* stored;
    } names[] = {{"\xc3\x9c" "berdrive Lead", "\xc3\x9c" "berdrive L"},
                 {"\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac",
                  "\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac"}};
    ASSERT_TRUE(open());
    choose(kProgramMenu, 24);  // program 19
    for (const auto& name : names) {
        choose(kProgramMenu, 26);
        click(kProgramMenu);
        Doubles::openTextEntry()->type(name.typed);
        Doubles::openTextEntry()->pressEnter();
        EXPECT_EQ(host.text(effGetProgramNameIndexed, 19), name.stored);
        EXPECT_STREQ(control<COptionMenu>(9, "COptionMenu").entryAt(24)->title(), name.stored);
    }
}

// Keys reach only what is shown: Tab walks the sliders and displays, never the hidden name field,
// and every entry it opens is a gesture the host hears begun and ended.
TEST_F(EditorHost, TabWalksTheShownControlsOnlyAndStoresNothing) {
    ASSERT_TRUE(open());
    choose(kProgramMenu, 19);  // program 14, "User 2"
    RecordingHost::calls.clear();
    const ViewRect nameRect{420, 9, 555, 28};
    for (int tab = 1; tab <= 13; ++tab) {
        SCOPED_TRACE(tab);
        host.dispatch(effEditKeyDown, 0, kVirtualKeyTab, nullptr, 0.0f);
        auto* entry = Doubles::openTextEntry();
        EXPECT_EQ(entry != nullptr, tab >= 7 && tab <= 12) << "the six displays open an entry";
        if (!entry) continue;
        EXPECT_NE(entry->layout().rect, nameRect);
        if (tab == 13) {
            entry->type("Oops");
            entry->pressEnter();
        }
    }
    EXPECT_EQ(host.text(effGetProgramNameIndexed, 14), "User 2");
    EXPECT_TRUE(control<COptionMenu>(9, "COptionMenu").isShown());
    const std::vector<std::string> calls = hostCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "begin 3"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "end 3"), 1);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("begin", 0) == 0; }),
              std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("end", 0) == 0; }));
}

// Leaving the name entry without a new name goes back to the menu and stores nothing.
TEST_F(EditorHost, ANameEntryEndedWithoutANewNameStoresNothing) {
    const struct {
        const char* name;
        void (*end)(Doubles::TextEntryDouble&);
    } endings[] = {
        {"Escape", [](Doubles::TextEntryDouble& e) { e.type("Abandoned"), e.pressEscape(); }},
        {"focus lost", [](Doubles::TextEntryDouble& e) { e.loseFocus(); }},
        {"Enter on the old text", [](Doubles::TextEntryDouble& e) { e.pressEnter(); }},
    };
    ASSERT_TRUE(open());
    auto& menu = control<COptionMenu>(9, "COptionMenu");
    auto& name = control<CTextEdit>(10, "CTextEdit");
    choose(kProgramMenu, 20);  // program 15
    const ProgramRecord before = effect().programBank()[15];
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.name);
        choose(kProgramMenu, 26);
        ASSERT_TRUE(name.isShown());
        click(kProgramMenu);
        ASSERT_NE(Doubles::openTextEntry(), nullptr);
        ending.end(*Doubles::openTextEntry());
        EXPECT_EQ(Doubles::openTextEntry(), nullptr);
        EXPECT_TRUE(menu.isShown());
        EXPECT_FALSE(name.isShown());
        EXPECT_EQ(menu.currentIndex(true), 20);
        EXPECT_EQ(effect().programBank()[15].contents(), before.contents());
        EXPECT_EQ(host.text(effGetProgramNameIndexed, 15), "User 3");
    }
}

// A program the host chose is the one the menu loads from and stores into.
TEST_F(EditorHost, TheHostsProgramChoiceIsTheEditorsCurrentProgram) {
    ASSERT_TRUE(open());
    host.dispatch(effSetProgram, 0, 14);
    effect().compareSlotB.setValue(3, 0.66f);
    choose(kProgramMenu, 26);
    ASSERT_TRUE(control<CTextEdit>(10, "CTextEdit").isShown()) << "program 14 is a user program";
    click(kProgramMenu);
    Doubles::openTextEntry()->type("Host pick");
    Doubles::openTextEntry()->pressEnter();
    EXPECT_EQ(host.text(effGetProgramNameIndexed, 14), "Host pick");
    EXPECT_EQ(effect().programBank()[14].value(3), 0.66f);
    EXPECT_EQ(host.text(effGetProgramNameIndexed, 0), "Warm Start");

    host.dispatch(effSetProgram, 0, 3);
    choose(kProgramMenu, 2);  // program 0, which the menu chose last, but the host plays 3
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
    EXPECT_EQ(effect().editSlot().contents(), effect().programBank()[0].contents());
}

// "-" is a name like any other, whether the host or the name field gave it.
TEST_F(EditorHost, AProgramNamedDashStaysAProgramOfTheMenu) {
    host.dispatch(effSetProgram, 0, 13);
    char dash[] = "-";
    host.dispatch(effSetProgramName, 0, 0, dash);
    ASSERT_TRUE(open());
    choose(kProgramMenu, 19);  // program 14
    choose(kProgramMenu, 26);
    click(kProgramMenu);
    Doubles::openTextEntry()->type("-");
    Doubles::openTextEntry()->pressEnter();
    close();
    ASSERT_TRUE(open());
    auto& menu = control<COptionMenu>(9, "COptionMenu");
    EXPECT_EQ(menu.currentIndex(true), 19) << "the current program is shown";
    for (int32_t entry : {18, 19}) {
        EXPECT_FALSE(menu.entryAt(entry)->isSeparator()) << entry;
        EXPECT_STREQ(menu.entryAt(entry)->title(), "-");
    }
    choose(kProgramMenu, 18);
    EXPECT_EQ(effect().editSlot().contents(), effect().programBank()[13].contents());
    EXPECT_EQ(menu.currentIndex(true), 18);
}

// The host closes the editor while its program menu is open: the menu returns into a closed editor
// that takes no choice, and the next window works.
TEST_F(EditorHost, ClosingTheEditorWhileAMenuIsOpenDropsTheChoice) {
    ASSERT_TRUE(open());
    Doubles::runDuringNextPopup([this] { close(); });
    choose(kProgramMenu, 9);
    EXPECT_EQ(editor().getFrame(), nullptr);
    EXPECT_EQ(editor().currentProgramIndex(), 0);
    EXPECT_EQ(host.getParameter(0), effect().programBank()[0].value(0));
    const std::vector<std::string> calls = hostCalls();
    EXPECT_EQ(calls, (std::vector<std::string>{}));

    ASSERT_TRUE(open());
    choose(kProgramMenu, 9);
    EXPECT_EQ(editor().currentProgramIndex(), 7);
}

}  // namespace
}  // namespace EditorTest
