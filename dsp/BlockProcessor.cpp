#include "BlockProcessor.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "DenormalGuard.h"

// The oversampled work signal of every channel for one chunk, and a place for inputs that need
// cleaning. Both are always written before they are read, so they are left uninitialised.
struct BlockProcessor::Buffers {
    std::unique_ptr<float[]> work[kChannelSlots];
    std::unique_ptr<float[]> cleanInput[kChannelSlots];
    // Input and output of the lanes that carry no channel.
    std::unique_ptr<float[]> silence;
    std::unique_ptr<float[]> discard;
    float* workView[kChannelSlots] = {};
    const float* inputView[kChannelSlots] = {};

    // Null when the memory cannot be obtained.
    static std::unique_ptr<Buffers> create(int capacity) {
        auto buffers = std::unique_ptr<Buffers>(new (std::nothrow) Buffers);
        if (!buffers) return nullptr;
        const std::size_t workLength = kChunkSamples + kMaxFactor;
        for (int channel = 0; channel < kChannelSlots; ++channel) {
            buffers->work[channel].reset(new (std::nothrow) float[workLength]);
            buffers->cleanInput[channel].reset(new (std::nothrow) float[capacity]);
            if (!buffers->work[channel] || !buffers->cleanInput[channel]) return nullptr;
            buffers->workView[channel] = buffers->work[channel].get();
        }
        buffers->silence.reset(new (std::nothrow) float[capacity]());
        buffers->discard.reset(new (std::nothrow) float[capacity]);
        if (!buffers->silence || !buffers->discard) return nullptr;
        return buffers;
    }
};

BlockProcessor::BlockProcessor() {
    if (!resampler_.allocate(kMaxFactor, kChannelSlots, kInitialCapacity)) throw std::bad_alloc();
    buffers_ = Buffers::create(kInitialCapacity);
    if (!buffers_) throw std::bad_alloc();
    capacity_ = kInitialCapacity;
    lanes_.reset(new LaneChainState);
    simdLevel_ = bestSimdLevel();
    resampler_.setFactor(8, 2);
    activeChannels_ = 2;
}

BlockProcessor::~BlockProcessor() = default;

void BlockProcessor::deriveStage(int channel, int factor) {
    // The processing rate is formed in single precision, like the host's rate.
    const float rate = hostRate_ * static_cast<float>(factor);
    slots_[channel].stage.derive(StageComponents{}, rate);
}

void BlockProcessor::copyStages(TriodeStage* to) const {
    for (int channel = 0; channel < activeChannels_; ++channel) to[channel] = slots_[channel].stage;
}

void BlockProcessor::resumeFromRest(const TriodeStage* stages) {
    for (int channel = 0; channel < activeChannels_; ++channel) {
        slots_[channel].stage = stages[channel];
        slots_[channel].equaliser.clearHistories();
        resampler_.resetChannel(channel);
    }
}

bool BlockProcessor::stagesRunAt(int factor) const {
    const double rate = hostRate_ * static_cast<float>(factor);
    for (int channel = 0; channel < activeChannels_; ++channel)
        if (slots_[channel].stage.rate() != rate) return false;
    return true;
}

void BlockProcessor::setOversampling(int factor) {
    resampler_.setFactor(factor, activeChannels_);
    for (int channel = 0; channel < activeChannels_; ++channel) {
        deriveStage(channel, factor);
        slots_[channel].equaliser.clearHistories();
    }
}

void BlockProcessor::setChannelCount(int count, int firstNew, int factor, const EqualiserGains& gains) {
    count = std::clamp(count, 0, kChannelSlots);
    firstNew = std::clamp(firstNew, 0, count);
    for (int channel = firstNew; channel < count; ++channel) {
        ChannelSlot& slot = slots_[channel];
        slot.equaliser.setGains(gains.lowDb, gains.midDb, gains.highDb);
        slot.equaliser.clearHistories();
        deriveStage(channel, factor);
        restoreRestingStage(channel);
        resampler_.resetChannel(channel);
    }
    if (factor == resampler_.factor())
        resampler_.setChannelCount(count);
    else
        resampler_.setFactor(factor, count);
    activeChannels_ = count;
}

void BlockProcessor::copyStateFrom(const BlockProcessor& other) {
    for (int channel = 0; channel < kChannelSlots; ++channel) slots_[channel] = other.slots_[channel];
    restingStage_ = other.restingStage_;
    restingBias_ = other.restingBias_;
    resampler_.copyStateFrom(other.resampler_);
    simdLevel_ = other.simdLevel_;
    activeChannels_ = other.activeChannels_;
    hostRate_ = other.hostRate_;
    rampStart_ = other.rampStart_;
}

void BlockProcessor::setEqualiserGains(const EqualiserGains& gains) {
    for (int channel = 0; channel < activeChannels_; ++channel)
        slots_[channel].equaliser.setGains(gains.lowDb, gains.midDb, gains.highDb);
}

void BlockProcessor::setHostRate(float rate) {
    for (ChannelSlot& slot : slots_) slot.equaliser.setSampleRate(rate);
    hostRate_ = rate;
}

