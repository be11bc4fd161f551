#include "ChainSwitcher.h"

#include "StageMath.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

BlockProcessor::Targets withBias(const BlockProcessor::Targets& targets, double biasVolts) {
    return {targets.driveGain, biasVolts, targets.outputGain};
}

int fadeFrames(float hostRate) {
    return std::max(1, static_cast<int>(std::lround(ChainSwitcher::kFadeSeconds * hostRate)));
}

}  // namespace

ChainSwitcher::ChainSwitcher() {
    chains_[0] = std::make_unique<BlockProcessor>();
    chains_[1] = std::make_unique<BlockProcessor>();
    activeSetup_ = {active().factor(), active().activeChannels(), active().rampStart().biasVolts};
    if (!setBlockSize(active().capacity())) throw std::bad_alloc();
    fadeLength_ = fadeFrames(active().hostRate());
}

void ChainSwitcher::restart(const Setup& setup, const BlockProcessor::Targets& start) {
    fading_ = false;
    heard_ = false;
    resting_ = false;
    restingFrames_ = 0;
    BlockProcessor& chain = active();
    if (setup.channels != chain.activeChannels())
        chain.setChannelCount(setup.channels, chain.activeChannels(), chain.factor(), gains_);
    if (setup.factor != chain.factor() || setup.factorSettings != activeSetup_.factorSettings)
        chain.setOversampling(setup.factor);
    chain.settleStages(setup.biasVolts);
    chain.setRampStart(withBias(start, setup.biasVolts));
    activeSetup_ = setup;
}

void ChainSwitcher::applySetup(BlockProcessor& chain, const Setup& from, const Setup& to) {
    if (to.channels != from.channels)
        chain.setChannelCount(to.channels, from.channels, chain.factor(), gains_);
    const bool rederived = to.factor != from.factor || to.factorSettings != from.factorSettings;
    if (rederived) chain.setOversampling(to.factor);
    // A new rate or bias moves every stage's resting point; new channels already rest at the old one.
    if (rederived || to.biasVolts != from.biasVolts)
        chain.settleStages(to.biasVolts);
    chain.setRampStart(withBias(chain.rampStart(), to.biasVolts));
}

void ChainSwitcher::absorbUnchangedFactor(const Setup& wanted) {
    if (wanted.factorSettings != activeSetup_.factorSettings && wanted.factor == activeSetup_.factor &&
        active().stagesRunAt(wanted.factor))
        activeSetup_.factorSettings = wanted.factorSettings;
}

void ChainSwitcher::beginFade(const Setup& wanted, const BlockProcessor::Targets& targets) {
    wake();
    BlockProcessor& chain = incoming();
    chain.copyStateFrom(active());
    chain.setEqualiserGains(gains_);
    const bool fromRest = wanted.programLoads != activeSetup_.programLoads || movesDriveSharply(active(), targets);
    applySetup(chain, activeSetup_, wanted);
    if (fromRest) {
        chain.settleStages(wanted.biasVolts);
        chain.setRampStart(withBias(targets, wanted.biasVolts));
    }
    incomingSetup_ = wanted;
    fading_ = true;
    fadePosition_ = 0;
}

void ChainSwitcher::finishFade() {
    activeIndex_ = 1 - activeIndex_;
    activeSetup_ = incomingSetup_;
    fading_ = false;
}

bool ChainSwitcher::movesDriveSharply(const BlockProcessor& chain, const BlockProcessor::Targets& targets) {
    const double from = stagemath::driveDivisor(chain.rampStart().driveGain);
    const double to = stagemath::driveDivisor(targets.driveGain);
    return to * kSharpDriveStep < from || from * kSharpDriveStep < to;
}

bool ChainSwitcher::needsFade(const Setup& wanted, const BlockProcessor::Targets& targets) const {
    return !(wanted == activeSetup_) || (heard_ && movesDriveSharply(active(), targets));
}

void ChainSwitcher::process(const float* const* inputs, float* const* outputs, int frames, const Setup& wanted,
                            const BlockProcessor::Targets& wantedTargets) {
    absorbUnchangedFactor(wanted);
    if (!heard_ && !(wanted == activeSetup_)) {
        restart(wanted, withBias(active().rampStart(), wanted.biasVolts));
    } else if (!fading_) {
        if (needsFade(wanted, wantedTargets)) beginFade(wanted, wantedTargets);
    } else if (fadePosition_ == 0 && !(wanted == incomingSetup_)) {
        // Nothing of this crossfade has been heard yet, so it can still aim elsewhere.
        fading_ = false;
        if (needsFade(wanted, wantedTargets)) beginFade(wanted, wantedTargets);
    }
    // A sharp step of Drive during a crossfade waits for the next one.
    BlockProcessor::Targets targets = wantedTargets;
    if (fading_ && movesDriveSharply(incoming(), targets)) targets.driveGain = incoming().rampStart().driveGain;

    // New Drive or gain change what the stages send on: a resting chain is woken to play it.
    const BlockProcessor::Targets& start = active().rampStart();
    if (targets.driveGain != start.driveGain || targets.outputGain != start.outputGain) wake();

    const int played = fading_ ? std::max(activeSetup_.channels, incomingSetup_.channels) : activeSetup_.channels;
    bool usable = inputs && outputs && frames > 0;
    for (int channel = 0; usable && channel < played; ++channel) usable = outputs[channel] != nullptr;
    if (!usable) {
        // Nothing to play: the ramps still adopt their targets.
        if (fading_)
            incoming().process(inputs, outputs, 0, withBias(targets, incomingSetup_.biasVolts));
        else
            active().process(inputs, outputs, 0, withBias(targets, activeSetup_.biasVolts));
        return;
    }

    heard_ = true;
    if (!fading_) {
        const bool silent = inputIsSilent(inputs, frames, activeSetup_.channels);
        if (!silent) wake();
        if (resting_ && silence_ == Silence::Skip) {
            silenceUnplayed(outputs, frames, 0);
            return;
        }
        playSteady(inputs, outputs, frames, silent, targets);
        return;
    }
    const float* inputPiece[kChannelSlots] = {};
    float* outputPiece[kChannelSlots] = {};
    for (int done = 0; done < frames;) {
        const int length = std::min(frames - done, scratchCapacity_);
        for (int channel = 0; channel < kChannelSlots; ++channel) {
            inputPiece[channel] = inputs[channel] ? inputs[channel] + done : nullptr;
            outputPiece[channel] = outputs[channel] ? outputs[channel] + done : nullptr;
        }
        if (fading_) {
            crossfadePiece(inputPiece, outputPiece, length, targets);
            silenceUnplayed(outputPiece, length, played);
        } else {
            active().process(inputPiece, outputPiece, length, withBias(targets, activeSetup_.biasVolts));
            silenceUnplayed(outputPiece, length, activeSetup_.channels);
        }
        done += length;
    }
}

