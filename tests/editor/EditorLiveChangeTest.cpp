// The panel worked while the host plays: a program picked in the menu, a Bias slider dragged fast, UNDO,
// A, B and COPY. None may leave a burst, on silence or on a sine.

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "EditorHost.h"

namespace EditorTest {
namespace {

constexpr int kBlock = 256;
constexpr int kActionBlocks = 86;  // 0.5 s at 44.1 kHz
constexpr int kSteadyBlocks = 22;  // the last 125 ms of each half second count as its steady level

class EditorWhilePlaying : public EditorHost {
protected:
    // Plays half a second per action, the action made at its start (spread over its first blocks for
    // a drag), and checks each half second against the steady levels around it.
    void playThrough(double amplitude, const std::vector<std::pair<const char*, std::function<void(int)>>>& actions) {
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.dispatch(effSetBlockSize, 0, kBlock);
        host.dispatch(effMainsChanged, 0, 1);
        ASSERT_TRUE(open());
        SixChannelBlock block(kBlock);
        long frame = 0;
        auto playBlock = [&] {
            for (int i = 0; i < kBlock; ++i)
                block.input(0)[i] = block.input(1)[i] =
                    static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * 220.0 * (frame + i) / 44100.0));
            frame += kBlock;
            block.process(host);
            idle();
            float peak = 0.0f;
            for (int channel = 0; channel < 2; ++channel)
                for (float sample : block.output(channel)) peak = std::max(peak, std::abs(sample));
            return static_cast<double>(peak);
        };
        double steadyBefore = 0.0;
        for (int index = 0; index < kActionBlocks; ++index) {
            const double peak = playBlock();
            if (index >= kActionBlocks - kSteadyBlocks) steadyBefore = std::max(steadyBefore, peak);
        }
        for (const auto& [name, act] : actions) {
            double during = 0.0, steadyAfter = 0.0;
            for (int index = 0; index < kActionBlocks; ++index) {
                act(index);
                const double peak = playBlock();
                during = std::max(during, peak);
                if (index >= kActionBlocks - kSteadyBlocks) steadyAfter = std::max(steadyAfter, peak);
            }
            if (amplitude == 0.0)
                EXPECT_LT(during, 0.001) << name << " on silence";
            else
                EXPECT_LE(during, std::max(steadyBefore, steadyAfter) * std::pow(10.0, 1.0 / 20.0)) << name << " on a sine";
            steadyBefore = steadyAfter;
        }
        close();
    }

    std::vector<std::pair<const char*, std::function<void(int)>>> panelWork() {
        auto once = [](std::function<void()> act) { return [act](int index) { if (index == 0) act(); }; };
        return {
            {"Med. Drive 1 from the program menu", once([this] { choose(kProgramMenu, 9); })},
            {"Bias dragged to 0.1 in four blocks",
             [this](int index) {
                 const float values[] = {0.8f, 0.5f, 0.25f, 0.1f};
                 if (index == 0) press(sliderPoint(4, 1.0f));
                 if (index < 4) move(sliderPoint(4, values[index]));
                 if (index == 3) release(sliderPoint(4, 0.1f));
             }},
            {"UNDO of the drag", once([this] { click(kUndo); })},
            {"B", once([this] { click(kButtonB); })},
            {"A", once([this] { click(kButtonA); })},
            {"COPY, then B", once([this] { click(kCopy); click(kButtonB); })},
        };
    }
};

TEST_F(EditorWhilePlaying, PanelWorkLeavesNoBurstOnSilence) { playThrough(0.0, panelWork()); }

TEST_F(EditorWhilePlaying, PanelWorkLeavesNoBurstOnASine) { playThrough(std::pow(10.0, -12.0 / 20.0), panelWork()); }

}  // namespace
}  // namespace EditorTest
