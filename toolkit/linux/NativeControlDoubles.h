#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "NativePopupMenu.h"
#include "NativeTextEntry.h"

// Stand-ins for the native text entry and pop-up menu in the headless Linux tests (the module links
// the X11 ones of toolkit/x11/). Tests drive them as a user would drive the native controls: type,
// press Enter or Escape, move the focus away; pick a menu entry or dismiss the menu.
namespace Toolkit::Doubles {

class TextEntryDouble : public NativeTextEntry {
public:
    TextEntryDouble(const NativeTextEntryLayout& layout, const std::string& utf8Text, NativeTextEntryClient& client);
    ~TextEntryDouble() override;

    std::string text() const override { return content; }
    const NativeTextEntryLayout& layout() const { return shape; }
    bool allSelected() const { return selectAll; }

    // Types characters: the first replaces the selected text; characters beyond the limit are dropped.
    void type(const std::string& utf8);
    // Each of these may close the entry and so destroy this object.
    void pressEnter();
    void pressEscape();
    void loseFocus();

private:
    NativeTextEntryLayout shape;
    std::string content;
    NativeTextEntryClient& client;
    bool selectAll = true;
};

// The entry open now (null when none) and how many have been opened in this process.
TextEntryDouble* openTextEntry();
int32_t textEntriesOpened();

// Decides how the next pop-up menu closes: the entry at path (an index into the menu, then into the
// submenu of that entry, and so on), or dismissed. Without a script a menu is dismissed.
void scriptPopupChoice(std::vector<int32_t> path);
void scriptPopupDismissal();
// Runs action while the next pop-up menu is open, as a host's message handling inside the menu loop.
void runDuringNextPopup(std::function<void()> action);

// Holds the editor clock (EditorSystem::tickCount) at milliseconds, or lets it run again.
void holdClockAt(uint32_t milliseconds);
void releaseClock();

// What the last pop-up menu showed.
struct ShownPopup {
    PopupMenuModel menu;
    ViewPoint position;
    bool rightButton = false;
};
const std::optional<ShownPopup>& lastPopup();
int32_t popupsShown();

// UTF-16 units of a UTF-8 text, as the native controls count characters.
int32_t utf16Length(const std::string& utf8);

}  // namespace Toolkit::Doubles
