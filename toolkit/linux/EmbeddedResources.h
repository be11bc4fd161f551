#pragma once

#include <cstddef>
#include <cstdint>

namespace Toolkit::Platform {

// Bytes of a bitmap resource compiled into the module (the same files the Windows build gives to
// its resource compiler); null data when the id is not there.
struct EmbeddedResource {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

EmbeddedResource embeddedResource(int32_t id);

}  // namespace Toolkit::Platform
