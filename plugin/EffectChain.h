#pragma once

#include "ChainSwitcher.h"
#include "Parameters.h"

// The signal chain as a plug-in front end drives it: the parameter values in force go in, the chain's
// operating point, its ramp targets and the tone equaliser's gains come out of them here, in one place
// for every plug-in format. Single-threaded: the owner serialises every call.
class EffectChain {
public:
    // What a block plays with: every parameter value (normalised; the channel mode carries the channel
    // count), and counts of the events that ask for more than the values show. A front end raises a
    // count for each such event; only a change of a count matters.
    struct Settings {
        float values[Parameters::kCount] = {};  // by parameter index
        unsigned programLoads = 0;  // whole programs put in force: the chain starts them from rest
        unsigned factorSettings = 0;  // settings of the oversampling factor, changed or not
        unsigned equaliserChanges = 0;  // tone values that may have changed

        float value(int index) const { return values[index]; }
    };

    EffectChain() = default;  // throws std::bad_alloc

    // Puts `settings` in force at once, every stage at rest and the ramps starting at their targets:
    // for a host that (re)starts processing.
    void restart(const Settings& settings);
    // Processes `frames` frames of six input and six output pointers towards `settings`.
    void process(const float* const* inputs, float* const* outputs, int frames, const Settings& settings);
    // Clears the resampler filters; the next block goes on from there.
    void suspend() { switcher_.suspend(); }
    // New host rate for the equalisers; their gains are put in force again before the next block.
    void setHostRate(float rate);
    bool setBlockSize(int frames) { return switcher_.setBlockSize(frames); }

    const BlockProcessor& current() const { return switcher_.current(); }

    static ChainSwitcher::Setup setup(const Settings& settings);
    static BlockProcessor::Targets targets(const Settings& settings);
    static BlockProcessor::EqualiserGains equaliserGains(const Settings& settings);

private:
    void applyEqualiserChanges(const Settings& settings);

    ChainSwitcher switcher_;
    unsigned equaliserChangesSeen_ = 0;
    bool equaliserStale_ = false;
};
