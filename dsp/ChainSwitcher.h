#pragma once

#include <memory>

#include "BlockProcessor.h"

// Runs the signal chain and moves it to a new operating point while audio plays, without a burst.
//
// The bias voltage and the processing rate set where the triode rests: its plate voltage, and with it
// the charge of the output coupling capacitor. Moving the running circuit there would push that step
// through the capacitor to the output, divided by the drive gain: a thump up to 20 dB above full
// scale. So a change of Bias, oversampling factor or channel count is made on a copy of the running
// chain instead, with the copy's stages put at rest at the new point, and the output crossfades from
// the running chain into the copy. The tone equalisers and resamplers carry over where the rate stays,
// so both chains play the same signal and only the stage's own sound changes across the fade.
//
// Drive and output gain ramp per sample; the Bias of a chain stays constant. A sharp step of Drive
// within one block is the exception. Driving a stage hard moves charge into its coupling capacitor;
// ramped quickly down, that charge comes out through the output's drive compensation, which now
// divides by a far smaller gain (a thump of 20 dB above full scale), and ramped quickly up, the
// charge builds while the sound is already loud (an overshoot). So such a step is made as a program
// change is: the output crossfades into a copy of the chain at rest with the new Drive in force at
// once. While a crossfade runs, the leaving chain keeps the tone, Drive and gain it had and every
// new value goes to the chain faded into, except a sharp step of Drive, which waits. A change that
// arrives during a crossfade waits for it to end, and then goes on from there.
// Single-threaded: the owner serialises every call. Nothing on the processing path allocates.
class ChainSwitcher {
public:
    static constexpr int kChannelSlots = BlockProcessor::kChannelSlots;
    // Long enough that the copy's start is inaudible, short enough to follow a dragged control.
    static constexpr double kFadeSeconds = 0.02;
    // A step of the output's drive divisor by more than this factor, up or down, within one block
    // starts the chain afresh. A slow drag never moves that far in one block.
    static constexpr double kSharpDriveStep = 2.0;

    // Silence costs next to nothing. After kRestingFrames frames of exactly zero input in which no
    // output went above kRestingLevel (-186 dBFS) the chain rests: blocks of zero input are written
    // as zeros instead of being run through it. Sound, a setting or a crossfade wakes it: the stages
    // go on from where they came to rest and the equalisers and resampler filters from silence. The
    // chain wakes the same way when silence is played through it instead (Silence::Play), so
    // skipping changes no sample by more than kRestingLevel. (Waking from the stages' resting state
    // is what makes that exact: the direct-form filters magnify a last-bit difference in their
    // memory some 1e13 times, so a chain that played the silence would otherwise drift from one that
    // skipped it by up to 1e-4 once sound returns.)
    static constexpr float kRestingLevel = 5e-10f;
    static constexpr int kRestingFrames = 4096;
    enum class Silence {
        Skip,    // the default
        Play,    // rests and wakes as Skip does, but runs silence through the chain
        Ignore,  // never rests: every block runs through the chain as it stands
    };


    // The operating point: the chain is rebuilt, not ramped, when one of these changes.
    struct Setup {
        int factor = 8;
        int channels = 2;
        double biasVolts = 0.0;
        // Counts whole programs put in force. A new program starts from rest with all its values at
        // once: ramping a large Drive change through a circuit that was driven hard would move its
        // operating point, which the output's drive compensation turns into a thump.
        unsigned programLoads = 0;
        // Counts settings of the oversampling factor: each one derives the stages for the processing
        // rate, also when the factor stays, since stages may still run with an earlier derivation.
        unsigned factorSettings = 0;
        bool operator==(const Setup&) const = default;
    };

    // Throws std::bad_alloc when the chains or buffers cannot be obtained.
    ChainSwitcher();

