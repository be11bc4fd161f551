#include <windows.h>

#include <string>

#include "ExecutablePath.h"

Expected<std::filesystem::path> executablePath() {
    // The buffer grows until the whole path fits: paths may be longer than MAX_PATH.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return Failure{"GetModuleFileNameW failed with error " + std::to_string(GetLastError())};
        if (length < buffer.size()) return std::filesystem::path(buffer.substr(0, length));
        buffer.resize(buffer.size() * 2);
    }
}