bool BlockProcessor::setBlockSize(int frames) {
    if (frames <= 0) return true;
    const int wanted = std::min(frames, kMaxCapacity);
    if (wanted > capacity_) {
        auto grown = Buffers::create(wanted);
        if (!grown) return false;
        buffers_ = std::move(grown);
        capacity_ = wanted;
    }
    return resampler_.setBlockLength(wanted);
}

void BlockProcessor::setSimdLevel(SimdLevel level) {
    simdLevel_ = static_cast<int>(level) <= static_cast<int>(bestSimdLevel()) ? level : bestSimdLevel();
}

void BlockProcessor::suspend() { resampler_.reset(); }

void BlockProcessor::setRampStart(const Targets& start) { rampStart_ = start; }

void BlockProcessor::settleStages(double biasVoltage) {
    // Stages at the same rate share one resting point.
    for (int channel = 0; channel < kChannelSlots; ++channel) {
        TriodeStage& stage = slots_[channel].stage;
        int sameRate = 0;
        while (sameRate < channel && slots_[sameRate].stage.rate() != stage.rate()) ++sameRate;
        if (sameRate < channel)
            stage = slots_[sameRate].stage;
        else
            stage.rest(biasVoltage);
    }
    restingStage_ = slots_[0].stage;
    restingBias_ = biasVoltage;
}

void BlockProcessor::restoreRestingStage(int channel) {
    TriodeStage& stage = slots_[channel].stage;
    const double rate = stage.rate();
    stage = restingStage_;
    if (rate == restingStage_.rate()) return;
    // The kept point rests at the rate of the last settle, and a resting circuit's waves depend on the
    // rate: after an Oversample change without a resume the stage finds its own rate's resting point.
    stage.derive(StageComponents{}, rate);
    stage.rest(restingBias_);
}

void BlockProcessor::process(const float* const* inputs, float* const* outputs, int frames, const Targets& targets) {
    DenormalGuard denormalsOff;
    bool usable = inputs && outputs;
    for (int channel = 0; usable && channel < activeChannels_; ++channel) usable = outputs[channel] != nullptr;
    if (!usable || frames <= 0) {
        rampStart_ = targets;
        return;
    }

    const float* inputPiece[kChannelSlots] = {};
    float* outputPiece[kChannelSlots] = {};
    for (int done = 0; done < frames;) {
        const int length = std::min(frames - done, capacity_);
        for (int channel = 0; channel < activeChannels_; ++channel) {
            inputPiece[channel] = inputs[channel] ? inputs[channel] + done : nullptr;
            outputPiece[channel] = outputs[channel] + done;
        }
        processPiece(inputPiece, outputPiece, length, targets);
        done += length;
    }
}

void BlockProcessor::processPiece(const float* const* inputs, float* const* outputs, int frames,
                                  const Targets& targets) {
    const float* const* source = finiteInputs(inputs, frames);
    const int factor = resampler_.factor();
    Ramp ramp = rampOver(frames * factor, targets);
    if (simdLevel_ != SimdLevel::Scalar && activeChannels_ > 0) {
        runLanes(source, outputs, frames, ramp);
        recoverNonFiniteChannels(outputs, frames);
        rampStart_ = targets;
        return;
    }
    // The filters, equalisers and stages carry their state from chunk to chunk, and the ramp runs on:
    // the chunks give what one pass over the whole piece gives.
    const int chunkFrames = std::max(1, kChunkSamples / factor);
    const float* read[kChannelSlots] = {};
    float* write[kChannelSlots] = {};
    float* const* work = buffers_->workView;
    for (int done = 0; done < frames;) {
        const int length = std::min(chunkFrames, frames - done);
        for (int channel = 0; channel < activeChannels_; ++channel) {
            read[channel] = source[channel] + done;
            write[channel] = outputs[channel] + done;
        }
        if (factor > 1) {
            const int count = resampler_.upsample(read, work, length);
            runChain(work, work, count, ramp);
            resampler_.downsample(work, write, count);
        } else {
            runChain(read, write, length, ramp);
        }
        done += length;
    }
    recoverNonFiniteChannels(outputs, frames);
    rampStart_ = targets;
}

BlockProcessor::Ramp BlockProcessor::rampOver(int count, const Targets& targets) const {
    Ramp ramp;
    ramp.h = rampStart_.driveGain;
    ramp.stepH = (targets.driveGain - ramp.h) / count;
    ramp.l = rampStart_.biasVolts;
    ramp.stepL = (targets.biasVolts - ramp.l) / count;
    ramp.m = rampStart_.outputGain;
    ramp.stepM = (targets.outputGain - rampStart_.outputGain) / static_cast<float>(count);
    return ramp;
}

