#pragma once

#include <cstdint>

namespace Toolkit {
// The items of a drag: file names or text, handed on as UTF-8.
class CDragContainer {
public:
    enum class ItemType { File, Text, Unknown };
    virtual ~CDragContainer() = default;
    virtual int32_t count() const = 0;
    // The item's UTF-8 text and type; nullptr when index is out of range.
    virtual const char* item(int32_t index, ItemType& type) = 0;
};
}  // namespace Toolkit
