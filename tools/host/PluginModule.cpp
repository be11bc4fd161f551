#include "PluginModule.h"

Expected<PluginModule> PluginModule::load(const std::filesystem::path& path) {
    Expected<std::unique_ptr<SharedLibrary>> library = SharedLibrary::open(path);
    if (!library) return library.failure();
    void* entry = library.value()->symbol("VSTPluginMain");
    if (!entry) entry = library.value()->symbol("main");
    if (!entry) return Failure{"module " + path.string() + " exports neither VSTPluginMain nor main"};
    return PluginModule(path, std::move(library.value()), reinterpret_cast<EntryPoint>(entry));
}
