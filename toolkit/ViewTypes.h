#pragma once

#include <algorithm>
#include <cstdint>

namespace Toolkit {

// A point in view or window pixels.
struct ViewPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr ViewPoint() = default;
    constexpr ViewPoint(int32_t x, int32_t y) : x(x), y(y) {}

    constexpr ViewPoint operator+(const ViewPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr ViewPoint operator-(const ViewPoint& other) const { return {x - other.x, y - other.y}; }
    constexpr bool operator==(const ViewPoint&) const = default;
};

// A rectangle in pixels; right and bottom lie one past the last pixel, so width = right - left.
struct ViewRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr ViewRect() = default;
    constexpr ViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    // The rectangle of the given size with its top-left corner at the point.
    static constexpr ViewRect fromSize(const ViewPoint& origin, int32_t width, int32_t height) {
        return {origin.x, origin.y, origin.x + width, origin.y + height};
    }

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr ViewPoint topLeft() const { return {left, top}; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }

    constexpr ViewRect offsetBy(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr ViewRect offsetBy(const ViewPoint& delta) const { return offsetBy(delta.x, delta.y); }
    // The common part; empty (right <= left or bottom <= top) when the two do not meet.
    constexpr ViewRect intersection(const ViewRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    // Edges count as inside, as for pointer hits.
    constexpr bool containsInclusive(const ViewPoint& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    constexpr bool operator==(const ViewRect&) const = default;
};

// A colour with straight (not premultiplied) alpha; in memory red, green, blue, alpha.
struct ViewColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr ViewColor() = default;
    constexpr ViewColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
        : red(red), green(green), blue(blue), alpha(alpha) {}
    // The 32-bit value alpha << 24 | red << 16 | green << 8 | blue.
    constexpr uint32_t argb() const {
        return uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
    }
    static constexpr ViewColor fromArgb(uint32_t value) {
        return {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), uint8_t(value >> 24)};
    }
    constexpr bool operator==(const ViewColor&) const = default;
};

}  // namespace Toolkit
