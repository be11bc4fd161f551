#include "CMenuItem.h"

#include "CBitmap.h"
#include "COptionMenu.h"

namespace Toolkit {

CMenuItem::CMenuItem(const char* title, int32_t flags) : titleText(title ? title : ""), itemFlags(flags) {}

CMenuItem::~CMenuItem() {
    if (subMenu) subMenu->release();
    if (iconBitmap) iconBitmap->release();
}

void CMenuItem::setTitle(const char* title) { titleText = title ? title : ""; }

void CMenuItem::setSubmenu(COptionMenu* submenu) {
    if (submenu) submenu->retain();
    if (subMenu) subMenu->release();
    subMenu = submenu;
}

void CMenuItem::setKey(const char* keyText, int32_t keyModifiers) {
    hasKey = keyText != nullptr;
    key = keyText ? keyText : "";
    modifiers = keyModifiers;
}

void CMenuItem::setEnabled(bool enabled) { setFlag(kDisabled, !enabled); }
void CMenuItem::setChecked(bool checked) { setFlag(kChecked, checked); }
void CMenuItem::setIsTitle(bool title) { setFlag(kTitle, title); }
void CMenuItem::setIsSeparator(bool separator) { setFlag(kSeparator, separator); }

void CMenuItem::setIcon(CBitmap* icon) {
    if (icon) icon->retain();
    if (iconBitmap) iconBitmap->release();
    iconBitmap = icon;
}

}  // namespace Toolkit
