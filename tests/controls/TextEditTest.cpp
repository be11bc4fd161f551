// Text fields edited through the stand-in native entry: typing, Enter, Escape, focus loss, the limit.

#include <cstring>
#include <string>

#include "CDrawContext.h"
#include "CTextEdit.h"
#include "CViewContainer.h"
#include "ControlHarness.h"
#include "NativeControlDoubles.h"

namespace ControlsTest {
namespace {

using Doubles::openTextEntry;

class TextEditTest : public ControlHarness {
protected:
    TextEditTest() { field = add(new CTextEdit(ViewRect{420, 9, 554, 27}, &listener, 10, "TestEdit")); }
    CTextEdit* field;
};

TEST_F(TextEditTest, OpensOverTheFieldAndEnterCommitsOnce) {
    EXPECT_EQ(press({430, 15}), kMouseHandledDone);
    auto* entry = openTextEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->layout().rect, (ViewRect{420, 9, 555, 28}));
    EXPECT_EQ(entry->layout().fontHeight, 12);
    EXPECT_EQ(entry->text(), "TestEdit");
    EXPECT_TRUE(entry->allSelected());
    EXPECT_EQ(frame->focusedView(), field);

    entry->type("Warm bass");
    entry->pressEnter();
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_TRUE(field->returnWasPressed());
    EXPECT_STREQ(field->textPointer(), "Warm bass");
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 10", "beginEdit 10", "changed 10 0.0000", "endEdit 10",
                                                    "ended 10"}))
        << "the change is reported inside the gesture";

    log.events.clear();
    press({430, 15});
    openTextEntry()->type("Warm bass");
    openTextEntry()->pressEnter();
    EXPECT_EQ(log.count("changed"), 0) << "unchanged text is no change";
    EXPECT_EQ(log.count("endEdit"), 1);
}

TEST_F(TextEditTest, EscapeAbandonsTheEntryAndFocusLossCommits) {
    press({430, 15});
    openTextEntry()->type("Bright");
    openTextEntry()->pressEscape();
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_STREQ(field->textPointer(), "TestEdit");
    EXPECT_EQ(log.count("changed"), 0);
    EXPECT_EQ(log.count("endEdit 10"), 1);
    EXPECT_EQ(frame->focusedView(), nullptr);

    press({430, 15});
    openTextEntry()->type("Bright");
    openTextEntry()->loseFocus();
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_STREQ(field->textPointer(), "Bright");
    EXPECT_EQ(log.count("changed"), 1);
    EXPECT_FALSE(field->returnWasPressed());
    EXPECT_EQ(frame->focusedView(), nullptr);
}

TEST_F(TextEditTest, APressElsewhereEndsEditingAsFocusLoss) {
    press({430, 15});
    openTextEntry()->type("Elsewhere");
    press({10, 290});
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_STREQ(field->textPointer(), "Elsewhere");
    EXPECT_EQ(log.count("beginEdit"), log.count("endEdit"));
}

TEST_F(TextEditTest, KeepsAtMost255Characters) {
    press({430, 15});
    openTextEntry()->type(std::string(300, 'x'));
    EXPECT_EQ(openTextEntry()->text().size(), 255u);
    openTextEntry()->type("y");
    openTextEntry()->pressEnter();
    EXPECT_EQ(std::strlen(field->textPointer()), 255u);

    field->setText(std::string(256, 'z').c_str());
    EXPECT_EQ(std::strlen(field->textPointer()), 255u);
    // Two-byte characters: cut at a character boundary, never inside one.
    std::string accents;
    for (int i = 0; i < 200; ++i) accents += "\xc3\xa9";
    field->setText(accents.c_str());
    EXPECT_EQ(std::string(field->textPointer()), accents.substr(0, 254));
    field->setText(nullptr);
    EXPECT_STREQ(field->textPointer(), "");
}

TEST_F(TextEditTest, EntrySitsAtTheFieldsPlaceInTheFrameAndDoubleClickStyleWaitsForADoubleClick) {
    auto* box = add(new CViewContainer(ViewRect{100, 50, 400, 250}));
    auto* inner = new CTextEdit(ViewRect{10, 5, 110, 45}, &listener, 12, "inner", nullptr, kDoubleClickStyle);
    inner->setHoriAlign(kAlignRight);
    box->appendChild(inner);
    EXPECT_EQ(press({150, 70}), kMouseNotHandled);
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_EQ(press({150, 70}, kLButton | kDoubleClick), kMouseHandledDone);
    ASSERT_NE(openTextEntry(), nullptr);
    EXPECT_EQ(openTextEntry()->layout().rect, (ViewRect{110, 55, 211, 96}));
    EXPECT_EQ(openTextEntry()->layout().alignment, kAlignRight);
    EXPECT_EQ(openTextEntry()->layout().fontHeight, 12);
    openTextEntry()->loseFocus();
    EXPECT_STREQ(inner->textPointer(), "inner");
}

TEST_F(TextEditTest, ClosingTheFrameWhileEditingClosesTheEntryAndTheGesture) {
    press({430, 15});
    openTextEntry()->type("Unsaved");
    frame->release();
    frame = nullptr;
    EXPECT_EQ(openTextEntry(), nullptr);
    EXPECT_EQ(log.count("changed"), 0);
    EXPECT_EQ(log.only("endEdit"), std::vector<std::string>{"endEdit 10"});
}

}  // namespace
}  // namespace ControlsTest
