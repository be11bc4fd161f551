#include <windows.h>

#include <string>

#include "SharedLibrary.h"

namespace {

// The system's description of `code`, e.g. "%1 is not a valid Win32 application" with the module's
// name in place of %1.
std::string describeError(DWORD code, const std::string& moduleName) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? std::string(buffer, length) : "";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    for (std::size_t at = text.find("%1"); at != std::string::npos; at = text.find("%1", at + moduleName.size()))
        text.replace(at, 2, moduleName);
    if (text.empty()) text = "unknown error";
    return text + " (error " + std::to_string(code) + ")";
}

}  // namespace

Expected<std::unique_ptr<SharedLibrary>> SharedLibrary::open(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return Failure{"no module file at " + path.string()};
    // An absolute path keeps the loader from searching for a bare file name; the altered search path
    // finds the module's own dependencies beside it.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    // A module that cannot be loaded must fail with an error code, not stop the renderer with a dialog.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE handle = LoadLibraryExW(absolute.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (!handle)
        return Failure{"cannot load module " + path.string() + ": " + describeError(code, path.filename().string())};
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}
