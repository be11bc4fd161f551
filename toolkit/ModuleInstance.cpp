#include "ModuleInstance.h"

namespace {
void* loadedModule = nullptr;
}

void* moduleInstance() { return loadedModule; }

void setModuleInstance(void* instance) { loadedModule = instance; }
