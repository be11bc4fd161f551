// Bitmap resources on Linux: the embedded BMP bytes decoded by stb_image into a cairo image.

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include <cstring>
#include <vector>

#include "EmbeddedResources.h"
#include "PlatformGraphics.h"

namespace Toolkit::Platform {

std::unique_ptr<Image> loadResourceImage(int32_t id, const char* name) {
    if (name) return nullptr;  // the build embeds resources by id only
    const EmbeddedResource resource = embeddedResource(id);
    if (!resource.data || resource.size > size_t(INT32_MAX)) return nullptr;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(resource.data, static_cast<int>(resource.size), &width, &height, &channels, 4);
    if (!rgba) return nullptr;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        const stbi_uc* p = rgba + 4 * i;
        const uint32_t alpha = p[3];
        auto premultiplied = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
        pixels[i] = alpha << 24 | premultiplied(p[0]) << 16 | premultiplied(p[1]) << 8 | premultiplied(p[2]);
    }
    stbi_image_free(rgba);
    return createImageFromPixels(width, height, pixels.data());
}

}  // namespace Toolkit::Platform
