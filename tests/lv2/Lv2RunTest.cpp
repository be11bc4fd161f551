// The LV2 plug-ins driven the way a host drives them: the binary loaded with dlopen, every call made
// through the descriptor that lv2_descriptor returns.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Lv2Ports.h"

using namespace Parameters;

namespace {

constexpr double kRate = 44100.0;

const LV2_Descriptor* findDescriptor(const std::string& uri) {
    static void* library = dlopen(KORVEL_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    const auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    for (uint32_t index = 0; entry && entry(index); ++index)
        if (uri == entry(index)->URI) return entry(index);
    return nullptr;
}

// A test signal: a few partials per channel, loud enough to drive the stage.
std::vector<float> partials(int channel, int frames) {
    std::vector<float> samples(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = i / kRate;
        samples[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * (110.0 + 55.0 * channel) * t) +
                                        0.2 * std::sin(2 * M_PI * 2750.0 * t + channel));
    }
    return samples;
}

// One instance with its control values and audio buffers, as a host keeps them.
class Instance {
public:
    explicit Instance(const Lv2::Variant& variant) : variant_(variant) {
        descriptor_ = findDescriptor(variant.uri);
        if (!descriptor_) return;
        handle_ = descriptor_->instantiate(descriptor_, kRate, KORVEL_LV2_BUNDLE, features_);
        for (int index = 0; index < Lv2::kControlPorts; ++index) {
            controls_[index] = Lv2::portDefault(index);
            descriptor_->connect_port(handle_, index, &controls_[index]);
        }
    }
    ~Instance() {
        if (handle_) descriptor_->cleanup(handle_);
    }
    bool valid() const { return handle_ != nullptr; }
    float& control(int index) { return controls_[index]; }
    void activate() { descriptor_->activate(handle_); }
    void deactivate() { descriptor_->deactivate(handle_); }

    // Runs a block of no frames with the audio ports on `buffers`.
    void runNothing(std::vector<std::vector<float>>& buffers) {
        for (int channel = 0; channel < variant_.channels; ++channel) {
            descriptor_->connect_port(handle_, Lv2::inputPort(channel), buffers[channel].data());
            descriptor_->connect_port(handle_, Lv2::outputPort(variant_, channel), buffers[channel].data());
        }
        descriptor_->run(handle_, 0);
    }

