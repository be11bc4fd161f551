// A test module that exports its entry only under the old name "main" and creates no effect, as a
// module does when its host is refused or its memory cannot be obtained.

#include "VstInterface.h"

extern "C" __attribute__((visibility("default"))) AEffect* entryNamedMain(audioMasterCallback) __asm__("main");

extern "C" AEffect* entryNamedMain(audioMasterCallback) { return nullptr; }
