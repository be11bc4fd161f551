#pragma once

#include <cstdint>
#include <cstring>

// Copies at most maxLen characters of source, clears the rest of the field and always terminates at
// text[maxLen] (the caller's buffer holds maxLen + 1 bytes). A null text is left alone.
inline void copyText(char* text, const char* source, int maxLen) {
    if (!text || maxLen < 0) return;
    const std::size_t limit = static_cast<std::size_t>(maxLen);
    const std::size_t length = source ? strnlen(source, limit) : 0;
    if (length) std::memcpy(text, source, length);
    std::memset(text + length, 0, limit - length + 1);
}

// copyText for UTF-8: a text longer than maxLen bytes is cut before the character that does not fit
// whole.
inline void copyUtf8Text(char* text, const char* source, int maxLen) {
    if (!text || maxLen < 0) return;
    std::size_t length = source ? strnlen(source, static_cast<std::size_t>(maxLen)) : 0;
    if (length && source[length] != 0)
        while (length > 0 && (static_cast<std::uint8_t>(source[length]) & 0xc0) == 0x80) --length;
    std::memset(text, 0, static_cast<std::size_t>(maxLen) + 1);
    if (length) std::memcpy(text, source, length);
}