void BlockProcessor::runChain(const float* const* read, float* const* write, int count, Ramp& ramp) {
    double h = ramp.h, l = ramp.l, m = ramp.m;
    for (int i = 0; i < count; ++i) {
        for (int channel = 0; channel < activeChannels_; ++channel) {
            ChannelSlot& slot = slots_[channel];
            const double x = read[channel][i];
            const double sum = slot.equaliser.process(x);
            const double grid = (sum / 3.0) * h + l;
            write[channel][i] = static_cast<float>(slot.stage.tick(grid, h, l, m));
        }
        h += ramp.stepH;
        l += ramp.stepL;
        m += ramp.stepM;
    }
    ramp.h = h;
    ramp.l = l;
    ramp.m = m;
}

void BlockProcessor::runLanes(const float* const* inputs, float* const* outputs, int frames, Ramp& ramp) {
    LaneChainState& lanes = *lanes_;
    const int factor = resampler_.factor();
    const LaneKernel kernel = laneKernelFor(simdLevel_, activeChannels_);
    const int width = kernel.lanes;
    const int laneCount = (activeChannels_ + width - 1) / width * width;
    const int order = factor > 1 ? resampler_.upFilter(0).order() : 0;
    double recentX[Resamplers::cIIR::kMaxOrder + 1];
    double recentY[Resamplers::cIIR::kMaxOrder + 1];

    LaneChainJob job{};
    job.frames = frames;
    job.factor = factor;
    job.h = ramp.h;
    job.l = ramp.l;
    job.m = ramp.m;
    job.stepH = ramp.stepH;
    job.stepL = ramp.stepL;
    job.stepM = ramp.stepM;
    if (factor > 1) {
        const Resamplers::cIIR& design = resampler_.upFilter(0);
        lanes.order = order;
        std::copy_n(design.feedForward(), order + 1, lanes.b);
        std::copy_n(design.feedBack(), order + 1, lanes.f);
    }
    // Lanes beyond the active channels run channel 0's state on silence into a discarded output.
    for (int lane = 0; lane < laneCount; ++lane) {
        const bool active = lane < activeChannels_;
        const int channel = active ? lane : 0;
        slots_[channel].equaliser.storeLane(lanes, lane);
        slots_[channel].stage.storeLane(lanes, lane);
        job.in[lane] = active ? inputs[lane] : buffers_->silence.get();
        job.out[lane] = active ? outputs[lane] : buffers_->discard.get();
        if (factor > 1) {
            resampler_.upFilter(channel).copyRecent(recentX, recentY);
            for (int i = 0; i < order; ++i) {
                lanes.up.x[i][lane] = recentX[i];
                lanes.up.y[i][lane] = recentY[i];
            }
            resampler_.downFilter(channel).copyRecent(recentX, recentY);
            for (int i = 0; i < order; ++i) {
                lanes.down.x[i][lane] = recentX[i];
                lanes.down.y[i][lane] = recentY[i];
            }
        }
    }

    LaneRampEnd end{ramp.h, ramp.l, ramp.m};
    for (int first = 0; first < laneCount; first += width) {
        lanes.up.writeRow = order;
        lanes.down.writeRow = order;
        end = kernel.run(lanes, job, first);
    }
    ramp.h = end.h;
    ramp.l = end.l;
    ramp.m = end.m;

    for (int channel = 0; channel < activeChannels_; ++channel) {
        slots_[channel].equaliser.loadLane(lanes, channel);
        slots_[channel].stage.loadLane(lanes, channel);
        if (factor > 1) {
            for (auto [filter, history] : {std::pair{&resampler_.upFilter(channel), &lanes.up},
                                           std::pair{&resampler_.downFilter(channel), &lanes.down}}) {
                const int from = history->writeRow - order;
                for (int i = 0; i < order; ++i) {
                    recentX[i] = history->x[from + i][channel];
                    recentY[i] = history->y[from + i][channel];
                }
                filter->setRecent(recentX, recentY);
            }
        }
    }
}

const float* const* BlockProcessor::finiteInputs(const float* const* inputs, int frames) {
    const float** view = buffers_->inputView;
    for (int channel = 0; channel < activeChannels_; ++channel) {
        const float* input = inputs[channel];
        const bool clean =
            input && std::all_of(input, input + frames, [](float sample) { return std::isfinite(sample); });
        if (clean) {
            view[channel] = input;
            continue;
        }
        float* cleaned = buffers_->cleanInput[channel].get();
        for (int i = 0; i < frames; ++i) cleaned[i] = input && std::isfinite(input[i]) ? input[i] : 0.0f;
        view[channel] = cleaned;
    }
    return view;
}

void BlockProcessor::recoverNonFiniteChannels(float* const* outputs, int frames) {
    for (int channel = 0; channel < activeChannels_; ++channel) {
        ChannelSlot& slot = slots_[channel];
        bool healthy = slot.stage.stateIsFinite() && slot.equaliser.stateIsFinite() &&
                       resampler_.channelIsFinite(channel);
        float* output = outputs[channel];
        for (int i = 0; i < frames; ++i) {
            if (!std::isfinite(output[i])) {
                output[i] = 0.0f;
                healthy = false;
            }
        }
        if (!healthy) {
            restoreRestingStage(channel);
            slot.equaliser.clearHistories();
            resampler_.resetChannel(channel);
        }
    }
}
