// The option menu's native pop-up on Windows: a menu tree built for one showing, tracked modally
// over the frame window and destroyed with every icon bitmap once it closes.
#include "NativePopupMenu.h"

#include <windows.h>

#include <vector>

#include "CBitmap.h"
#include "CFrame.h"
#include "PlatformGraphics.h"
#include "Utf16Text.h"

namespace Toolkit {

namespace {

// A 32-bit top-down bitmap of the icon with premultiplied alpha, as menus draw item bitmaps.
HBITMAP menuBitmapOf(CBitmap& icon) {
    Platform::Image* image = icon.platformImage();
    if (!image || image->width() <= 0 || image->height() <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image->width();
    info.bmiHeader.biHeight = -image->height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int32_t y = 0; y < image->height(); ++y)
        for (int32_t x = 0; x < image->width(); ++x) {
            const ViewColor c = image->pixel(x, y);
            auto premultiplied = [&c](uint8_t channel) { return uint32_t(channel * c.alpha / 255); };
            *pixels++ = uint32_t(c.alpha) << 24 | premultiplied(c.red) << 16 | premultiplied(c.green) << 8 |
                        premultiplied(c.blue);
        }
    return bitmap;
}

// One showing's native menus: the root owns its submenus once they are attached. The icon bitmaps,
// which menus never delete themselves, go first, then the menus.
class MenuTree {
public:
    ~MenuTree() {
        for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
        if (root) DestroyMenu(root);
    }

    // Builds the tree; false when a native call failed.
    bool build(const PopupMenuModel& model) {
        root = buildMenu(model);
        return root != nullptr;
    }
    HMENU handle() const { return root; }

private:
    HMENU buildMenu(const PopupMenuModel& model) {
        HMENU menu = CreatePopupMenu();
        if (!menu) return nullptr;
        for (const PopupMenuEntry& entry : model.entries)
            if (!append(menu, entry)) {
                DestroyMenu(menu);
                return nullptr;
            }
        return menu;
    }

    bool append(HMENU menu, const PopupMenuEntry& entry) {
        if (entry.separator) return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const std::wstring title = utf16FromUtf8(entry.title);
        UINT flags = MF_STRING | (entry.columnBreak ? MF_MENUBARBREAK : 0);
        UINT_PTR item = UINT_PTR(entry.id);
        HMENU submenu = nullptr;
        if (entry.submenu) {
            submenu = buildMenu(*entry.submenu);
            if (!submenu) return false;
            flags |= MF_POPUP;
            item = reinterpret_cast<UINT_PTR>(submenu);
        } else {
            if (entry.grayed) flags |= MF_GRAYED;
            if (entry.inert) flags |= MF_DISABLED;
            if (entry.checked) flags |= MF_CHECKED;
        }
        if (!AppendMenuW(menu, flags, item, title.c_str())) {
            if (submenu) DestroyMenu(submenu);
            return false;
        }
        if (entry.icon) attachIcon(menu, *entry.icon);
        return true;
    }

    void attachIcon(HMENU menu, CBitmap& icon) {
        HBITMAP bitmap = menuBitmapOf(icon);
        if (!bitmap) return;
        bitmaps.push_back(bitmap);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = bitmap;
        SetMenuItemInfoW(menu, UINT(GetMenuItemCount(menu) - 1), TRUE, &info);
    }

    HMENU root = nullptr;
    std::vector<HBITMAP> bitmaps;
};

class WindowsPopupMenu final : public NativePopupMenu {
public:
    explicit WindowsPopupMenu(HWND window) : window(window) {}

    std::optional<int32_t> track(const PopupMenuModel& model, const ViewPoint& position, bool rightButton) override {
        MenuTree tree;
        if (!window || !tree.build(model)) return std::nullopt;
        RECT frameArea{};
        GetWindowRect(window, &frameArea);
        const UINT flags = rightButton ? TPM_RIGHTBUTTON : 0;
        if (!TrackPopupMenu(tree.handle(), flags, frameArea.left + position.x, frameArea.top + position.y, 0, window,
                            nullptr))
            return std::nullopt;
        // The choice arrives as a menu command posted to the owner window.
        MSG command;
        if (PeekMessageW(&command, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(command.wParam) == 0)
            return int32_t(LOWORD(command.wParam));
        return std::nullopt;
    }

private:
    HWND window;
};

}  // namespace

std::unique_ptr<NativePopupMenu> createNativePopupMenu(CFrame& frame) {
    return std::make_unique<WindowsPopupMenu>(static_cast<HWND>(frame.nativeWindow()));
}

}  // namespace Toolkit
