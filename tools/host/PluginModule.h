#pragma once

// A plug-in module loaded from disk, with its entry point found.

#include <filesystem>
#include <memory>

#include "Outcome.h"
#include "SharedLibrary.h"
#include "VstInterface.h"

class PluginModule {
public:
    using EntryPoint = AEffect* (*)(audioMasterCallback);

    // Loads the module and finds "VSTPluginMain", or "main" for modules that export only the old name.
    static Expected<PluginModule> load(const std::filesystem::path& path);

    EntryPoint entry() const { return entry_; }
    const std::filesystem::path& path() const { return path_; }
    // Shared with every instance, so the code stays mapped while an effect made from it lives.
    const std::shared_ptr<const SharedLibrary>& library() const { return library_; }

private:
    PluginModule(std::filesystem::path path, std::shared_ptr<const SharedLibrary> library, EntryPoint entry)
        : path_(std::move(path)), library_(std::move(library)), entry_(entry) {}

    std::filesystem::path path_;
    std::shared_ptr<const SharedLibrary> library_;
    EntryPoint entry_;
};
