#include "ModuleLocator.h"

#include <vector>

// Set by the build: the module's path relative to the renderer's folder, and its file name.
#ifndef KORVEL_MODULE_RELATIVE_PATH
#error "KORVEL_MODULE_RELATIVE_PATH must name the module relative to the renderer"
#endif
#ifndef KORVEL_MODULE_FILE_NAME
#error "KORVEL_MODULE_FILE_NAME must name the module file"
#endif

Expected<std::filesystem::path> defaultModulePath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return Failure{"cannot find the renderer's own folder (" + error.message() +
                       "); name the module with --module PATH"};
    const std::filesystem::path folder = self.parent_path();
    const std::vector<std::filesystem::path> candidates = {
        (folder / KORVEL_MODULE_RELATIVE_PATH).lexically_normal(),
        folder / KORVEL_MODULE_FILE_NAME,
    };
    std::string looked;
    for (const std::filesystem::path& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
        looked += (looked.empty() ? "" : ", ") + candidate.string();
    }
    return Failure{"no plug-in module found (looked for " + looked +
                   "); build the korvel target or name the module with --module PATH"};
}
