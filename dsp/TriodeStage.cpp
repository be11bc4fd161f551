#include "TriodeStage.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "LaneChain.h"

namespace {

// Triode characteristic.
constexpr double kMu = 100.0;
constexpr double kExponent = 1.4;
constexpr double kKvb = 300.0;
constexpr double kKg = 530.0;
constexpr double kKp = 600.0;

constexpr double kCutOffCurrent = 1e-20;  // plate current when the characteristic gives none

// Output scaling: brings the small-signal gain at 44100 Hz close to 1 and stops compensating the
// drive gain above kDriveDivisorLimit, so that more drive still means more level.
constexpr double kOutputNormalisation = 65.7;
constexpr double kDriveDivisorLimit = 13.41;
constexpr double kBiasVoltagePerUnit = 1.6;
constexpr double kVolumeFloor = 0.0001;

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

    constexpr double kOneUpperBits = 1072632447.0;  // upper word of 1.0 less 60801, which centres the error
    const auto upper = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(base) >> 32));
    const auto scaledUpper = static_cast<std::int32_t>(fraction * (static_cast<double>(upper) - kOneUpperBits) + kOneUpperBits);
    const double approximate = std::bit_cast<double>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(scaledUpper)) << 32);

    return exact * approximate;
}

// Plate current for plate-node voltage v and grid-to-cathode voltage vgk.
inline double triodeCurrent(double v, double vgk)
{
    const double e1 = (v / kKp) * std::log(1.0 + std::exp(kKp * (1.0 / kMu + vgk / std::sqrt(kKvb + v * v))));
    return e1 > 0.0 ? fastPositivePower(e1, kExponent) / kKg : kCutOffCurrent;
}

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

    const double rk = components.cathodeResistor;
    rCathode_ = rk * rCk / (rk + rCk);
    gammaRk_ = rCathode_ / rk;
    gammaCk_ = rCathode_ / rCk;

    const double rS1 = kCouplingResistance + rCo;
    gamma1Coupling_ = kCouplingResistance / rS1;
    gamma1Co_ = rCo / rS1;

    const double rS2 = kLoadResistance + rS1;
    gamma2S1_ = rS1 / rS2;
    gamma2Ro_ = kLoadResistance / rS2;

    const double rp = components.plateResistor;
    rPlate_ = rp * kCouplingResistance / (rp + kCouplingResistance);
    gammaRp_ = rPlate_ / rp;
    gammaCoupling_ = rPlate_ / kCouplingResistance;

    adaptMainJunction();

    // Waves adapted to the old coupling-port resistances are meaningless under the new ones.
    wCouplingToPlate_ = 0.0;
    wPlateToCoupling_ = 0.0;
}

void TriodeStage::adaptMainJunction()
{
    const double halfSum = (rPlate_ + rT_ + rCathode_) / 2.0;
    gammaMainPlate_ = rPlate_ / halfSum;
    gammaMainCathode_ = rCathode_ / halfSum;
}

