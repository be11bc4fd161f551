#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "ParameterText.h"
#include "TestHost.h"

namespace {

std::string float2string(Korvel& effect, float value) {
    char text[16];
    std::fill(std::begin(text), std::end(text), '#');
    effect.float2string(value, text, kVstMaxParamStrLen);
    return text;
}

std::string dB2string(Korvel& effect, float value) {
    char text[16];
    effect.dB2string(value, text, kVstMaxParamStrLen);
    return text;
}

TEST(TextConversion, FloatRenderingTruncatesToEightPositions) {
    HostedEffect host;
    Korvel& effect = host.effect();
    EXPECT_EQ(float2string(effect, 0.5f), "0.500000");
    EXPECT_EQ(float2string(effect, 1.0f), "1.000000");
    EXPECT_EQ(float2string(effect, -6.5f), "-6.50000");
    EXPECT_EQ(float2string(effect, 0.667f), "0.666999");  // truncated, not rounded
    EXPECT_EQ(float2string(effect, -20.0f), "-20.0000");
    EXPECT_EQ(float2string(effect, 0.0f), "0.000000");
    EXPECT_EQ(float2string(effect, 1234567.0f), "1234567.");
    EXPECT_EQ(float2string(effect, 123456789.0f), "Huge!");
    EXPECT_EQ(float2string(effect, -10000000.0f), "Huge!");
    // Values without digits get a fixed word, never an undefined conversion.
    EXPECT_EQ(float2string(effect, std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(float2string(effect, std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(float2string(effect, -std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(dB2string(effect, std::numeric_limits<float>::infinity()), "Huge!");
}

TEST(TextConversion, DecibelsAndTheTerminatorAtMaxLen) {
    HostedEffect host;
    Korvel& effect = host.effect();
    EXPECT_EQ(dB2string(effect, 1.0f), "0.000000");
    EXPECT_EQ(dB2string(effect, 0.5f), "-6.02059");
    EXPECT_EQ(dB2string(effect, 0.0f), "-oo");
    EXPECT_EQ(dB2string(effect, -1.0f), "-oo");
    EXPECT_EQ(dB2string(effect, 10.0f), "20.00000");

    char text[8];
    std::fill(std::begin(text), std::end(text), '#');
    effect.float2string(0.5f, text, 3);
    EXPECT_STREQ(text, "0.5");
    EXPECT_EQ(text[4], '#');  // maxLen characters and a terminator, nothing beyond
    effect.float2string(0.5f, nullptr, 8);  // no buffer: nothing written
}

TEST(Parameters, NamesAndLabels) {
    HostedEffect host;
    const char* names[] = {"LoFreq", "MidFreq", "HiFreq", "Drive", "Bias", "Volume", "Oversample"};
    const char* labels[] = {"dB", "dB", "dB", "amount", "amount", "dB", "", ""};
    for (int index = 0; index < 7; ++index) EXPECT_EQ(host.text(effGetParamName, index), names[index]);
    for (int index = 0; index < 8; ++index) EXPECT_EQ(host.text(effGetParamLabel, index), labels[index]);
    // Channel mode and out-of-range indices have no name: the caller's buffer stays as it was.
    EXPECT_EQ(host.text(effGetParamName, 7), std::string(255, '#'));
    EXPECT_EQ(host.text(effGetParamName, 8), std::string(255, '#'));
    EXPECT_EQ(host.text(effGetParamLabel, 9), "");
}

TEST(Parameters, DisplayTexts) {
    HostedEffect host;
    auto display = [&](int index, float value) {
        host.setParameter(index, value);
        return host.text(effGetParamDisplay, index);
    };
    // Tone bands and Volume show the decibels they produce, as the editor's displays do.
    EXPECT_EQ(display(0, 0.5f), "0.0");
    EXPECT_EQ(display(1, 1.0f), "12.0");
    EXPECT_EQ(display(2, 0.0f), "-12.0");
    EXPECT_EQ(display(0, 0.25f), "-6.0");
    EXPECT_EQ(display(1, 0.52f), "0.5");
    EXPECT_EQ(display(5, 2.0f / 3.0f), "0.0");
    EXPECT_EQ(display(5, 0.667f), "0.0");
    EXPECT_EQ(display(5, 1.0f), "20.0");
    EXPECT_EQ(display(5, 0.5f), "-10.0");
    EXPECT_EQ(display(5, 0.001f), "-39.9");
    // Values beyond the range show what they do while that fits the eight characters.
    EXPECT_EQ(display(2, 1.7f), "28.8");
    EXPECT_EQ(display(5, -0.5f), "-oo");
    EXPECT_EQ(display(0, 1e6f), "Huge!");
    EXPECT_EQ(display(5, -1e6f), "-oo");
    EXPECT_EQ(display(3, 0.25f), "0.250000");
    EXPECT_EQ(display(4, 1.0f), "1.000000");
    EXPECT_EQ(display(5, 0.0f), "-oo");
    EXPECT_EQ(display(6, 0.6f), "8x");
    EXPECT_EQ(display(6, 1.0f), "16x");
    EXPECT_EQ(display(6, 0.19f), "1x");
    EXPECT_EQ(display(6, 0.2f), "2x");
    EXPECT_EQ(display(6, 0.4f), "4x");
    EXPECT_EQ(display(6, 0.8f), "12x");
    EXPECT_EQ(display(7, 1.0f), "Mono");
    EXPECT_EQ(display(7, 1.49f), "Mono");
    EXPECT_EQ(display(7, 2.0f), "Stereo");
    EXPECT_EQ(display(7, 4.0f), "Quadro");
    EXPECT_EQ(display(7, 6.0f), "5.1");
    EXPECT_EQ(host.text(effGetParamDisplay, 8), std::string(255, '#'));
}

TEST(Parameters, EditorDisplayTextsShareTheHostsFormatting) {
    auto format = [](int index, float value) -> std::string {
        char text[16];
        std::fill(std::begin(text), std::end(text), '#');
        if (!ParameterText::format(index, value, text))
            return std::string(text, sizeof text) == std::string(16, '#') ? "none" : "written";
        EXPECT_EQ(text[ParameterText::kMaxLength], 0);
        return std::string(text);
    };
    HostedEffect host;
    for (int index : {0, 1, 2, 5}) {
        for (float value : {0.0f, 0.123f, 0.5f, 0.777f, 1.0f}) {
            host.setParameter(index, value);
            EXPECT_EQ(host.text(effGetParamDisplay, index), format(index, value)) << index << " " << value;
        }
    }
    EXPECT_EQ(format(3, 0.26f), "0.3");
    EXPECT_EQ(format(4, 0.7f), "0.7");
    EXPECT_EQ(format(4, 123456.0f), "123456.0");
    EXPECT_EQ(format(3, -1234567.0f), "Huge!");
    EXPECT_EQ(format(6, 0.6f), "none");
    EXPECT_EQ(format(-1, 0.6f), "none");
}

TEST(Parameters, OutputGainFromVolume) {
    HostedEffect host;
    Korvel& effect = host.effect();
    EXPECT_FLOAT_EQ(effect.outputGain(), 1.0023052f);  // the edit slot plays at 0.667
    host.setParameter(5, 0.0f);
    EXPECT_EQ(effect.outputGain(), 0.0f);
    host.setParameter(5, 2.0f / 3.0f);
    EXPECT_EQ(effect.outputGain(), 1.0000001f);
    host.setParameter(5, 1.0f);
    EXPECT_EQ(effect.outputGain(), 10.0f);
    host.setParameter(5, 0.5f);
    EXPECT_NEAR(effect.outputGain(), 0.31622776f, 1e-7f);  // -10 dB
}

TEST(Parameters, ValuesAreStoredAsGivenAndOutOfRangeIndicesReadZero) {
    HostedEffect host;
    host.setParameter(3, 1.7f);  // not clamped
    EXPECT_EQ(host.getParameter(3), 1.7f);
    host.setParameter(8, 0.3f);
    EXPECT_EQ(host.getParameter(8), 0.0f);
    EXPECT_EQ(host.getParameter(-1), 0.0f);
    EXPECT_EQ(host.getParameter(6), 0.6f);
    EXPECT_EQ(host.getParameter(7), 2.0f);
}

TEST(Parameters, OversampleStaysWithinItsTable) {
    EXPECT_EQ(Parameters::oversamplingFactor(-0.5f), 1);
    EXPECT_EQ(Parameters::oversamplingFactor(0.999f), 12);
    EXPECT_EQ(Parameters::oversamplingFactor(1.0f), 16);
    EXPECT_EQ(Parameters::oversamplingFactor(3e38f), 16);
}

TEST(Parameters, ChannelModeRaisesAndLowersTheActiveChannels) {
    HostedEffect host;
    Korvel& effect = host.effect();
    SixChannelBlock block(64);
    host.setParameter(7, 4.0f);
    EXPECT_EQ(effect.activeChannelCount(), 4);
    block.process(host);
    EXPECT_EQ(effect.processor().activeChannels(), 4);
    EXPECT_EQ(effect.processor().resampler().channelCount(), 4);
    EXPECT_EQ(effect.processor().factor(), 8);
    // Newly active channels are derived for the processing rate; untouched ones keep 44100 Hz.
    EXPECT_EQ(effect.processor().stage(2).rate(), 44100.0 * 8);
    EXPECT_EQ(effect.processor().stage(3).rate(), 44100.0 * 8);
    EXPECT_EQ(effect.processor().stage(0).rate(), 44100.0);
    EXPECT_EQ(effect.processor().stage(4).rate(), 44100.0);
    host.setParameter(7, 1.0f);
    block.process(host);
    EXPECT_EQ(effect.processor().activeChannels(), 1);
}

TEST(Parameters, OversampleRederivesTheActiveStages) {
    HostedEffect host;
    Korvel& effect = host.effect();
    SixChannelBlock block(64);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.setParameter(6, 0.8f);
    block.process(host);
    EXPECT_EQ(effect.processor().factor(), 12);
    EXPECT_EQ(effect.processor().stage(0).rate(), 48000.0 * 12);
    EXPECT_EQ(effect.processor().stage(1).rate(), 48000.0 * 12);
    EXPECT_EQ(effect.processor().stage(2).rate(), 44100.0);
    // A sample-rate change alone does not derive the stages again.
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    block.process(host);
    EXPECT_EQ(effect.processor().stage(0).rate(), 48000.0 * 12);
    EXPECT_EQ(effect.processor().equaliser(5).sampleRate(), 96000.0);
}

}  // namespace
