// A mono valve-stage plug-in from Debian's zam-plugins (its LADSPA build, no oversampling), run on the
// same noise in the same 512-frame blocks at 44.1 kHz, one instance per channel: a scale for
// BM_ProcessReplacing. Items are channel-frames, as there.
//
// Run in one go with Korvel's figures:
//   build/default/bench/korvel_bench --benchmark_filter='Peer|ProcessReplacing/oversample:3/channels:2$'
// (tools/install-deps.sh bench installs the plug-in and the header this needs.)

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <ladspa.h>

#include <random>
#include <vector>

namespace {

constexpr int kFrames = 512;
constexpr const char* kPeerPath = "/usr/lib/ladspa/ZamTube-ladspa.so";

// A control port's default as its hints give it (linear ranges).
LADSPA_Data defaultOf(const LADSPA_PortRangeHint& hint) {
    const LADSPA_PortRangeHintDescriptor d = hint.HintDescriptor;
    const float low = hint.LowerBound, high = hint.UpperBound;
    if (LADSPA_IS_HINT_DEFAULT_MINIMUM(d)) return low;
    if (LADSPA_IS_HINT_DEFAULT_LOW(d)) return 0.75f * low + 0.25f * high;
    if (LADSPA_IS_HINT_DEFAULT_MIDDLE(d)) return 0.5f * (low + high);
    if (LADSPA_IS_HINT_DEFAULT_HIGH(d)) return 0.25f * low + 0.75f * high;
    if (LADSPA_IS_HINT_DEFAULT_MAXIMUM(d)) return high;
    if (LADSPA_IS_HINT_DEFAULT_1(d)) return 1.0f;
    if (LADSPA_IS_HINT_DEFAULT_100(d)) return 100.0f;
    if (LADSPA_IS_HINT_DEFAULT_440(d)) return 440.0f;
    return LADSPA_IS_HINT_BOUNDED_BELOW(d) ? low : 0.0f;
}

void BM_PeerValveStage(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    void* library = dlopen(kPeerPath, RTLD_NOW | RTLD_LOCAL);
    const auto descriptorOf = library ? reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(library, "ladspa_descriptor")) : nullptr;
    const LADSPA_Descriptor* descriptor = descriptorOf ? descriptorOf(0) : nullptr;
    if (!descriptor) {
        state.SkipWithError("the peer plug-in is not installed (tools/install-deps.sh bench)");
        if (library) dlclose(library);
        return;
    }

    std::mt19937 random{7u};
    std::uniform_real_distribution<float> unit{-0.3f, 0.3f};
    std::vector<std::vector<float>> input(channels, std::vector<float>(kFrames)), output = input;
    for (auto& channel : input)
        for (float& sample : channel) sample = unit(random);
    std::vector<LADSPA_Data> controls(descriptor->PortCount, 0.0f);
    std::vector<LADSPA_Handle> instances;
    for (int channel = 0; channel < channels; ++channel) {
        LADSPA_Handle instance = descriptor->instantiate(descriptor, 44100);
        bool audioInput = true;
        for (unsigned long port = 0; port < descriptor->PortCount; ++port) {
            const LADSPA_PortDescriptor kind = descriptor->PortDescriptors[port];
            if (LADSPA_IS_PORT_AUDIO(kind)) {
                float* buffer = LADSPA_IS_PORT_INPUT(kind) && audioInput ? input[channel].data() : output[channel].data();
                audioInput = audioInput && !LADSPA_IS_PORT_INPUT(kind);
                descriptor->connect_port(instance, port, buffer);
            } else {
                controls[port] = defaultOf(descriptor->PortRangeHints[port]);
                descriptor->connect_port(instance, port, &controls[port]);
            }
        }
        if (descriptor->activate) descriptor->activate(instance);
        instances.push_back(instance);
    }
    for (auto _ : state) {
        for (LADSPA_Handle instance : instances) descriptor->run(instance, kFrames);
        benchmark::DoNotOptimize(output[0][0]);
    }
    for (LADSPA_Handle instance : instances) {
        if (descriptor->deactivate) descriptor->deactivate(instance);
        descriptor->cleanup(instance);
    }
    dlclose(library);
    state.SetItemsProcessed(state.iterations() * kFrames * channels);
}
BENCHMARK(BM_PeerValveStage)->Arg(2)->ArgName("channels")->Unit(benchmark::kMicrosecond);

}  // namespace
