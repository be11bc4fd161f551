#pragma once

// Three biquads run in parallel on the same input and summed: a low shelf at 160 Hz, a peaking band
// at 1440 Hz and a high shelf at 1600 Hz, each -12 dB to +12 dB. The coefficients are computed with
// the host rate while the filters run on the oversampled stream.
#include "StageMath.h"

struct LaneChainState;

class ToneEqualiser {
public:
    ToneEqualiser();  // fs 44100, every band the identity, zero histories

    // Every band takes the new rate and its histories are cleared; coefficients are left for setGains.
    void setSampleRate(double fs);

    // Recomputes the three bands from their gains in decibels (-12..+12). Keeps the histories.
    void setGains(double lowDb, double midDb, double highDb);

    // Sum of the three band outputs for input x.
    double process(double x);

    void clearHistories();
    // Copies coefficients and histories into one lane of a multi-channel chain, and the histories back.
    void storeLane(LaneChainState& lanes, int lane) const;
    void loadLane(const LaneChainState& lanes, int lane);
    bool stateIsFinite() const;
    double sampleRate() const { return bands_[0].fs; }

private:
    struct Band : stagemath::Biquad<double> {
        Band() : Biquad{1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0} {}
        double fs = 44100.0;

        // Each takes the linear amplitude A = 10^(dB/40) and computes with the stored fs.
        void setLowShelf(double amplitude);
        void setPeak(double amplitude);
        void setHighShelf(double amplitude);
        void setNormalised(double a0, double a1Raw, double a2Raw, double b0Raw, double b1Raw, double b2Raw);

        double process(double x);
        void clearHistory();
        bool historyIsFinite() const;
    };
    Band bands_[3];  // low shelf, peak, high shelf
};
