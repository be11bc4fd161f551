#include "CFontDesc.h"

#include "PlatformGraphics.h"

namespace Toolkit {

CFontDesc::CFontDesc(const char* name, int32_t size, int32_t style)
    : fontName(name ? name : ""), fontSize(size), fontStyle(style) {}

CFontDesc::~CFontDesc() = default;

Platform::Font* CFontDesc::platformFont() {
    if (!font && !creationTried) {
        creationTried = true;
        font = Platform::createFont(fontName.c_str(), fontSize, fontStyle & (kFontBold | kFontItalic | kFontUnderline));
    }
    return font.get();
}

void CFontDesc::freePlatformFont() {
    font.reset();
    creationTried = false;
}

namespace {

class SharedFonts {
public:
    SharedFonts()
        : fonts{new CFontDesc("Arial", 12), new CFontDesc("Arial", 18), new CFontDesc("Arial", 14),
                new CFontDesc("Arial", 12), new CFontDesc("Arial", 11), new CFontDesc("Arial", 10),
                new CFontDesc("Arial", 9),  new CFontDesc("Symbol", 13)} {}
    ~SharedFonts() {
        for (CFontDesc*& font : fonts) {
            font->release();
            font = nullptr;
        }
    }
    CFontDesc* operator[](SharedFont which) { return fonts[static_cast<int32_t>(which)]; }
    void freePlatformFonts() {
        for (CFontDesc* font : fonts)
            if (font) font->freePlatformFont();
    }

private:
    CFontDesc* fonts[kSharedFontCount];
};

SharedFonts& sharedFonts() {
    static SharedFonts fonts;
    return fonts;
}

// Made while the module starts, so they exist before any view does.
[[maybe_unused]] const bool sharedFontsMade = (sharedFonts(), true);

}  // namespace

CFontDesc* sharedFont(SharedFont which) { return sharedFonts()[which]; }

void freeSharedPlatformFonts() { sharedFonts().freePlatformFonts(); }

}  // namespace Toolkit
