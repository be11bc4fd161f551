#include "TriodeStage.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "LaneChain.h"

namespace {

using namespace stagemath;

// base^exponent for positive base: the integer part of the exponent exactly by squaring, the
// fractional part by interpolating the upper 32 bits of the IEEE-754 representation (a cheap
// log2/exp2 approximation, a few percent off, much cheaper than a library power).
double fastPositivePower(double base, double exponent)
{
    const double integerPart = std::trunc(exponent);
    const double fraction = exponent - integerPart;

    double exact = 1.0;
    double square = base;
    for (auto n = static_cast<std::uint32_t>(integerPart); n != 0; n >>= 1) {
        if (n & 1u)
            exact *= square;
        square *= square;
    }

    const auto upper = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(base) >> 32));
    const auto scaledUpper = static_cast<std::int32_t>(fraction * (static_cast<double>(upper) - kOneUpperBits) + kOneUpperBits);
    const double approximate = std::bit_cast<double>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(scaledUpper)) << 32);

    return exact * approximate;
}

// The standard library's functions for one channel.
struct ScalarMath {
    static double exp(double x) { return std::exp(x); }
    static double log(double x) { return std::log(x); }
    static double sqrt(double x) { return std::sqrt(x); }
    static double currentFor(double e1) { return e1 > 0.0 ? fastPositivePower(e1, kExponent) / kKg : kCutOffCurrent; }
};

}  // namespace

TriodeStage::TriodeStage()
{
    derive(StageComponents{}, 44100.0);
}

void TriodeStage::derive(const StageComponents& components, double rate)
{
    components_ = components;
    rate_ = rate;

    // Reactive elements as port resistances of the bilinear transform.
    const double rCk = 1.0 / (2.0 * rate * components.cathodeCapacitor);
    const double rCo = 1.0 / (2.0 * rate * components.outputCapacitor);

    StageCoefficients<double>& c = coefficients_;
    const double rk = components.cathodeResistor;
    c.rCathode = rk * rCk / (rk + rCk);
    c.gammaRk = c.rCathode / rk;
    c.gammaCk = c.rCathode / rCk;

    const double rS1 = kCouplingResistance + rCo;
    c.gamma1Coupling = kCouplingResistance / rS1;
    c.gamma1Co = rCo / rS1;

    const double rS2 = kLoadResistance + rS1;
    c.gamma2S1 = rS1 / rS2;
    c.gamma2Ro = kLoadResistance / rS2;

    const double rp = components.plateResistor;
    c.rPlate = rp * kCouplingResistance / (rp + kCouplingResistance);
    c.gammaRp = c.rPlate / rp;
    c.gammaCoupling = c.rPlate / kCouplingResistance;
    c.supply = components.supplyVoltage;

    // Waves adapted to the old coupling-port resistances are meaningless under the new ones.
    state_.wCouplingToPlate = 0.0;
    state_.wPlateToCoupling = 0.0;
}

double TriodeStage::tick(double g, double h, double l, double m)
{
    return outputSample(stagemath::tick<ScalarMath>(coefficients_, state_, g), h, l, m);
}

void TriodeStage::settle(double gridVoltage, int samples)
{
    for (int n = 0; n < samples; ++n) tick(gridVoltage, 1.0, 0.0, 1.0);
}

