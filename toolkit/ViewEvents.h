#pragma once

// Values that travel with pointer, wheel and key events through the view tree.

#include <cstdint>

namespace Toolkit {

// Buttons and modifiers held during a pointer event, as bits.
using ButtonState = int32_t;
constexpr ButtonState kLButton = 2;
constexpr ButtonState kMButton = 4;
constexpr ButtonState kRButton = 8;
constexpr ButtonState kShift = 16;
constexpr ButtonState kControl = 32;
constexpr ButtonState kAlt = 64;
// Never set by the platform layers; some views still test for it.
constexpr ButtonState kButtonReserved = 128;
constexpr ButtonState kButton4 = 256;
constexpr ButtonState kButton5 = 512;
constexpr ButtonState kDoubleClick = 1024;

// A view's answer to a pointer event.
enum MouseResult : int32_t {
    kMouseNotImplemented = 0,
    // Handled; the view wants the following moves and the release.
    kMouseHandled = 1,
    kMouseNotHandled = 2,
    // Handled, and the press completed the action: no moves or release wanted.
    kMouseHandledDone = 3,
};

enum WheelAxis : int32_t { kWheelHorizontal = 0, kWheelVertical = 1 };

// Pointer shapes a view can ask the frame for.
enum CursorKind : int32_t {
    kCursorDefault = 0,
    kCursorWait = 1,
    kCursorSizeWestEast = 2,
    kCursorSizeNorthSouth = 3,
    kCursorSizeAll = 4,
    kCursorSizeNorthEastSouthWest = 5,
    kCursorSizeNorthWestSouthEast = 6,
    // Shows the default cursor as well.
    kCursorPlain = 7,
    kCursorNotAllowed = 8,
    kCursorHand = 9,
};

// A key as the host reports it: the character, a virtual key code for keys without one, and
// modifier bits. Same layout as the host interface's key record, so the editor can pass it through.
struct KeyCode {
    int32_t character = 0;
    uint8_t virt = 0;
    uint8_t modifier = 0;
};

// Virtual key codes the toolkit's views react to.
constexpr uint8_t kVirtualKeyTab = 2;
constexpr uint8_t kVirtualKeyLeft = 11;
constexpr uint8_t kVirtualKeyUp = 12;
constexpr uint8_t kVirtualKeyRight = 13;
constexpr uint8_t kVirtualKeyDown = 14;

// Modifier bits of a key code.
constexpr uint8_t kModifierShift = 1;

// Answer of a key handler that did not take the key.
constexpr int32_t kKeyNotHandled = -1;

}  // namespace Toolkit
