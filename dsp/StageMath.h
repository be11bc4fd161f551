#pragma once

// The arithmetic of one triode-stage tick and of one biquad step, written once for a value type: a
// double in the scalar chain, a register of lanes in the multi-channel kernels. Both run the same
// operations in the same order. The Math policy of a value type supplies exp, log, sqrt and the
// plate current for the characteristic's E1 (`currentFor`: the cheap power above zero, the cut-off
// floor below).

namespace stagemath {

// Triode characteristic.
constexpr double kMu = 100.0;
constexpr double kExponent = 1.4;
constexpr double kKvb = 300.0;
constexpr double kKg = 530.0;
constexpr double kKp = 600.0;
constexpr double kCutOffCurrent = 1e-20;  // plate current when the characteristic gives none
// The cheap power's fractional part interpolates the upper 32 bits of the IEEE-754 double: this is
// the upper word of 1.0 less 60801, which centres its error.
constexpr double kOneUpperBits = 1072632447.0;

// Output scaling: brings the small-signal gain at 44100 Hz close to 1 and stops compensating the
// drive gain above kDriveDivisorLimit, so that more drive still means more level.
constexpr double kOutputNormalisation = 65.7;
constexpr double kDriveDivisorLimit = 13.41;
constexpr double kBiasVoltagePerUnit = 1.6;
constexpr double kVolumeFloor = 0.0001;

// The coefficients a derivation computes for one rate.
template <class V>
struct StageCoefficients {
    V gammaRk, gammaCk;                 // cathode parallel junction
    V gammaRp, supply, gammaCoupling;   // plate parallel junction with the supply E through Rp
    V rPlate, rCathode;                 // the two junctions' port resistances in the main junction
    V gamma2S1, gamma2Ro;               // output series junction S2 (root)
    V gamma1Coupling, gamma1Co;         // output series junction S1
};

// What the stage keeps between samples, and what the last sample observed.
template <class V>
struct StageState {
    V rT;                // triode plate-to-cathode resistance
    V sCo;               // Co's stored wave
    V sCk;               // Ck's stored wave, read but never advanced
    V wCouplingToPlate;  // waves through the 1 MOhm coupling port, one sample late each way
    V wPlateToCoupling;
    V vgkPrev;           // grid-to-cathode voltage of the previous sample
    V lastPlateVoltage, lastPlateCurrent, lastCathodePortVoltage;
};

// The triode's plate current at plate-node voltage v and grid-to-cathode voltage vgk.
template <class Math, class V>
inline V plateCurrent(const V& v, const V& vgk) {
    const V e1 = (v / V(kKp)) * Math::log(V(1.0) + Math::exp(V(kKp) * (V(1.0 / kMu) + vgk / Math::sqrt(V(kKvb) + v * v))));
    return Math::currentFor(e1);
}

// One sample for grid signal g: advances the state and returns the voltage across the load Ro.
template <class Math, class V>
inline V tick(const StageCoefficients<V>& c, StageState<V>& s, const V& g) {
    // Cathode junction: Rk reflects nothing and Ck's wave is never advanced, so Ck acts as a resistor.
    const V bK = c.gammaRk * V(0.0) + c.gammaCk * s.sCk;

    // Plate junction: the supply through Rp and the wave that came back from the output network.
    const V wCpIn = s.wCouplingToPlate;
    const V bP = c.gammaRp * c.supply + c.gammaCoupling * wCpIn;

    // Main series junction, adapted to the present triode resistance (the triode's incident wave is 0).
    const V halfSum = (c.rPlate + s.rT + c.rCathode) / V(2.0);
    const V gammaMainPlate = c.rPlate / halfSum;
    const V gammaMainCathode = c.rCathode / halfSum;
    const V sum = bP + V(0.0) + bK;
    const V dP = bP - gammaMainPlate * sum;
    const V dK = bK - gammaMainCathode * sum;
    const V vPlate = (bP + dP) / V(2.0);
    const V vCathodePort = (bK + dK) / V(2.0);  // the negative of the physical cathode voltage

    // Output network: Co and Ro in series behind the coupling port, root shorted.
    const V wPcIn = s.wPlateToCoupling;
    const V upS1 = -(s.sCo + wPcIn);
    const V incidentS2 = V(2.0) * upS1;
    const V downS1 = upS1 - c.gamma2S1 * incidentS2;
    const V downRo = V(0.0) - c.gamma2Ro * incidentS2;
    const V sumS1 = downS1 - upS1;
    s.wCouplingToPlate = wPcIn - c.gamma1Coupling * sumS1;
    s.sCo = s.sCo - c.gamma1Co * sumS1;
    const V vOut = (downRo + V(0.0)) / V(2.0);

    // The plate junction's wave out of the coupling port, for the output network's next sample.
    s.wPlateToCoupling = bP + dP - wCpIn;

    // The grid voltage of this sample drives the triode from the next sample on.
    const V vgkUsed = s.vgkPrev;
    s.vgkPrev = g + vCathodePort;

    // Triode characteristic at the plate-node voltage, and the resistance it makes.
    const V v = vPlate;
    const V ip = plateCurrent<Math>(v, vgkUsed);
    s.rT = v / ip;

    s.lastPlateVoltage = vPlate;
    s.lastPlateCurrent = ip;
    s.lastCathodePortVoltage = vCathodePort;
    return vOut;
}

// What the output divides by for drive gain h: h itself, up to kDriveDivisorLimit.
inline double driveDivisor(double h) { return h < kDriveDivisorLimit ? h : kDriveDivisorLimit; }

// The output sample for the load voltage, at drive gain h, bias voltage l and linear output gain m.
template <class V>
inline V outputSample(const V& vOut, double h, double l, double m) {
    const double biasUnits = l / kBiasVoltagePerUnit;
    return -(vOut / V(kOutputNormalisation)) * V(1.0 + biasUnits * biasUnits) /
           V(driveDivisor(h)) * V(m + kVolumeFloor);
}

// One biquad in direct form I, coefficients normalised by a0.
template <class V>
struct Biquad {
    V b0, b1, b2, a1, a2;
    V x1, x2, y1, y2;
};

template <class V>
inline V step(Biquad<V>& q, const V& x) {
    const V y = q.b0 * x + q.b1 * q.x1 + q.b2 * q.x2 - q.a1 * q.y1 - q.a2 * q.y2;
    q.x2 = q.x1;
    q.x1 = x;
    q.y2 = q.y1;
    q.y1 = y;
    return y;
}

}  // namespace stagemath