void TriodeStage::rest(double gridVoltage)
{
    // At rest Co carries no current, so the coupling port is open: its waves both equal the plate
    // voltage V, and the plate network is the supply through Rp feeding the triode in series with the
    // cathode branch. For a trial V the plate network fixes the triode resistance it needs; the
    // characteristic gives the triode's own at V and the resulting grid voltage. Bisection finds the V
    // where they agree, between the V at which the needed resistance is 0 and the supply voltage.
    const StageCoefficients<double>& c = coefficients_;
    const double supplyWave = c.gammaRp * c.supply;
    struct Trial {
        double resistance, gridToCathode, mismatch;
    };
    auto trial = [&](double v) {
        const double bP = supplyWave + c.gammaCoupling * v;
        const double loop = c.rPlate * bP / (bP - v);  // rPlate + rT + rCathode
        const double vgk = gridVoltage - c.rCathode * bP / loop;
        const double resistance = loop - c.rPlate - c.rCathode;
        return Trial{resistance, vgk, resistance - v / stagemath::plateCurrent<ScalarMath>(v, vgk)};
    };
    const double bound = c.rCathode / (c.rPlate + c.rCathode);
    double low = supplyWave * bound / (1.0 - c.gammaCoupling * bound);
    double high = c.supply;
    for (int step = 0; step < 200; ++step) {
        const double middle = 0.5 * (low + high);
        if (!(middle > low && middle < high)) break;
        (trial(middle).mismatch < 0.0 ? low : high) = middle;
    }
    const double v = 0.5 * (low + high);
    const Trial point = trial(v);
    if (!std::isfinite(point.resistance) || point.resistance <= 0.0) return;

    state_.rT = point.resistance;
    state_.wCouplingToPlate = v;
    state_.wPlateToCoupling = v;
    state_.sCo = -v;
    state_.vgkPrev = point.gridToCathode;
    // A few ticks bring the state onto the rounding of the recursion itself.
    settle(gridVoltage, kRestingTicks);
}

bool TriodeStage::stateIsFinite() const
{
    const StageState<double>& s = state_;
    return std::isfinite(s.rT) && std::isfinite(s.sCo) && std::isfinite(s.sCk) && std::isfinite(s.wCouplingToPlate) &&
           std::isfinite(s.wPlateToCoupling) && std::isfinite(s.vgkPrev);
}

void TriodeStage::storeLane(LaneChainState& lanes, int lane) const
{
    const StageCoefficients<double>& c = coefficients_;
    const StageState<double>& s = state_;
    lanes.gammaRk[lane] = c.gammaRk;
    lanes.gammaCk[lane] = c.gammaCk;
    lanes.sCk[lane] = s.sCk;
    lanes.gammaRp[lane] = c.gammaRp;
    lanes.supply[lane] = c.supply;
    lanes.gammaCoupling[lane] = c.gammaCoupling;
    lanes.rPlate[lane] = c.rPlate;
    lanes.rCathode[lane] = c.rCathode;
    lanes.gamma2S1[lane] = c.gamma2S1;
    lanes.gamma2Ro[lane] = c.gamma2Ro;
    lanes.gamma1Coupling[lane] = c.gamma1Coupling;
    lanes.gamma1Co[lane] = c.gamma1Co;
    lanes.rT[lane] = s.rT;
    lanes.sCo[lane] = s.sCo;
    lanes.wCouplingToPlate[lane] = s.wCouplingToPlate;
    lanes.wPlateToCoupling[lane] = s.wPlateToCoupling;
    lanes.vgkPrev[lane] = s.vgkPrev;
    lanes.lastPlateVoltage[lane] = s.lastPlateVoltage;
    lanes.lastPlateCurrent[lane] = s.lastPlateCurrent;
    lanes.lastCathodePortVoltage[lane] = s.lastCathodePortVoltage;
}

void TriodeStage::loadLane(const LaneChainState& lanes, int lane)
{
    StageState<double>& s = state_;
    s.rT = lanes.rT[lane];
    s.sCo = lanes.sCo[lane];
    s.wCouplingToPlate = lanes.wCouplingToPlate[lane];
    s.wPlateToCoupling = lanes.wPlateToCoupling[lane];
    s.vgkPrev = lanes.vgkPrev[lane];
    s.lastPlateVoltage = lanes.lastPlateVoltage[lane];
    s.lastPlateCurrent = lanes.lastPlateCurrent[lane];
    s.lastCathodePortVoltage = lanes.lastCathodePortVoltage[lane];
}
