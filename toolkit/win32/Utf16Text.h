#pragma once

// Conversions between the toolkit's UTF-8 texts and the UTF-16 texts of the Windows controls.

#include <windows.h>

#include <string>
#include <string_view>

namespace Toolkit {

// The UTF-16 form of text, cut to at most limit units without splitting a surrogate pair.
inline std::wstring utf16FromUtf8(std::string_view text, size_t limit = std::wstring::npos) {
    std::wstring wide;
    if (text.empty()) return wide;
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) return wide;
    wide.resize(size_t(length));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    if (wide.size() > limit) {
        size_t kept = limit;
        if (kept > 0 && IS_HIGH_SURROGATE(wide[kept - 1])) --kept;
        wide.resize(kept);
    }
    return wide;
}

inline std::string utf8FromUtf16(std::wstring_view text) {
    std::string narrow;
    if (text.empty()) return narrow;
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return narrow;
    narrow.resize(size_t(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

}  // namespace Toolkit