    // Runs `in` (one vector per channel) through in blocks of the given lengths (not all 0),
    // repeated until all is played; `inPlace` hands the host's output buffers as the inputs too.
    std::vector<std::vector<float>> play(const std::vector<std::vector<float>>& in, std::vector<int> lengths,
                                         bool inPlace = false) {
        const int frames = static_cast<int>(in[0].size());
        std::vector<std::vector<float>> out(variant_.channels, std::vector<float>(frames));
        if (inPlace) out = in;
        for (int done = 0, next = 0; done < frames; next = (next + 1) % static_cast<int>(lengths.size())) {
            const int length = std::min(lengths[next], frames - done);
            for (int channel = 0; channel < variant_.channels; ++channel) {
                const float* input = inPlace ? out[channel].data() : in[channel].data();
                descriptor_->connect_port(handle_, Lv2::inputPort(channel), const_cast<float*>(input + done));
                descriptor_->connect_port(handle_, Lv2::outputPort(variant_, channel), out[channel].data() + done);
            }
            descriptor_->run(handle_, length);
            done += length;
        }
        return out;
    }

private:
    const Lv2::Variant& variant_;
    const LV2_Descriptor* descriptor_ = nullptr;
    LV2_Handle handle_ = nullptr;
    const LV2_Feature* features_[1] = {nullptr};
    float controls_[Lv2::kControlPorts] = {};
};

std::vector<std::vector<float>> testSignal(const Lv2::Variant& variant, int frames) {
    std::vector<std::vector<float>> in;
    for (int channel = 0; channel < variant.channels; ++channel) in.push_back(partials(channel, frames));
    return in;
}

float largestDifference(const std::vector<std::vector<float>>& a, const std::vector<std::vector<float>>& b) {
    float largest = 0.0f;
    for (std::size_t channel = 0; channel < a.size(); ++channel)
        for (std::size_t i = 0; i < a[channel].size(); ++i)
            largest = std::max(largest, std::abs(a[channel][i] - b[channel][i]));
    return largest;
}

bool allFinite(const std::vector<std::vector<float>>& a) {
    for (const auto& channel : a)
        if (!std::all_of(channel.begin(), channel.end(), [](float x) { return std::isfinite(x); })) return false;
    return true;
}

class Lv2Run : public testing::TestWithParam<int> {
protected:
    const Lv2::Variant& variant() const { return Lv2::kVariants[GetParam()]; }
};

TEST_P(Lv2Run, ZeroFrameBlocksWriteNothingAndChangeNothingHeard) {
    const auto in = testSignal(variant(), 4096);
    Instance whole(variant()), split(variant());
    ASSERT_TRUE(whole.valid());
    whole.activate();
    split.activate();
    std::vector<std::vector<float>> marked(variant().channels, std::vector<float>(16, 123.0f));
    auto buffers = marked;
    split.runNothing(buffers);
    EXPECT_EQ(buffers, marked);
    EXPECT_EQ(largestDifference(whole.play(in, {4096}), split.play(in, {1000, 0, 3096})), 0.0f);
}

// Blocks of any length, in place or not, give what one long block gives (longer than the chain holds).
TEST_P(Lv2Run, BlockLengthsAndInPlaceBuffersDoNotChangeTheSound) {
    const auto in = testSignal(variant(), 20000);
    Instance whole(variant());
    ASSERT_TRUE(whole.valid());
    whole.activate();
    const auto reference = whole.play(in, {20000});
    ASSERT_TRUE(allFinite(reference));

    struct Case {
        std::vector<int> lengths;
        bool inPlace;
    };
    for (const Case& c : {Case{{1, 7, 333, 4097, 9001}, false}, Case{{511, 2}, true}, Case{{20000}, true}}) {
        Instance pieces(variant());
        pieces.activate();
        EXPECT_EQ(largestDifference(reference, pieces.play(in, c.lengths, c.inPlace)), 0.0f)
            << "first length " << c.lengths[0] << (c.inPlace ? ", in place" : "");
    }
}

// A control value that is not finite is ignored (the last good one stays), one out of range clamped.
TEST_P(Lv2Run, BadControlValuesNeverReachTheChain) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Case {
        int port;
        float before, bad, equivalent;
    };
    const Case cases[] = {
        {kDrive, 0.5f, kNaN, 0.5f},
        {kBias, 0.2f, -kInf, 0.2f},
        {kVolume, -6.0f, kInf, -6.0f},
        {kVolume, -6.0f, 1e9f, 20.0f},
        {kLoFreq, 3.0f, -100.0f, -12.0f},
        {kDrive, 0.5f, 7.0f, 1.0f},
        {kOversample, 2.0f, kNaN, 2.0f},
        {kOversample, 2.0f, 1e9f, 16.0f},
        {kOversample, 4.0f, 5.0f, 4.0f},
    };
    const auto in = testSignal(variant(), 2048);
    for (const Case& c : cases) {
        Instance bad(variant()), good(variant());
        ASSERT_TRUE(bad.valid());
        for (Instance* instance : {&bad, &good}) {
            instance->control(c.port) = c.before;
            instance->activate();
            instance->play(in, {1024});
        }
        bad.control(c.port) = c.bad;
        good.control(c.port) = c.equivalent;
        const auto heard = bad.play(in, {512});
        EXPECT_TRUE(allFinite(heard)) << "port " << c.port << " value " << c.bad;
        EXPECT_EQ(largestDifference(heard, good.play(in, {512})), 0.0f) << "port " << c.port << " value " << c.bad;
    }
}

// Deactivated, given new settings and activated again, the plug-in starts from rest at them, as a
// fresh instance does, and not from where it stopped.
TEST_P(Lv2Run, ReactivatedItStartsFromRestAtTheSettingsOfItsFirstBlock) {
    auto in = testSignal(variant(), 4096);
    for (auto& channel : in) std::fill(channel.begin() + 2048, channel.end(), 0.0f);  // ends in silence
    Instance again(variant()), fresh(variant());
    ASSERT_TRUE(again.valid());
    again.control(kDrive) = 0.0f;
    again.control(kBias) = 0.0f;
    again.activate();
    again.play(in, {512});
    again.deactivate();
    for (Instance* instance : {&again, &fresh}) {
        instance->control(kDrive) = 1.0f;
        instance->control(kBias) = 1.0f;
        instance->control(kOversample) = 4.0f;
    }
    again.activate();
    fresh.activate();
    const auto heard = again.play(in, {512});
    EXPECT_TRUE(allFinite(heard));
    EXPECT_EQ(largestDifference(heard, fresh.play(in, {512})), 0.0f);
}

// Mono, stereo and the widest: quadro takes no path of its own.
INSTANTIATE_TEST_SUITE_P(Variants, Lv2Run, testing::Values(0, 1, Lv2::kVariantCount - 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(Lv2::kVariants[info.param].channels) + "Channels";
                         });

}  // namespace
