// The LV2 entry: one descriptor for each channel layout of Lv2Ports.h.

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "Lv2Effect.h"

namespace {

// The largest block the host announces through its options, or 0 when it tells none.
int announcedBlockLength(const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (const LV2_Feature* const* feature = features; feature && *feature; ++feature) {
        if (std::strcmp((*feature)->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>((*feature)->data);
        if (std::strcmp((*feature)->URI, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>((*feature)->data);
    }
    if (!map || !options) return 0;
    const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
    const LV2_URID maxLength = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominalLength = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
    int length = 0;
    for (const LV2_Options_Option* option = options; option->key != 0; ++option) {
        if (option->type != intType || option->size != sizeof(int32_t) || !option->value) continue;
        if (option->key == maxLength || option->key == nominalLength)
            length = std::max(length, *static_cast<const int32_t*>(option->value));
    }
    return length;
}

template <int variant>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    if (!Lv2Effect::acceptsRate(rate)) return nullptr;
    try {
        return new Lv2Effect(Lv2::kVariants[variant], rate, announcedBlockLength(features));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Lv2Effect& effect(LV2_Handle handle) { return *static_cast<Lv2Effect*>(handle); }

void connectPort(LV2_Handle handle, uint32_t port, void* data) { effect(handle).connectPort(port, data); }
void activate(LV2_Handle handle) { effect(handle).activate(); }
void run(LV2_Handle handle, uint32_t frames) { effect(handle).run(frames); }
void deactivate(LV2_Handle handle) { effect(handle).deactivate(); }
void cleanup(LV2_Handle handle) { delete static_cast<Lv2Effect*>(handle); }
const void* extensionData(const char*) { return nullptr; }

template <int variant>
constexpr LV2_Descriptor describe() {
    return {Lv2::kVariants[variant].uri,
            instantiate<variant>,
            connectPort,
            activate,
            run,
            deactivate,
            cleanup,
            extensionData};
}

constexpr LV2_Descriptor kDescriptors[] = {describe<0>(), describe<1>(), describe<2>(), describe<3>()};
static_assert(std::size(kDescriptors) == Lv2::kVariantCount);

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < std::size(kDescriptors) ? &kDescriptors[index] : nullptr;
}
