#include <windows.h>

#include "ModuleInstance.h"

// The module's load-time entry: remembers the instance handle for resource loading.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) setModuleInstance(instance);
    return TRUE;
}
