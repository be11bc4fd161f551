#pragma once

#include <windows.h>

#include <gdiplus.h>

#include "CBaseObject.h"

namespace Toolkit {

// Keeps GDI+ started while any drawing context or bitmap exists: the first user creates and starts
// it, the last release frees the shared fonts' platform fonts and shuts the library down.
class GDIPlusGlobals : public CBaseObject {
public:
    static void enter();
    static void leave();
    // The generic sans-serif family, fetched once per process run of the library; null when missing.
    static Gdiplus::GpFontFamily* genericSansSerif();

private:
    GDIPlusGlobals();
    ~GDIPlusGlobals() override;

    ULONG_PTR token = 0;
    bool started = false;
    bool sansSerifFetched = false;
    Gdiplus::GpFontFamily* sansSerif = nullptr;
};

}  // namespace Toolkit