double TriodeStage::tick(double g, double h, double l, double m)
{
    // Cathode junction: Rk reflects nothing and Ck's wave is never advanced, so Ck acts as a resistor.
    const double bK = gammaRk_ * 0.0 + gammaCk_ * sCk_;

    // Plate junction: the supply through Rp and the wave that came back from the output network.
    const double wCpIn = wCouplingToPlate_;
    const double bP = gammaRp_ * components_.supplyVoltage + gammaCoupling_ * wCpIn;

    // Main series junction with the triode port adapted (incident wave 0).
    adaptMainJunction();
    const double sum = bP + 0.0 + bK;

    const double dP = bP - gammaMainPlate_ * sum;
    const double dK = bK - gammaMainCathode_ * sum;

    const double vPlate = (bP + dP) / 2.0;
    const double vCathodePort = (bK + dK) / 2.0;  // the negative of the physical cathode voltage

    // Output network: Co and Ro in series behind the coupling port, root shorted.
    const double wPcIn = wPlateToCoupling_;
    const double upS1 = -(sCo_ + wPcIn);
    const double incidentS2 = 2.0 * upS1;
    const double downS1 = upS1 - gamma2S1_ * incidentS2;
    const double downRo = 0.0 - gamma2Ro_ * incidentS2;
    const double sumS1 = downS1 - upS1;
    wCouplingToPlate_ = wPcIn - gamma1Coupling_ * sumS1;
    sCo_ = sCo_ - gamma1Co_ * sumS1;
    const double vOut = (downRo + 0.0) / 2.0;

    // The plate junction's wave out of the coupling port, for the output network's next sample.
    wPlateToCoupling_ = bP + dP - wCpIn;

    // The grid voltage of this sample drives the triode from the next sample on.
    const double vgkUsed = vgkPrev_;
    vgkPrev_ = g + vCathodePort;

    // Triode characteristic at the plate-node voltage.
    const double v = vPlate;
    const double ip = triodeCurrent(v, vgkUsed);

    rT_ = v / ip;

    lastPlateVoltage_ = vPlate;
    lastPlateCurrent_ = ip;
    lastCathodePortVoltage_ = vCathodePort;

    const double biasUnits = l / kBiasVoltagePerUnit;
    return -(vOut / kOutputNormalisation) * (1.0 + biasUnits * biasUnits) / std::min(kDriveDivisorLimit, h) *
           (m + kVolumeFloor);
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
    const double supplyWave = gammaRp_ * components_.supplyVoltage;
    struct Trial {
        double resistance, gridToCathode, mismatch;
    };
    auto trial = [&](double v) {
        const double bP = supplyWave + gammaCoupling_ * v;
        const double loop = rPlate_ * bP / (bP - v);  // rPlate + rT + rCathode
        const double vgk = gridVoltage - rCathode_ * bP / loop;
        const double resistance = loop - rPlate_ - rCathode_;
        return Trial{resistance, vgk, resistance - v / triodeCurrent(v, vgk)};
    };
    const double bound = rCathode_ / (rPlate_ + rCathode_);
    double low = supplyWave * bound / (1.0 - gammaCoupling_ * bound);
    double high = components_.supplyVoltage;
    for (int step = 0; step < 200; ++step) {
        const double middle = 0.5 * (low + high);
        if (!(middle > low && middle < high)) break;
        (trial(middle).mismatch < 0.0 ? low : high) = middle;
    }
    const double v = 0.5 * (low + high);
    const Trial point = trial(v);
    if (!std::isfinite(point.resistance) || point.resistance <= 0.0) return;

    rT_ = point.resistance;
    adaptMainJunction();
    wCouplingToPlate_ = v;
    wPlateToCoupling_ = v;
    sCo_ = -v;
    vgkPrev_ = point.gridToCathode;
    // A few ticks bring the state onto the rounding of the recursion itself.
    settle(gridVoltage, kRestingTicks);
}

bool TriodeStage::stateIsFinite() const
{
    return std::isfinite(rT_) && std::isfinite(sCo_) && std::isfinite(sCk_) && std::isfinite(wCouplingToPlate_) &&
           std::isfinite(wPlateToCoupling_) && std::isfinite(vgkPrev_);
}

double TriodeStage::outputPerVolt(double h, double l, double m)
{
    const double biasUnits = l / kBiasVoltagePerUnit;
    return (1.0 + biasUnits * biasUnits) / std::min(kDriveDivisorLimit, h) * (m + kVolumeFloor) / kOutputNormalisation;
}

void TriodeStage::storeLane(LaneChainState& lanes, int lane) const
{
    lanes.gammaRk[lane] = gammaRk_;
    lanes.gammaCk[lane] = gammaCk_;
    lanes.sCk[lane] = sCk_;
    lanes.gammaRp[lane] = gammaRp_;
    lanes.supply[lane] = components_.supplyVoltage;
    lanes.gammaCoupling[lane] = gammaCoupling_;
    lanes.rPlate[lane] = rPlate_;
    lanes.rCathode[lane] = rCathode_;
    lanes.gamma2S1[lane] = gamma2S1_;
    lanes.gamma2Ro[lane] = gamma2Ro_;
    lanes.gamma1Coupling[lane] = gamma1Coupling_;
    lanes.gamma1Co[lane] = gamma1Co_;
    lanes.rT[lane] = rT_;
    lanes.sCo[lane] = sCo_;
    lanes.wCouplingToPlate[lane] = wCouplingToPlate_;
    lanes.wPlateToCoupling[lane] = wPlateToCoupling_;
    lanes.vgkPrev[lane] = vgkPrev_;
    lanes.lastPlateVoltage[lane] = lastPlateVoltage_;
    lanes.lastPlateCurrent[lane] = lastPlateCurrent_;
    lanes.lastCathodePortVoltage[lane] = lastCathodePortVoltage_;
}

void TriodeStage::loadLane(const LaneChainState& lanes, int lane)
{
    rT_ = lanes.rT[lane];
    adaptMainJunction();
    sCo_ = lanes.sCo[lane];
    wCouplingToPlate_ = lanes.wCouplingToPlate[lane];
    wPlateToCoupling_ = lanes.wPlateToCoupling[lane];
    vgkPrev_ = lanes.vgkPrev[lane];
    lastPlateVoltage_ = lanes.lastPlateVoltage[lane];
    lastPlateCurrent_ = lanes.lastPlateCurrent[lane];
    lastCathodePortVoltage_ = lanes.lastCathodePortVoltage[lane];
}
