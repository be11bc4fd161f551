#include "COptionMenu.h"

#include <cstdio>
#include <cstring>

#include "CBitmap.h"
#include "CFrame.h"

namespace Toolkit {

COptionMenu::COptionMenu(const ViewRect& rect, CControlListener* listener, int32_t tag, CBitmap* background,
                         CBitmap* backgroundWhileOpen, int32_t style)
    : CParamDisplay(rect, background, style), bitmapWhileOpen(backgroundWhileOpen) {
    setListener(listener);
    setTag(tag);
    if (bitmapWhileOpen) bitmapWhileOpen->retain();
}

COptionMenu::~COptionMenu() {
    removeAllEntries();
    if (bitmapWhileOpen) bitmapWhileOpen->release();
}

bool COptionMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "COptionMenu") == 0 || CParamDisplay::isTypeOf(className);
}

CView* COptionMenu::cloneView() const {
    auto* copy = new COptionMenu(viewSize(), listener(), tag(), background(), bitmapWhileOpen, displayStyle);
    copyLookTo(*copy);
    for (CMenuItem* item : entries) {
        item->retain();
        copy->addEntry(item);
    }
    copy->current = current;
    copy->perColumn = perColumn;
    copy->numbering = numbering;
    return copy;
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index, int32_t flags) {
    if (title && std::strcmp(title, "-") == 0) return addSeparator();
    return addEntry(new CMenuItem(title, flags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const char* title) {
    auto* item = new CMenuItem(title);
    item->setSubmenu(submenu);
    return addEntry(item);
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
    if (!item) return nullptr;
    if (index < 0 || index >= entryCount())
        entries.push_back(item);
    else
        entries.insert(entries.begin() + index, item);
    return item;
}

CMenuItem* COptionMenu::addSeparator() { return addEntry(new CMenuItem("", CMenuItem::kSeparator)); }

CMenuItem* COptionMenu::entryAt(int32_t index) const {
    return index >= 0 && index < entryCount() ? entries[size_t(index)] : nullptr;
}

CMenuItem* COptionMenu::currentEntry() const { return entryAt(current); }

int32_t COptionMenu::currentIndex(bool countSeparators) const {
    if (countSeparators) return current;
    int32_t index = current;
    for (int32_t i = 0; i <= current && i < entryCount(); ++i)
        if (entries[size_t(i)]->isSeparator()) --index;
    return index;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparators) {
    int32_t position = index;
    if (!countSeparators) {
        // The index-th entry that is not a separator.
        position = -1;
        for (int32_t i = 0, seen = 0; i < entryCount() && index >= 0; ++i) {
            if (entries[size_t(i)]->isSeparator()) continue;
            if (seen++ == index) {
                position = i;
                break;
            }
        }
    }
    CMenuItem* item = entryAt(position);
    if (!item || item->isSeparator()) return false;
    current = position;
    if (displayStyle & kCheckStyle) item->setChecked(!item->isChecked());
    setDirty(true);
    return true;
}

void COptionMenu::setValue(float newValue) {
    const int32_t index = truncateValue(newValue);
    if (index < 0 || index >= entryCount()) return;
    current = index;
    if (displayStyle & kCheckStyle) entries[size_t(index)]->setChecked(!entries[size_t(index)]->isChecked());
    currentValue = newValue;
    setDirty(true);
}

bool COptionMenu::removeEntry(int32_t index) {
    CMenuItem* item = entryAt(index);
    if (!item) return false;
    entries.erase(entries.begin() + index);
    item->release();
    return true;
}

bool COptionMenu::removeAllEntries() {
    for (CMenuItem* item : entries) item->release();
    entries.clear();
    return true;
}

bool COptionMenu::checkEntry(int32_t index, bool checked) {
    CMenuItem* item = entryAt(index);
    if (!item) return false;
    item->setChecked(checked);
    return true;
}

bool COptionMenu::checkEntryAlone(int32_t index) {
    if (!entryAt(index)) return false;
    for (int32_t i = 0; i < entryCount(); ++i) entries[size_t(i)]->setChecked(i == index);
    return true;
}

bool COptionMenu::isCheckedEntry(int32_t index) const {
    CMenuItem* item = entryAt(index);
    return item && item->isChecked();
}

void COptionMenu::setPrefixNumbers(int32_t mode) {
    if (mode >= 0 && mode <= 4) numbering = mode;
}

void COptionMenu::paint(CDrawContext* context) {
    CMenuItem* item = currentEntry();
    CFrame* owner = frame();
    CBitmap* look = bitmapWhileOpen && owner && owner->focusedView() == this ? bitmapWhileOpen : nullptr;
    drawText(context, item ? item->title() : nullptr, look);
}

MouseResult COptionMenu::pointerDown(ViewPoint, ButtonState buttons) {
    pressButtons = buttons;
    if (!(buttons & (kLButton | kRButton | kButtonReserved))) return kMouseNotHandled;
    beginGesture();
    if (bitmapWhileOpen) invalidate();
    takeFocus();
    return kMouseHandledDone;
}

PopupMenuModel COptionMenu::popupModel(int32_t& firstId) const {
    static const char* const numberFormats[] = {nullptr, nullptr, "%1d %s", "%02d %s", "%03d %s"};
    PopupMenuModel model;
    const int32_t base = firstId;
    firstId += entryCount();
    const bool columns = entryCount() < 160 && perColumn > 0;
    for (int32_t i = 0; i < entryCount(); ++i) {
        const CMenuItem& item = *entries[size_t(i)];
        PopupMenuEntry entry;
        if (item.isSeparator()) {
            entry.separator = true;
            model.entries.push_back(std::move(entry));
            continue;
        }
        if (const char* format = numberFormats[numbering]) {
            char numbered[kDisplayTextSize + 16];
            std::snprintf(numbered, sizeof numbered, format, i + 1, item.title());
            entry.title = numbered;
        } else {
            entry.title = item.title();
        }
        entry.columnBreak = columns && i != 0 && i % perColumn == 0;
        entry.icon = item.icon();
        if (COptionMenu* submenu = item.submenu()) {
            entry.submenu = std::make_shared<PopupMenuModel>(submenu->popupModel(firstId));
        } else {
            entry.grayed = !item.isEnabled();
            entry.inert = item.isTitle();
            entry.checked = (displayStyle & kCheckStyle) && item.isChecked();
            entry.id = base + i;
        }
        model.entries.push_back(std::move(entry));
    }
    return model;
}

int32_t COptionMenu::treeEntryCount() const {
    int32_t count = entryCount();
    for (CMenuItem* item : entries)
        if (item->submenu()) count += item->submenu()->treeEntryCount();
    return count;
}

bool COptionMenu::resolve(int32_t id, COptionMenu*& owner, int32_t& index) {
    if (id < 0) return false;
    if (id < entryCount()) {
        owner = this;
        index = id;
        return true;
    }
    int32_t next = entryCount();
    for (CMenuItem* item : entries) {
        COptionMenu* submenu = item->submenu();
        if (!submenu) continue;
        const int32_t block = submenu->treeEntryCount();
        if (id < next + block) return submenu->resolve(id - next, owner, index);
        next += block;
    }
    return false;
}

ViewPoint COptionMenu::popupPosition() const {
    const ViewRect rect = viewSize();
    ViewPoint position{rect.left, (displayStyle & kPopupStyle) ? rect.top : rect.bottom};
    for (CView* ancestor = parent(); ancestor; ancestor = ancestor->parent())
        if (ancestor->notify(const_cast<COptionMenu*>(this), "kMsgCheckIfViewContainer") == 1)
            position = position + ancestor->viewSize().topLeft();
    return position;
}

void COptionMenu::takeFocus() {
    lastChosenId = -1;
    CFrame* owner = frame();
    if (!owner) return;
    // The pop-up runs the system's message loop, in which the host may close the editor: the menu
    // and its frame stay alive until it has returned. Nothing here is touched after the releases.
    retain();
    owner->retain();
    popUp(*owner);
    owner->release();
    release();
}

void COptionMenu::popUp(CFrame& owner) {
    int32_t firstId = 0;
    const PopupMenuModel model = popupModel(firstId);
    std::optional<int32_t> choice;
    if (auto chooser = createNativePopupMenu(owner)) {
        popupOpen = true;
        choice = chooser->track(model, popupPosition(), (pressButtons & kRButton) != 0);
        popupOpen = false;
    }
    if (bitmapWhileOpen) setDirty(true);
    COptionMenu* menu = nullptr;
    int32_t index = -1;
    // A choice made while the editor closed its frame belongs to no open editor any more.
    if (choice && owner.isOpen() && resolve(*choice, menu, index)) {
        lastChosenId = *choice;
        menu->setValue(static_cast<float>(index));
        lastChoiceMenu = menu;
        if (controlListener) controlListener->valueChanged(menu);
    }
    owner.setFocusedView(nullptr);
    endGesture();
}

void COptionMenu::loseFocus() {
    if (!popupOpen) return;
    popupOpen = false;
    CView* ancestor = parent();
    if (!ancestor) ancestor = frame();
    for (; ancestor; ancestor = ancestor->parent())
        if (ancestor->notify(this, "LooseFocus") == 1) break;
}

}  // namespace Toolkit
