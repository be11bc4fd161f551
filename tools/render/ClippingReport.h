#pragma once

// What the summary says about samples an output clipped at full scale: how many on which channels and
// by how much, and the two ways to keep them, a float output or a lower Volume.

#include <optional>
#include <string>

#include "ClipMeter.h"
#include "OutputFormat.h"

// Empty when nothing was clipped: the output is float, or no sample lay beyond full scale. `volume`
// is the Volume value the render ran with, if the effect has that parameter.
std::string clippingReport(const ClipMeter& meter, const OutputFormat& format, std::optional<float> volume);

// The Volume value, rounded down to thousandths, that lowers the output by at least `decibels`
// from `volume`; nothing when Volume cannot go that low.
std::optional<float> volumeLoweredBy(float volume, double decibels);
