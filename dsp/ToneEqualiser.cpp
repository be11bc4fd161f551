#include "ToneEqualiser.h"

#include <cmath>
#include <numbers>

#include "LaneChain.h"

namespace {

constexpr double kLowShelfOmega = 2.0 * std::numbers::pi * 160.0;    // rad/s, divided by fs
constexpr double kPeakOmega = 2.0 * std::numbers::pi * 1440.0;
constexpr double kHighShelfOmega = 2.0 * std::numbers::pi * 1600.0;

// Bandwidth divisors of alpha = sin(w0) / divisor: a gentle shelf slope, and a peak one decade wide.
constexpr double kShelfAlphaDivisor = 1.44;
constexpr double kPeakAlphaDivisor = 0.7027283689263065;  // 2 * sqrt(10) / 9

// The linear amplitude A of a band's gain: 10^(dB/40), the square root of the gain's own factor.
double amplitudeFor(double db)
{
    return std::pow(10.0, db / 40.0);
}

}  // namespace

ToneEqualiser::ToneEqualiser()
{
    setGains(0.0, 0.0, 0.0);
}

void ToneEqualiser::setSampleRate(double fs)
{
    for (Band& band : bands_) {
        band.fs = fs;
        band.clearHistory();
    }
}

void ToneEqualiser::setGains(double lowDb, double midDb, double highDb)
{
    bands_[0].setLowShelf(amplitudeFor(lowDb));
    bands_[1].setPeak(amplitudeFor(midDb));
    bands_[2].setHighShelf(amplitudeFor(highDb));
}

double ToneEqualiser::process(double x)
{
    const double low = bands_[0].process(x);
    const double mid = bands_[1].process(x);
    const double high = bands_[2].process(x);
    return low + mid + high;
}

void ToneEqualiser::clearHistories()
{
    for (Band& band : bands_)
        band.clearHistory();
}

bool ToneEqualiser::stateIsFinite() const
{
    return bands_[0].historyIsFinite() && bands_[1].historyIsFinite() && bands_[2].historyIsFinite();
}

void ToneEqualiser::Band::setLowShelf(double amplitude)
{
    const double a = amplitude;
    const double w0 = kLowShelfOmega / fs;
    const double c = std::cos(w0);
    const double alpha = std::sin(w0) / kShelfAlphaDivisor;
    const double rootA = std::sqrt(a);

    setNormalised((a + 1.0) + (a - 1.0) * c + 2.0 * rootA * alpha,
                  -2.0 * ((a - 1.0) + (a + 1.0) * c),
                  (a + 1.0) + (a - 1.0) * c - 2.0 * rootA * alpha,
                  a * ((a + 1.0) - (a - 1.0) * c + 2.0 * rootA * alpha),
                  2.0 * a * ((a - 1.0) - (a + 1.0) * c),
                  a * ((a + 1.0) - (a - 1.0) * c - 2.0 * rootA * alpha));
}

void ToneEqualiser::Band::setPeak(double amplitude)
{
    const double a = amplitude;
    const double w0 = kPeakOmega / fs;
    const double c = std::cos(w0);
    const double alpha = std::sin(w0) / kPeakAlphaDivisor;

    setNormalised(1.0 + alpha / a,
                  -2.0 * c,
                  1.0 - alpha / a,
                  1.0 + alpha * a,
                  -2.0 * c,
                  1.0 - alpha * a);
}

void ToneEqualiser::Band::setHighShelf(double amplitude)
{
    const double a = amplitude;
    const double w0 = kHighShelfOmega / fs;
    const double c = std::cos(w0);
    const double alpha = std::sin(w0) / kShelfAlphaDivisor;
    const double rootA = std::sqrt(a);

    setNormalised((a + 1.0) - (a - 1.0) * c + 2.0 * rootA * alpha,
                  2.0 * ((a - 1.0) - (a + 1.0) * c),
                  (a + 1.0) - (a - 1.0) * c - 2.0 * rootA * alpha,
                  a * ((a + 1.0) + (a - 1.0) * c + 2.0 * rootA * alpha),
                  -2.0 * a * ((a - 1.0) + (a + 1.0) * c),
                  a * ((a + 1.0) + (a - 1.0) * c - 2.0 * rootA * alpha));
}

void ToneEqualiser::Band::setNormalised(double a0, double a1Raw, double a2Raw, double b0Raw, double b1Raw,
                                        double b2Raw)
{
    a1 = a1Raw / a0;
    a2 = a2Raw / a0;
    b0 = b0Raw / a0;
    b1 = b1Raw / a0;
    b2 = b2Raw / a0;
}

double ToneEqualiser::Band::process(double x)
{
    return stagemath::step<double>(*this, x);
}

void ToneEqualiser::Band::clearHistory()
{
    x1 = 0.0;
    x2 = 0.0;
    y1 = 0.0;
    y2 = 0.0;
}

bool ToneEqualiser::Band::historyIsFinite() const
{
    return std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2);
}

void ToneEqualiser::storeLane(LaneChainState& lanes, int lane) const
{
    for (int index = 0; index < 3; ++index) {
        const Band& band = bands_[index];
        LaneChainState::Band& to = lanes.bands[index];
        to.b0[lane] = band.b0;
        to.b1[lane] = band.b1;
        to.b2[lane] = band.b2;
        to.a1[lane] = band.a1;
        to.a2[lane] = band.a2;
        to.x1[lane] = band.x1;
        to.x2[lane] = band.x2;
        to.y1[lane] = band.y1;
        to.y2[lane] = band.y2;
    }
}

void ToneEqualiser::loadLane(const LaneChainState& lanes, int lane)
{
    for (int index = 0; index < 3; ++index) {
        Band& band = bands_[index];
        const LaneChainState::Band& from = lanes.bands[index];
        band.x1 = from.x1[lane];
        band.x2 = from.x2[lane];
        band.y1 = from.y1[lane];
        band.y2 = from.y2[lane];
    }
}
