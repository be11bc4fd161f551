#include "EffectChain.h"

using namespace Parameters;

void EffectChain::restart(const Settings& settings) {
    applyEqualiserChanges(settings);
    switcher_.restart(setup(settings), targets(settings));
}

void EffectChain::process(const float* const* inputs, float* const* outputs, int frames, const Settings& settings) {
    applyEqualiserChanges(settings);
    switcher_.process(inputs, outputs, frames, setup(settings), targets(settings));
}

void EffectChain::setHostRate(float rate) {
    switcher_.setHostRate(rate);
    equaliserStale_ = true;  // the equalisers keep their coefficients for the old rate until then
}

void EffectChain::applyEqualiserChanges(const Settings& settings) {
    if (!equaliserStale_ && settings.equaliserChanges == equaliserChangesSeen_) return;
    equaliserChangesSeen_ = settings.equaliserChanges;
    equaliserStale_ = false;
    switcher_.setEqualiserGains(equaliserGains(settings));
}

ChainSwitcher::Setup EffectChain::setup(const Settings& settings) {
    return {oversamplingFactor(settings.value(kOversample)),
            channelCount(settings.value(kChannelMode)),
            biasVolts(settings.value(kBias)),
            settings.programLoads,
            settings.factorSettings};
}

BlockProcessor::Targets EffectChain::targets(const Settings& settings) {
    return {driveGain(settings.value(kDrive)),
            biasVolts(settings.value(kBias)),
            Parameters::outputGain(settings.value(kVolume))};
}

BlockProcessor::EqualiserGains EffectChain::equaliserGains(const Settings& settings) {
    return {toneDecibels(settings.value(kLoFreq)), toneDecibels(settings.value(kMidFreq)), toneDecibels(settings.value(kHiFreq))};
}
