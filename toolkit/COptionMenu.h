#pragma once

#include <vector>

#include "CMenuItem.h"
#include "CParamDisplay.h"
#include "NativePopupMenu.h"

namespace Toolkit {

// Style bits of an option menu, beside the display's.
enum OptionMenuStyle : int32_t {
    kCheckStyle = 1,          // the current entry carries a check mark
    kPopupStyle = 0x200,      // the menu opens at the control's top instead of below it
    kMultipleCheckStyle = 0x400,
};

// Shows the current entry's title; a press opens a native pop-up menu of its entries (with
// separators, titles, disabled and checked entries, numbering, columns and submenus) and the chosen
// entry becomes the current one of the (sub)menu that holds it.
class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* backgroundWhileOpen = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    void paint(CDrawContext* context) override;
    MouseResult pointerDown(ViewPoint where, ButtonState buttons) override;
    void takeFocus() override;
    void loseFocus() override;
    void setValue(float newValue) override;
    bool isTypeOf(const char* className) const override;
    CView* cloneView() const override;

    // "-" adds a separator. index -1 (or the entry count or more) appends, else inserts before it.
    virtual CMenuItem* addEntry(const char* title, int32_t index = -1, int32_t flags = 0);
    // Appends an entry that opens submenu.
    virtual CMenuItem* addEntry(COptionMenu* submenu, const char* title);
    // Takes over the creator's reference to item.
    virtual CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    virtual CMenuItem* addSeparator();
    virtual CMenuItem* currentEntry() const;
    // Without countSeparators the separators before the current entry are not counted.
    virtual int32_t currentIndex(bool countSeparators = false) const;
    virtual CMenuItem* entryAt(int32_t index) const;
    virtual int32_t entryCount() const { return static_cast<int32_t>(entries.size()); }
    virtual bool setCurrent(int32_t index, bool countSeparators = true);
    virtual bool removeEntry(int32_t index);
    virtual bool removeAllEntries();
    virtual bool checkEntry(int32_t index, bool checked);
    virtual bool checkEntryAlone(int32_t index);
    virtual bool isCheckedEntry(int32_t index) const;
    virtual void setEntriesPerColumn(int32_t count) { perColumn = count; }
    virtual int32_t entriesPerColumn() const { return perColumn; }
    virtual void setPrefixNumbers(int32_t mode);

    int32_t prefixNumbers() const { return numbering; }
    // The id of the last choice (-1 when the last pop-up closed without one) and the menu holding it.
    int32_t lastResult() const { return lastChosenId; }
    COptionMenu* lastMenu() const { return lastChoiceMenu; }
    // The menu as the platform shows it, with ids handed out from firstId over the whole tree.
    PopupMenuModel popupModel(int32_t& firstId) const;

private:
    // Entries in this menu and all its submenus: the block of ids the tree takes.
    int32_t treeEntryCount() const;
    // The (sub)menu and index that an id of this tree names; false when none does.
    bool resolve(int32_t id, COptionMenu*& owner, int32_t& index);
    // Where the pop-up opens, in the frame window's coordinates.
    ViewPoint popupPosition() const;
    // Shows the pop-up in owner's window and reports the choice.
    void popUp(CFrame& owner);

    std::vector<CMenuItem*> entries;
    int32_t current = -1;
    CBitmap* bitmapWhileOpen = nullptr;
    int32_t pressButtons = kRButton;
    int32_t perColumn = -1;
    int32_t lastChosenId = -1;
    int32_t numbering = 0;
    COptionMenu* lastChoiceMenu = nullptr;
    bool popupOpen = false;
};

}  // namespace Toolkit
