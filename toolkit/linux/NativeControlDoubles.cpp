#include "NativeControlDoubles.h"

#include <algorithm>

namespace Toolkit {
namespace Doubles {

namespace {

TextEntryDouble* currentEntry = nullptr;
int32_t entriesOpened = 0;

std::optional<std::vector<int32_t>> popupScript;
std::function<void()> popupAction;
std::optional<ShownPopup> shownPopup;
int32_t popupCount = 0;

// Length in bytes of the UTF-8 sequence that starts with byte lead.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xf0) return 4;
    if (lead >= 0xe0) return 3;
    if (lead >= 0xc0) return 2;
    return 1;
}

class PopupMenuDouble : public NativePopupMenu {
public:
    std::optional<int32_t> track(const PopupMenuModel& menu, const ViewPoint& position, bool rightButton) override {
        ++popupCount;
        shownPopup = ShownPopup{menu, position, rightButton};
        if (auto action = std::move(popupAction)) {
            popupAction = nullptr;
            action();
        }
        auto path = std::move(popupScript);
        popupScript.reset();
        if (!path || path->empty()) return std::nullopt;
        const PopupMenuModel* level = &menu;
        const PopupMenuEntry* entry = nullptr;
        for (int32_t index : *path) {
            if (!level || index < 0 || size_t(index) >= level->entries.size()) return std::nullopt;
            entry = &level->entries[size_t(index)];
            level = entry->submenu.get();
        }
        // As on screen: separators, grey and title entries and submenu entries close nothing by a pick.
        if (entry->separator || entry->grayed || entry->inert || entry->submenu || entry->id < 0) return std::nullopt;
        return entry->id;
    }
};

}  // namespace

int32_t utf16Length(const std::string& utf8) {
    int32_t units = 0;
    for (size_t i = 0; i < utf8.size(); i += sequenceLength(static_cast<unsigned char>(utf8[i])))
        units += sequenceLength(static_cast<unsigned char>(utf8[i])) == 4 ? 2 : 1;
    return units;
}

TextEntryDouble::TextEntryDouble(const NativeTextEntryLayout& layout, const std::string& utf8Text,
                                 NativeTextEntryClient& client)
    : shape(layout), client(client) {
    type(utf8Text);
    selectAll = true;
    currentEntry = this;
    ++entriesOpened;
}

TextEntryDouble::~TextEntryDouble() {
    if (currentEntry == this) currentEntry = nullptr;
}

void TextEntryDouble::type(const std::string& utf8) {
    if (selectAll) content.clear();
    selectAll = false;
    int32_t units = utf16Length(content);
    for (size_t i = 0; i < utf8.size();) {
        size_t length = std::min(sequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        int32_t needed = length == 4 ? 2 : 1;
        if (units + needed > kTextEntryMaxCharacters) break;
        content.append(utf8, i, length);
        units += needed;
        i += length;
    }
}

void TextEntryDouble::pressEnter() { client.nativeEntryReturnPressed(); }

void TextEntryDouble::pressEscape() { client.nativeEntryCancelled(); }

void TextEntryDouble::loseFocus() { client.nativeEntryFocusLost(); }

TextEntryDouble* openTextEntry() { return currentEntry; }
int32_t textEntriesOpened() { return entriesOpened; }

void scriptPopupChoice(std::vector<int32_t> path) { popupScript = std::move(path); }
void scriptPopupDismissal() { popupScript = std::vector<int32_t>{}; }
void runDuringNextPopup(std::function<void()> action) { popupAction = std::move(action); }
const std::optional<ShownPopup>& lastPopup() { return shownPopup; }
int32_t popupsShown() { return popupCount; }

}  // namespace Doubles

std::unique_ptr<NativeTextEntry> createNativeTextEntry(CFrame&, const NativeTextEntryLayout& layout,
                                                       const std::string& utf8Text, NativeTextEntryClient& client) {
    return std::make_unique<Doubles::TextEntryDouble>(layout, utf8Text, client);
}

std::unique_ptr<NativePopupMenu> createNativePopupMenu(CFrame&) { return std::make_unique<Doubles::PopupMenuDouble>(); }

}  // namespace Toolkit
