#pragma once

// One common-cathode triode stage as a wave digital filter. The plate network (supply E with Rp,
// coupling port Rc) and the cathode network (Rk parallel Ck) meet the triode in a series junction;
// the output network (Co in series with the load Ro) exchanges waves with the plate network through
// the 1 MOhm coupling port, with one sample of delay in each direction. The triode is a resistor
// recomputed every sample from its characteristic, using the previous sample's grid voltage.

#include "StageMath.h"

struct LaneChainState;

// The circuit's fixed components.
struct StageComponents {
    double supplyVoltage = 300.0;       // E, volts
    double cathodeCapacitor = 2.2e-8;   // Ck, farads
    double outputCapacitor = 4.7e-8;    // Co, farads
    double plateResistor = 100000.0;    // Rp, ohms
    double cathodeResistor = 1500.0;    // Rk, ohms
};

class TriodeStage {
public:
    TriodeStage();  // initial state, derived at 44100 Hz

    // Sets the components and computes every rate-dependent coefficient for `rate` (Hz).
    // Clears the two coupling-port waves; the triode resistance, Co's wave and the grid voltage carry over.
    void derive(const StageComponents& components, double rate);

    // One sample: grid signal g, drive gain h, bias voltage l and linear output gain m of this sample.
    double tick(double g, double h, double l, double m);

    // Runs `samples` ticks at a constant grid voltage and discards the output: from the empty state
    // of construction the output capacitor charges to the plate voltage over about a second, which
    // would otherwise reach the output as a thump far above full scale.
    void settle(double gridVoltage, int samples);
    // Puts the stage at its resting point for a constant grid voltage, where settling would lead it:
    // Co charged to the plate voltage, no current through the output network, the triode at its DC
    // operating point. Costs microseconds and allocates nothing; the output then starts at zero.
    void rest(double gridVoltage);
    bool stateIsFinite() const;

    // Copies coefficients and state into one lane of a multi-channel chain, and the state back.
    void storeLane(LaneChainState& lanes, int lane) const;
    void loadLane(const LaneChainState& lanes, int lane);

    double rate() const { return rate_; }
    // Observations of the last tick, for measurement.
    double plateVoltage() const { return state_.lastPlateVoltage; }
    double plateCurrent() const { return state_.lastPlateCurrent; }
    double cathodePortVoltage() const { return state_.lastCathodePortVoltage; }
    double triodeResistance() const { return state_.rT; }

private:
    // Fixed circuit values.
    static constexpr double kCouplingResistance = 1000000.0;  // Rc
    static constexpr double kLoadResistance = 1000000.0;      // Ro
    static constexpr double kInitialTriodeResistance = 100.0;
    static constexpr int kRestingTicks = 64;

    StageComponents components_;
    double rate_ = 0.0;
    stagemath::StageCoefficients<double> coefficients_{};
    stagemath::StageState<double> state_{kInitialTriodeResistance, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
};
