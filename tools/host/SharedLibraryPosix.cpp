#include <dlfcn.h>

#include "SharedLibrary.h"

Expected<std::unique_ptr<SharedLibrary>> SharedLibrary::open(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return Failure{"no module file at " + path.string()};
    // An absolute path keeps dlopen from searching the library path for a bare file name.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    void* handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return Failure{"cannot load module " + path.string() + ": " + (reason ? reason : "unknown error")};
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::symbol(const char* name) const { return dlsym(handle_, name); }
