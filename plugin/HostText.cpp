#include "HostText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "TextLimits.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

#if defined(_WIN32)
bool isAscii(const char* text) {
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80) return false;
    return true;
}

std::wstring wideFrom(UINT codePage, const char* text) {
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 1) return {};
    std::wstring wide(size_t(units), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), units);
    wide.resize(size_t(units - 1));
    return wide;
}

// The longest start of wide that fits into size - 1 bytes of codePage, whole characters only.
std::string narrowFitting(UINT codePage, const std::wstring& wide, std::size_t size) {
    for (size_t count = wide.size(); count > 0; --count) {
        if (count < wide.size() && IS_LOW_SURROGATE(wide[count])) continue;  // not inside a pair
        const int bytes = WideCharToMultiByte(codePage, 0, wide.data(), int(count), nullptr, 0, nullptr, nullptr);
        if (bytes <= 0 || size_t(bytes) >= size) continue;
        std::string narrow(size_t(bytes), '\0');
        WideCharToMultiByte(codePage, 0, wide.data(), int(count), narrow.data(), bytes, nullptr, nullptr);
        return narrow;
    }
    return {};
}

void copyWhole(const char* text, char* out, std::size_t size) {
    std::memset(out, 0, size);
    std::memcpy(out, text, std::min(std::strlen(text), size - 1));
}
#endif

}  // namespace

namespace {

// A program name from one side of the host interface to the other: UTF-8 to the host's text or back.
void crossName(const char* from, char* to, std::size_t size, [[maybe_unused]] bool toHost) {
    if (!size) return;
#if defined(_WIN32)
    if (!isAscii(from)) {
        const UINT fromPage = toHost ? CP_UTF8 : CP_ACP;
        const UINT toPage = toHost ? CP_ACP : CP_UTF8;
        copyWhole(narrowFitting(toPage, wideFrom(fromPage, from), size).c_str(), to, size);
        return;
    }
#endif
    copyUtf8Text(to, from, int(size - 1));
}

}  // namespace

void programNameFromHost(const char* hostText, char* utf8, std::size_t size) { crossName(hostText, utf8, size, false); }

void programNameToHost(const char* utf8, char* hostText, std::size_t size) { crossName(utf8, hostText, size, true); }

void numberToHost(float value, char* text, int maxLen) {
    constexpr int kPositions = 8;
    // Not a number has no digits to show; infinities are "Huge!" like every magnitude beyond the field.
    if (std::isnan(value)) return copyText(text, "NaN", maxLen);
    double magnitude = value;
    bool negative = false;
    if (magnitude < 0.0) {
        negative = true;
        magnitude = -magnitude;
        if (magnitude > 9999999.0) return copyText(text, "Huge!", maxLen);
    } else if (magnitude > 99999999.0) {
        return copyText(text, "Huge!", maxLen);
    }

    // Integer digits, emitted from the right into the end of `buffer`.
    char buffer[32];
    char* start = buffer + sizeof buffer - 1;
    *start = 0;
    int count = negative ? 1 : 0;
    long long integ = static_cast<long long>(std::floor(magnitude));
    *--start = '.';
    *--start = static_cast<char>('0' + integ % 10);
    count += 2;
    while (integ / 10 >= 1 && count < kPositions) {
        integ /= 10;
        *--start = static_cast<char>('0' + integ % 10);
        ++count;
    }
    if (negative) *--start = '-';

    char rendered[40];
    std::strcpy(rendered, start);
    if (count < kPositions) {
        const int fractionDigits = kPositions - count;
        double m = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionDigits);
        char fraction[kPositions + 1];
        fraction[fractionDigits] = 0;
        for (int i = fractionDigits - 1; i >= 0; --i) {
            fraction[i] = m <= 0.0 ? '0' : static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
            m /= 10.0;
        }
        std::strcat(rendered, fraction);
    }
    copyText(text, rendered, maxLen);
}
