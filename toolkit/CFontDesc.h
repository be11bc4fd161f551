#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CBaseObject.h"

namespace Toolkit {

namespace Platform {
class Font;
}

// Style bits of a font.
enum FontStyle : int32_t { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4 };

// A font by family name, size in pixels and style bits; the platform font is made on first use.
class CFontDesc : public CBaseObject {
public:
    CFontDesc(const char* name, int32_t size, int32_t style = 0);
    ~CFontDesc() override;

    const char* name() const { return fontName.c_str(); }
    int32_t size() const { return fontSize; }
    int32_t style() const { return fontStyle; }

    // The platform font, created on first call; null when no font can be made.
    Platform::Font* platformFont();
    // Frees the platform font; the next use makes it again.
    void freePlatformFont();

private:
    std::string fontName;
    int32_t fontSize;
    int32_t fontStyle;
    std::unique_ptr<Platform::Font> font;
    bool creationTried = false;
};

// The fonts shared by the whole module, created at program start and released at program end.
enum class SharedFont : int32_t {
    Default12,    // "Arial" 12: default font of every drawing context
    Large18,      // "Arial" 18
    Medium14,     // "Arial" 14
    Control12,    // "Arial" 12: default font of value displays, text edits and menus
    Small11,      // "Arial" 11
    Smaller10,    // "Arial" 10
    Smallest9,    // "Arial" 9
    Symbol13,     // "Symbol" 13
};
constexpr int32_t kSharedFontCount = 8;

CFontDesc* sharedFont(SharedFont which);
// Frees the platform fonts of the shared fonts (before the graphics library shuts down).
void freeSharedPlatformFonts();

}  // namespace Toolkit
