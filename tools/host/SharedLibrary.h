#pragma once

// A dynamically loaded library. The platform's loader sits behind this small interface: the POSIX
// implementation (dlopen) lives in SharedLibraryPosix.cpp; a Windows build provides the same
// operations on LoadLibraryW / GetProcAddress / FreeLibrary in SharedLibraryWindows.cpp.

#include <filesystem>
#include <memory>

#include "Outcome.h"

class SharedLibrary {
public:
    // Loads the library at `path`, resolving all its symbols now.
    static Expected<std::unique_ptr<SharedLibrary>> open(const std::filesystem::path& path);

    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The address of the exported symbol `name`, or null when the library does not export it.
    void* symbol(const char* name) const;

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}

    void* handle_;
};
