#pragma once

#include <memory>

#include "LaneChain.h"
#include "Resamplers.h"
#include "ToneEqualiser.h"
#include "TriodeStage.h"

// Per-block processing of up to six channels: upsampling, tone equaliser, grid signal, triode stage
// with output scaling, downsampling; Drive, Bias and the output gain ramp per oversampled sample from
// the values that ended the previous block. Single-threaded: the owner serialises every call.
class BlockProcessor {
public:
    static constexpr int kChannelSlots = 6;
    static constexpr int kMaxFactor = 16;
    static constexpr int kInitialCapacity = 8192;
    // Longer blocks are processed in pieces, each ramping to the targets; the capacity never grows
    // beyond this many frames.
    static constexpr int kMaxCapacity = 16384;
    // Oversampled samples per channel that go through the chain at a time, so that the work signal
    // stays in the first-level cache.
    static constexpr int kChunkSamples = 512;

    // The targets one block ramps to, per oversampled sample.
    struct Targets {
        double driveGain = 0.1;   // h: the gain of the tone section's output into the grid
        double biasVolts = 0.0;   // l: added to the grid signal
        float outputGain = 1.0f;  // m: linear
    };
    // Tone-equaliser gains in decibels (-12..+12).
    struct EqualiserGains {
        double lowDb = 0.0, midDb = 0.0, highDb = 0.0;
    };

    // Six slots derived at 44100 Hz, resampler at factor 8 for two channels, capacity 8192 frames.
    // Throws std::bad_alloc when the buffers cannot be obtained.
    BlockProcessor();
    ~BlockProcessor();
    BlockProcessor(const BlockProcessor&) = delete;
    BlockProcessor& operator=(const BlockProcessor&) = delete;

    // Redesigns the resampler for `factor` and derives the active stages at factor x host rate; the
    // oversampled signal restarts from silence in the resampler and the equalisers.
    void setOversampling(int factor);
    // Initialises channels [firstNew, count): equaliser from `gains` with cleared histories, stage
    // derived at factor x host rate and put at the kept resting point, resampler filters cleared.
    // Then serves `count` channels at `factor`; at an unchanged factor the other channels carry on.
    void setChannelCount(int count, int firstNew, int factor, const EqualiserGains& gains);
    // Takes over the whole signal state and setup of another processor (stages, equalisers,
    // resampler, ramp start, resting point), so both go on to give the same output. Allocates nothing.
    void copyStateFrom(const BlockProcessor& other);
    // Recomputes the equalisers of the active channels; their histories carry on.
    void setEqualiserGains(const EqualiserGains& gains);
    // New host rate for every equaliser (histories cleared); stages keep their derivation.
    void setHostRate(float rate);
    // Grows the capacity when `frames` exceeds it (up to kMaxCapacity). On allocation failure the old
    // buffers stay and longer blocks are processed in pieces; returns false then.
    bool setBlockSize(int frames);
    // Clears the resampler filters of the active channels.
    void suspend();
    // The values the next block ramps from.
    void setRampStart(const Targets& start);
    const Targets& rampStart() const { return rampStart_; }
    // Puts every stage at its resting point for the bias voltage, with no signal, and keeps that
    // state for recovering a channel whose state turned non-finite. Costs some microseconds per
    // distinct stage rate and allocates nothing, so hosts may call it on their audio thread.
    void settleStages(double biasVoltage);

    // Processes `frames` frames of the active channels. Non-finite input samples are taken as silence;
    // a channel whose state turns non-finite is cleared and its non-finite output samples zeroed.
    void process(const float* const* inputs, float* const* outputs, int frames, const Targets& targets);

    // Chooses the instruction set of the multi-channel chain, at most the best one available;
    // Scalar runs every channel on its own. The best available is chosen at construction.
    void setSimdLevel(SimdLevel level);
    SimdLevel simdLevel() const { return simdLevel_; }

    int activeChannels() const { return activeChannels_; }
    // For a chain that silence has brought to rest: the active stages copied out, and the chain set
    // back to them with the equalisers' and resampler filters' memories cleared. Allocate nothing.
    void copyStages(TriodeStage* to) const;
    void resumeFromRest(const TriodeStage* stages);
    // Whether every active stage is derived for `factor` times the host rate.
    bool stagesRunAt(int factor) const;
    int factor() const { return resampler_.factor(); }
    int capacity() const { return capacity_; }
    float hostRate() const { return hostRate_; }
    const TriodeStage& stage(int channel) const { return slots_[channel].stage; }
    const ToneEqualiser& equaliser(int channel) const { return slots_[channel].equaliser; }
    const Resamplers::cSimplestResampler& resampler() const { return resampler_; }

private:
    struct ChannelSlot {
        ToneEqualiser equaliser;
        TriodeStage stage;
    };
    struct Buffers;
    // Drive gain h, bias voltage l and output gain m of the next oversampled sample, and their steps.
    struct Ramp {
        double h, l, m;
        double stepH, stepL;
        float stepM;
    };

    void processPiece(const float* const* inputs, float* const* outputs, int frames, const Targets& targets);
    Ramp rampOver(int count, const Targets& targets) const;
    void runChain(const float* const* read, float* const* write, int count, Ramp& ramp);
    // The whole piece through the lane kernels, channels copied in and out of the lane state.
    void runLanes(const float* const* inputs, float* const* outputs, int frames, Ramp& ramp);
    const float* const* finiteInputs(const float* const* inputs, int frames);
    void recoverNonFiniteChannels(float* const* outputs, int frames);
    void deriveStage(int channel, int factor);
    void restoreRestingStage(int channel);

    ChannelSlot slots_[kChannelSlots];
    TriodeStage restingStage_;
    double restingBias_ = 0.0;
    Resamplers::cSimplestResampler resampler_;
    std::unique_ptr<Buffers> buffers_;
    std::unique_ptr<LaneChainState> lanes_;
    SimdLevel simdLevel_ = SimdLevel::Scalar;
    int capacity_ = 0;
    int activeChannels_ = 0;
    float hostRate_ = 44100.0f;
    Targets rampStart_;
};
