#include "ModuleLocator.h"

#include <vector>

#include "ExecutablePath.h"

// Set by the build: the module's path relative to the renderer's folder, and its file name.
#ifndef KORVEL_MODULE_RELATIVE_PATH
#error "KORVEL_MODULE_RELATIVE_PATH must name the module relative to the renderer"
#endif
#ifndef KORVEL_MODULE_FILE_NAME
#error "KORVEL_MODULE_FILE_NAME must name the module file"
#endif

Expected<std::filesystem::path> defaultModulePath() {
    const Expected<std::filesystem::path> self = executablePath();
    if (!self)
        return Failure{"cannot find the renderer's own folder (" + self.message() +
                       "); name the module with --module PATH"};
    const std::filesystem::path folder = self.value().parent_path();
    const std::vector<std::filesystem::path> candidates = {
        (folder / KORVEL_MODULE_RELATIVE_PATH).lexically_normal(),
        folder / KORVEL_MODULE_FILE_NAME,
    };
    std::string looked;
    std::error_code error;
    for (const std::filesystem::path& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
        looked += (looked.empty() ? "" : ", ") + candidate.string();
    }
    return Failure{"no plug-in module found (looked for " + looked +
                   "); build the korvel target or name the module with --module PATH"};
}
