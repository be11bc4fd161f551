#pragma once

#include <cstdint>
#include <string>

#include "CBaseObject.h"

namespace Toolkit {

class CBitmap;
class COptionMenu;

// One entry of an option menu: a title, or a separator, with flags and optionally a submenu or icon.
class CMenuItem : public CBaseObject {
public:
    enum Flags : int32_t { kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

    explicit CMenuItem(const char* title, int32_t flags = 0);
    ~CMenuItem() override;

    virtual void setTitle(const char* title);
    // Holds one reference to the submenu.
    virtual void setSubmenu(COptionMenu* submenu);
    virtual void setKey(const char* keyText, int32_t modifiers = 0);
    virtual void setEnabled(bool enabled);
    virtual void setChecked(bool checked);
    virtual void setIsTitle(bool title);
    virtual void setIsSeparator(bool separator);
    // Holds one reference to the icon.
    virtual void setIcon(CBitmap* icon);

    const char* title() const { return titleText.c_str(); }
    const char* keyText() const { return hasKey ? key.c_str() : nullptr; }
    int32_t keyModifiers() const { return modifiers; }
    COptionMenu* submenu() const { return subMenu; }
    CBitmap* icon() const { return iconBitmap; }
    int32_t flags() const { return itemFlags; }
    bool isEnabled() const { return !(itemFlags & kDisabled); }
    bool isChecked() const { return (itemFlags & kChecked) != 0; }
    bool isTitle() const { return (itemFlags & kTitle) != 0; }
    bool isSeparator() const { return (itemFlags & kSeparator) != 0; }

private:
    void setFlag(int32_t flag, bool on) { itemFlags = on ? itemFlags | flag : itemFlags & ~flag; }

    std::string titleText;
    std::string key;
    bool hasKey = false;
    COptionMenu* subMenu = nullptr;
    CBitmap* iconBitmap = nullptr;
    int32_t itemFlags;
    int32_t modifiers = 0;
};

}  // namespace Toolkit
