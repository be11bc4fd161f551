#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ViewTypes.h"

namespace Toolkit {

class CFrame;

// The most characters a text field keeps (UTF-16 units in the native control, bytes in its text).
constexpr int32_t kTextEntryMaxCharacters = 255;

// What a native single-line entry tells the text field that opened it. Both calls may destroy the
// entry (the field closes it in response): an implementation must not touch itself after a call
// returns, other than to pass the triggering event on to the system if the entry still exists.
class NativeTextEntryClient {
public:
    virtual ~NativeTextEntryClient() = default;
    // Enter was pressed; the key is passed on to the system after this returns.
    virtual void nativeEntryReturnPressed() = 0;
    // The entry lost the keyboard focus (clicked elsewhere, another window activated).
    virtual void nativeEntryFocusLost() = 0;
    // Escape was pressed: the user abandons the entry.
    virtual void nativeEntryCancelled() = 0;
};

// How the entry is laid out; every value is computed by the text field.
struct NativeTextEntryLayout {
    ViewRect rect;                // in the frame window's client coordinates, edges as the entry is sized
    int32_t alignment = 1;        // 0 left, 2 right, anything else centred
    std::string fontName;         // UTF-8 family name
    int32_t fontHeight = 12;      // character height in pixels
    // The field's colours, for platforms that colour the entry themselves (the Windows frame window
    // asks the focus view through TextEntryColors instead).
    ViewColor fontColor{255, 255, 255, 255};
    ViewColor backColor{0, 0, 0, 255};
};

// A native single-line edit box shown over a text field while it is edited. It opens with the text
// all selected and the keyboard focus in it, accepts at most kTextEntryMaxCharacters characters
// and reports Enter, Escape and focus loss to its client.
// Destroying the object closes the native control without calling the client.
class NativeTextEntry {
public:
    virtual ~NativeTextEntry() = default;
    // The entry's current text in UTF-8 (at most kTextEntryMaxCharacters UTF-16 units of it).
    virtual std::string text() const = 0;
};

// Opens a native entry in the frame's window holding utf8Text (cut to the limit); null when the
// platform cannot make one. Implemented once per platform.
std::unique_ptr<NativeTextEntry> createNativeTextEntry(CFrame& frame, const NativeTextEntryLayout& layout,
                                                       const std::string& utf8Text, NativeTextEntryClient& client);

}  // namespace Toolkit