    // Puts `setup` in force at once with every stage at rest and the ramps starting at `start`,
    // dropping a crossfade in progress: for a host that is about to (re)start processing.
    void restart(const Setup& setup, const BlockProcessor::Targets& start);
    // Processes `frames` frames towards `wanted`, ramping Drive and output gain to `targets`; writes
    // silence to the outputs of channels neither chain plays. Before anything was played since the
    // last restart, a new setup is put in force at once, as restart does.
    void process(const float* const* inputs, float* const* outputs, int frames, const Setup& wanted,
                 const BlockProcessor::Targets& targets);

    void setEqualiserGains(const BlockProcessor::EqualiserGains& gains);
    void setHostRate(float rate);
    // Returns false when a chain could not grow; longer blocks are then processed in pieces.
    bool setBlockSize(int frames);
    // Clears the resampler filters of the running chain and ends a crossfade in the chain faded into.
    void suspend();
    void setSimdLevel(SimdLevel level);

    // The chain the setup in force belongs to: the one faded into while a crossfade runs.
    const BlockProcessor& current() const { return fading_ ? incoming() : active(); }
    void setSilence(Silence silence) { silence_ = silence; }
    // Whether the chain rests in silence.
    bool resting() const { return resting_; }

private:
    BlockProcessor& active() { return *chains_[activeIndex_]; }
    BlockProcessor& incoming() { return *chains_[1 - activeIndex_]; }
    const BlockProcessor& active() const { return *chains_[activeIndex_]; }
    const BlockProcessor& incoming() const { return *chains_[1 - activeIndex_]; }

    // Takes a factor setting that would leave the running chain as it is without rebuilding it.
    void absorbUnchangedFactor(const Setup& wanted);
    // Copies the running chain into the other one and moves that one to `wanted`; for a new program
    // or a sharp step of Drive its stages start at rest with `targets` in force at once.
    void beginFade(const Setup& wanted, const BlockProcessor::Targets& targets);
    // Whether going on to `wanted` and `targets` takes a crossfade: a new setup, or a sharp step of
    // Drive once something has been heard.
    bool needsFade(const Setup& wanted, const BlockProcessor::Targets& targets) const;
    // Whether `targets` would move the output's drive divisor sharply from where `chain` stands.
    static bool movesDriveSharply(const BlockProcessor& chain, const BlockProcessor::Targets& targets);
    void finishFade();
    // Moves `chain`, standing at `from`, to `to`: new channels and stages at rest at the new point.
    void applySetup(BlockProcessor& chain, const Setup& from, const Setup& to);
    // Processes one piece of at most the scratch capacity with both chains and mixes them.
    void crossfadePiece(const float* const* inputs, float* const* outputs, int frames,
                        const BlockProcessor::Targets& targets);
    static void silenceUnplayed(float* const* outputs, int frames, int played);
    static bool inputIsSilent(const float* const* inputs, int frames, int channels);
    static bool outputRests(const float* const* outputs, int frames, int channels);
    // Plays one block without a crossfade, and follows the chain towards rest.
    void playSteady(const float* const* inputs, float* const* outputs, int frames, bool silent,
                    const BlockProcessor::Targets& targets);
    // Sets a resting chain going again, from its stages' resting state.
    void wake();

    std::unique_ptr<BlockProcessor> chains_[2];
    int activeIndex_ = 0;
    Setup activeSetup_;
    Setup incomingSetup_;
    bool fading_ = false;
    bool heard_ = false;  // whether a block was played since the last restart
    Silence silence_ = Silence::Skip;
    bool resting_ = false;
    int restingFrames_ = 0;  // frames of silence in and resting output out, up to kRestingFrames
    TriodeStage restingStages_[kChannelSlots];
    int fadePosition_ = 0;  // frames of the crossfade played
    int fadeLength_ = 0;
    BlockProcessor::EqualiserGains gains_;
    std::unique_ptr<float[]> scratch_[kChannelSlots];
    int scratchCapacity_ = 0;
};
