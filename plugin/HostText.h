#pragma once

#include <cstddef>

// Texts that cross the host interface.
//
// Program names are UTF-8 inside the effect. Windows hosts pass and show texts in their ANSI code
// page, so names cross the host interface converted there; elsewhere hosts speak UTF-8 and names pass
// as they are. ASCII names are the same bytes either way. Both write at most size - 1 bytes of whole
// characters and clear the rest of the buffer.
void programNameFromHost(const char* hostText, char* utf8, std::size_t size);
void programNameToHost(const char* utf8, char* hostText, std::size_t size);

// A number as the host interface's texts write it (float2string): eight character positions (sign,
// digits and point together), truncated rather than rounded; "NaN", and "Huge!" where the digits do
// not fit. Writes at most maxLen characters and clears the rest of the field up to text[maxLen].
void numberToHost(float value, char* text, int maxLen);
