#pragma once

// The handle of the loaded plug-in module, recorded when the system loads it; the editor loads its
// bitmap resources from it. Null where the platform has no such handle.
void* moduleInstance();
void setModuleInstance(void* instance);
