#include "GDIPlusGlobals.h"

#include "CFontDesc.h"

namespace Toolkit {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
GDIPlusGlobals* instance = nullptr;
}

GDIPlusGlobals::GDIPlusGlobals() {
    GdiplusStartupInput input;
    started = GdiplusStartup(&token, &input, nullptr) == Ok;
}

GDIPlusGlobals::~GDIPlusGlobals() {
    freeSharedPlatformFonts();
    if (sansSerif) GdipDeleteFontFamily(sansSerif);
    if (started) GdiplusShutdown(token);
}

void GDIPlusGlobals::enter() {
    if (instance)
        instance->retain();
    else
        instance = new GDIPlusGlobals;
}

void GDIPlusGlobals::leave() {
    if (!instance) return;
    GDIPlusGlobals* holder = instance;
    if (holder->referenceCount() == 1) instance = nullptr;
    holder->release();
}

GpFontFamily* GDIPlusGlobals::genericSansSerif() {
    if (!instance) return nullptr;
    if (!instance->sansSerifFetched) {
        instance->sansSerifFetched = true;
        if (GdipGetGenericFontFamilySansSerif(&instance->sansSerif) != Ok) instance->sansSerif = nullptr;
    }
    return instance->sansSerif;
}

}  // namespace Toolkit