void ChainSwitcher::crossfadePiece(const float* const* inputs, float* const* outputs, int frames,
                                   const BlockProcessor::Targets& targets) {
    float* scratch[kChannelSlots];
    for (int channel = 0; channel < kChannelSlots; ++channel) scratch[channel] = scratch_[channel].get();
    // The chain faded into reads the inputs first: a host may hand the same buffers as outputs.
    incoming().process(inputs, scratch, frames, withBias(targets, incomingSetup_.biasVolts));
    active().process(inputs, outputs, frames, active().rampStart());

    const int leaving = activeSetup_.channels;
    const int arriving = incomingSetup_.channels;
    const double step = 1.0 / fadeLength_;
    for (int channel = 0; channel < std::max(leaving, arriving); ++channel) {
        float* output = outputs[channel];
        const float* faded = scratch[channel];
        for (int i = 0; i < frames; ++i) {
            const double weight = std::min(1.0, (fadePosition_ + i + 1) * step);
            const double from = channel < leaving ? output[i] : 0.0;
            const double to = channel < arriving ? faded[i] : 0.0;
            output[i] = static_cast<float>((1.0 - weight) * from + weight * to);
        }
    }
    fadePosition_ += frames;
    if (fadePosition_ >= fadeLength_) finishFade();
}

void ChainSwitcher::playSteady(const float* const* inputs, float* const* outputs, int frames, bool silent,
                               const BlockProcessor::Targets& targets) {
    active().process(inputs, outputs, frames, withBias(targets, activeSetup_.biasVolts));
    silenceUnplayed(outputs, frames, activeSetup_.channels);
    if (resting_) return;
    if (!silent || silence_ == Silence::Ignore || !outputRests(outputs, frames, activeSetup_.channels)) {
        restingFrames_ = 0;
        return;
    }
    restingFrames_ += frames;
    if (restingFrames_ < kRestingFrames) return;
    active().copyStages(restingStages_);
    resting_ = true;
}

void ChainSwitcher::wake() {
    restingFrames_ = 0;
    if (!resting_) return;
    active().resumeFromRest(restingStages_);
    resting_ = false;
}

bool ChainSwitcher::inputIsSilent(const float* const* inputs, int frames, int channels) {
    for (int channel = 0; channel < channels; ++channel) {
        const float* input = inputs[channel];
        if (input && !std::all_of(input, input + frames, [](float sample) { return sample == 0.0f; })) return false;
    }
    return true;
}

bool ChainSwitcher::outputRests(const float* const* outputs, int frames, int channels) {
    for (int channel = 0; channel < channels; ++channel) {
        const float* output = outputs[channel];
        if (!std::all_of(output, output + frames, [](float sample) { return std::abs(sample) <= kRestingLevel; }))
            return false;
    }
    return true;
}

void ChainSwitcher::silenceUnplayed(float* const* outputs, int frames, int played) {
    for (int channel = std::max(played, 0); channel < kChannelSlots; ++channel)
        if (outputs[channel]) std::fill_n(outputs[channel], frames, 0.0f);
}

void ChainSwitcher::setEqualiserGains(const BlockProcessor::EqualiserGains& gains) {
    gains_ = gains;
    wake();
    incoming().setEqualiserGains(gains);
    if (!fading_) active().setEqualiserGains(gains);
}

void ChainSwitcher::setHostRate(float rate) {
    for (auto& chain : chains_) chain->setHostRate(rate);
    fadeLength_ = fadeFrames(rate);
}

bool ChainSwitcher::setBlockSize(int frames) {
    bool grown = true;
    for (auto& chain : chains_) grown = chain->setBlockSize(frames) && grown;
    const int capacity = std::min(chains_[0]->capacity(), chains_[1]->capacity());
    if (capacity > scratchCapacity_) {
        std::unique_ptr<float[]> buffers[kChannelSlots];
        for (auto& buffer : buffers) {
            buffer.reset(new (std::nothrow) float[static_cast<std::size_t>(capacity)]);
            if (!buffer) return false;
        }
        for (int channel = 0; channel < kChannelSlots; ++channel) scratch_[channel] = std::move(buffers[channel]);
        scratchCapacity_ = capacity;
    }
    return grown;
}

void ChainSwitcher::suspend() {
    wake();
    if (fading_) finishFade();
    active().suspend();
}

void ChainSwitcher::setSimdLevel(SimdLevel level) {
    for (auto& chain : chains_) chain->setSimdLevel(level);
}
