#include "Resamplers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "LowpassDesigns.h"

namespace Resamplers {

namespace {

// One step of the direct-form recursion at write position w.
// Every form of the filter goes through this one expression so that they agree bit for bit:
// y = b[0]*x, then y += (b[i]*x[w-i] + f[i]*y[w-i]) for i = 1 .. order, in this order.
inline double step(const double* b, const double* f, int order, double* xh, double* yh, int w, double x) {
    xh[w] = x;
    double y = b[0] * x;
    const double* xp = xh + w;
    const double* yp = yh + w;
    for (int i = 1; i <= order; ++i) {
        y += b[i] * xp[-i] + f[i] * yp[-i];
    }
    yh[w] = y;
    return y;
}

void filterInPlace(cIIR& filter, float* samples, int count) { filter.processFloats(samples, count); }
void filterInPlace(cIIR& filter, double* samples, int count) { filter.processDoubles(samples, count); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// cFilter

void cFilter::processDoubles(double* samples, int count) {
    for (int i = 0; i < count; ++i) {
        samples[i] = process(samples[i]);
    }
}

void cFilter::processFloats(float* samples, int count) {
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(process(static_cast<double>(samples[i])));
    }
}

// ---------------------------------------------------------------------------------------------
// cIIR

cIIR::cIIR() {
    b_[0] = 1.0;
    // On allocation failure the filter keeps no history and passes samples through (see process).
    setHistoryLength(kInitialHistoryLength);
}

cIIR::~cIIR() = default;

bool cIIR::setHistoryLength(int length) {
    if (length <= kMaxOrder) {
        return false;
    }
    // Only the positions a reset filter reads before writing them need zeros (see reset); the rest is
    // written before it is read, so the long histories are neither cleared nor made resident here.
    History x(static_cast<double*>(std::malloc(static_cast<std::size_t>(length) * sizeof(double))));
    History y(static_cast<double*>(std::malloc(static_cast<std::size_t>(length) * sizeof(double))));
    if (!x || !y) {
        return false;
    }
    std::fill_n(x.get(), kMaxOrder, 0.0);
    std::fill_n(y.get(), kMaxOrder, 0.0);
    xHistory_ = std::move(x);
    yHistory_ = std::move(y);
    historyLength_ = length;
    writeIndex_ = order_;
    return true;
}

void cIIR::reset() {
    // process only reads positions writeIndex-order .. writeIndex-1 that it has not written since
    // the reset, which with writeIndex = order are [0, order): zeroing those is the same as zeroing
    // the whole history, without touching megabytes on the audio thread.
    if (xHistory_ && yHistory_) {
        std::memset(xHistory_.get(), 0, sizeof(double) * static_cast<std::size_t>(order_));
        std::memset(yHistory_.get(), 0, sizeof(double) * static_cast<std::size_t>(order_));
    }
    writeIndex_ = order_;
    if (next_) {
        next_->reset();
    }
}

void cIIR::setCutoff(double c) {
    const LowpassDesign& design = lowpassDesignFor(c);
    for (int i = 0; i <= kMaxOrder; ++i) {
        b_[i] = i <= design.order ? design.b[i] : 0.0;
        f_[i] = i <= design.order ? -design.a[i] : 0.0;
    }
    order_ = design.order;
    reset();
}

void cIIR::compact() {
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(order_);
    const int from = historyLength_ - order_;
    std::memmove(xHistory_.get(), xHistory_.get() + from, bytes);
    std::memmove(yHistory_.get(), yHistory_.get() + from, bytes);
    writeIndex_ = order_;
}

double cIIR::process(double x) {
    if (!xHistory_) {
        return next_ ? next_->process(x) : x;
    }
    const double y = step(b_, f_, order_, xHistory_.get(), yHistory_.get(), writeIndex_, x);
    if (++writeIndex_ == historyLength_) {
        compact();
    }
    return next_ ? next_->process(y) : y;
}

void cIIR::processDoublesBuffered(double* samples, int count) { processBuffered(samples, count); }

void cIIR::processFloatsBuffered(float* samples, int count) { processBuffered(samples, count); }

template <typename Sample>
void cIIR::processBuffered(Sample* samples, int count) {
    if (!xHistory_) {
        if (next_) next_->processBuffered(samples, count);
        return;
    }
    double* const xh = xHistory_.get();
    double* const yh = yHistory_.get();
    int done = 0;
    while (done < count) {
        // Up to the end of the history without a compaction test, then compact once.
        const int run = std::min(count - done, historyLength_ - writeIndex_);
        int w = writeIndex_;
        Sample* s = samples + done;
        for (int k = 0; k < run; ++k, ++w) {
            const double y = step(b_, f_, order_, xh, yh, w, static_cast<double>(s[k]));
            s[k] = static_cast<Sample>(next_ ? next_->process(y) : y);
        }
        writeIndex_ = w;
        done += run;
        if (writeIndex_ == historyLength_) {
            compact();
        }
    }
}

void cIIR::copyRecent(double* inputs, double* outputs) const {
    if (!xHistory_) {
        std::fill_n(inputs, order_, 0.0);
        std::fill_n(outputs, order_, 0.0);
        return;
    }
    std::copy_n(xHistory_.get() + writeIndex_ - order_, order_, inputs);
    std::copy_n(yHistory_.get() + writeIndex_ - order_, order_, outputs);
}

void cIIR::setRecent(const double* inputs, const double* outputs) {
    if (!xHistory_) {
        return;
    }
    std::copy_n(inputs, order_, xHistory_.get());
    std::copy_n(outputs, order_, yHistory_.get());
    writeIndex_ = order_;
}

void cIIR::copyStateFrom(const cIIR& other) {
    std::copy_n(other.b_, kMaxOrder + 1, b_);
    std::copy_n(other.f_, kMaxOrder + 1, f_);
    order_ = other.order_;
    double inputs[kMaxOrder];
    double outputs[kMaxOrder];
    other.copyRecent(inputs, outputs);
    setRecent(inputs, outputs);
}

void cIIR::setNext(std::unique_ptr<cIIR> next) {
    next_ = std::move(next);
}

bool cIIR::stateIsFinite() const {
    if (xHistory_) {
        // The samples that future outputs depend on.
        for (int i = writeIndex_ - order_; i < writeIndex_; ++i) {
            if (!std::isfinite(xHistory_[i]) || !std::isfinite(yHistory_[i])) {
                return false;
            }
        }
    }
    return !next_ || next_->stateIsFinite();
}

// ---------------------------------------------------------------------------------------------
// cResampler

bool cResampler::allocate(int, int, int) {
    return true;
}

bool cResampler::setBlockLength(int) {
    return true;
}

int cResampler::downsample(float* const* work, float* const* out, int count) {
    const int n = factor_;
    const int produced = count > 0 ? count / n : 0;
    for (int ch = 0; ch < channelCount_; ++ch) {
        for (int j = 0; j < produced; ++j) {
            out[ch][j] = work[ch][j * n];
        }
    }
    return produced;
}

// ---------------------------------------------------------------------------------------------
// cSimplestResampler

cSimplestResampler::~cSimplestResampler() = default;

bool cSimplestResampler::allocate(int maxFactor, int channels, int capacity) {
    if (maxFactor < 1 || channels < 0 || capacity < 0) {
        return false;
    }
    std::unique_ptr<cIIR[]> up(new (std::nothrow) cIIR[static_cast<std::size_t>(channels)]);
    std::unique_ptr<cIIR[]> down(new (std::nothrow) cIIR[static_cast<std::size_t>(channels)]);
    if (!up || !down) {
        return false;
    }
    for (int ch = 0; ch < channels; ++ch) {
        if (!up[ch].setHistoryLength(kHistoryLength) || !down[ch].setHistoryLength(kHistoryLength)) {
            return false;
        }
    }
    upFilters_ = std::move(up);
    downFilters_ = std::move(down);
    allocatedFactor_ = maxFactor;
    allocatedChannels_ = channels;
    blockCapacity_ = capacity;
    channelCount_ = std::min(channelCount_, channels);
    return true;
}

bool cSimplestResampler::setBlockLength(int frames) {
    // The histories do not depend on the block length, so any length can be served.
    blockCapacity_ = std::max(blockCapacity_, frames);
    blockLength_ = frames;
    return true;
}

void cSimplestResampler::setFactor(double factor, int channels) {
    channels = std::clamp(channels, 0, allocatedChannels_);
    const double cutoff = 0.5 / factor;
    for (int ch = 0; ch < channels; ++ch) {
        upFilters_[ch].setCutoff(cutoff);
        downFilters_[ch].setCutoff(cutoff);
    }
    channelCount_ = channels;
    // truncate(N); a factor below 1 (or NaN) would make the loops meaningless, so it counts as 1.
    const double whole = std::trunc(factor);
    factor_ = whole >= 1.0 ? (whole <= INT_MAX ? static_cast<int>(whole) : INT_MAX) : 1;
}

void cSimplestResampler::setChannelCount(int channels) {
    channels = std::clamp(channels, 0, allocatedChannels_);
    const double cutoff = 0.5 / factor_;
    for (int ch = channelCount_; ch < channels; ++ch) {
        upFilters_[ch].setCutoff(cutoff);
        downFilters_[ch].setCutoff(cutoff);
    }
    channelCount_ = channels;
}

void cSimplestResampler::copyStateFrom(const cSimplestResampler& other) {
    const int channels = std::min(allocatedChannels_, other.allocatedChannels_);
    for (int ch = 0; ch < channels; ++ch) {
        upFilters_[ch].copyStateFrom(other.upFilters_[ch]);
        downFilters_[ch].copyStateFrom(other.downFilters_[ch]);
    }
    factor_ = other.factor_;
    channelCount_ = std::min(other.channelCount_, channels);
    blockLength_ = other.blockLength_;
}

void cSimplestResampler::reset() {
    for (int ch = 0; ch < channelCount_; ++ch) {
        upFilters_[ch].reset();
        downFilters_[ch].reset();
    }
}

void cSimplestResampler::resetChannel(int channel) {
    if (channel >= 0 && channel < allocatedChannels_) {
        upFilters_[channel].reset();
        downFilters_[channel].reset();
    }
}

bool cSimplestResampler::channelIsFinite(int channel) const {
    if (channel < 0 || channel >= allocatedChannels_) {
        return true;
    }
    return upFilters_[channel].stateIsFinite() && downFilters_[channel].stateIsFinite();
}

int cSimplestResampler::upsample(const float* const* in, float* const* out, int frames) {
    return zeroStuffAndFilter(upFilters_.get(), in, out, frames);
}

int cSimplestResampler::downsample(float* const* work, float* const* out, int count) {
    return filterAndDecimate(downFilters_.get(), work, out, count);
}

int cSimplestResampler::upsampleDoubles(const double* const* in, double* const* out, int frames) {
    return zeroStuffAndFilter(upFilters_.get(), in, out, frames);
}

int cSimplestResampler::downsampleDoubles(double* const* work, double* const* out, int count) {
    return filterAndDecimate(downFilters_.get(), work, out, count);
}

template <typename Sample>
int cSimplestResampler::zeroStuffAndFilter(cIIR* filters, const Sample* const* in, Sample* const* out,
                                           int frames) const {
    if (frames <= 0) {
        return 0;
    }
    const int n = factor_;
    const Sample gain = static_cast<Sample>(n);  // keeps the passband gain at 1
    const int count = frames * n;
    for (int ch = 0; ch < channelCount_; ++ch) {
        const Sample* src = in[ch];
        Sample* dst = out[ch];
        for (int k = 0; k < frames; ++k) {
            Sample* group = dst + k * n;
            group[0] = gain * src[k];
            std::fill(group + 1, group + n, Sample(0));
        }
        filterInPlace(filters[ch], dst, count);
    }
    return count;
}

template <typename Sample>
int cSimplestResampler::filterAndDecimate(cIIR* filters, Sample* const* work, Sample* const* out, int count) const {
    if (count <= 0) {
        return 0;
    }
    const int n = factor_;
    const int produced = count / n;
    for (int ch = 0; ch < channelCount_; ++ch) {
        Sample* src = work[ch];
        filterInPlace(filters[ch], src, count);
        Sample* dst = out[ch];
        for (int j = 0; j < produced; ++j) {
            dst[j] = src[j * n];
        }
    }
    return produced;
}

}  // namespace Resamplers
