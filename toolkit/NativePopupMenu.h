#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ViewTypes.h"

namespace Toolkit {

class CBitmap;
class CFrame;

struct PopupMenuModel;

// One entry of a pop-up menu as the platform shows it; the option menu has already applied
// numbering, check marks and column breaks.
struct PopupMenuEntry {
    std::string title;            // UTF-8, shown as is
    int32_t id = -1;              // reported when chosen; -1 for separators and submenu entries
    bool separator = false;
    bool grayed = false;          // disabled entry: drawn grey, cannot be chosen
    bool inert = false;           // title entry: drawn normally, cannot be chosen
    bool checked = false;         // shows a check mark
    bool columnBreak = false;     // starts a new column
    CBitmap* icon = nullptr;      // not owned; valid while the menu is shown
    std::shared_ptr<PopupMenuModel> submenu;  // an entry that opens a submenu
};

struct PopupMenuModel {
    std::vector<PopupMenuEntry> entries;
};

// Shows a menu tree modally and answers with the chosen entry's id.
class NativePopupMenu {
public:
    virtual ~NativePopupMenu() = default;
    // Opens the menu with its top-left corner at position (the frame window's client coordinates;
    // the implementation adds the window's screen origin) and returns once it is closed: the id of
    // the chosen entry, or nothing when the menu was dismissed (Escape, a click outside). With
    // rightButton the entries can also be chosen with the right button. Leaves no native object behind.
    virtual std::optional<int32_t> track(const PopupMenuModel& menu, const ViewPoint& position, bool rightButton) = 0;
};

// A pop-up menu chooser for the frame's window. Implemented once per platform.
std::unique_ptr<NativePopupMenu> createNativePopupMenu(CFrame& frame);

}  // namespace Toolkit
