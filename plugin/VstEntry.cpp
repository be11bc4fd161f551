#include <new>

#include "Korvel.h"

#if defined(_WIN32)
#define KORVEL_EXPORT __declspec(dllexport)
#else
#define KORVEL_EXPORT __attribute__((visibility("default")))
#endif

// The module's single entry: asks the host for its version, then creates one effect instance.
extern "C" KORVEL_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        Korvel* effect = new Korvel(audioMaster);
        return effect->getAeffect();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
