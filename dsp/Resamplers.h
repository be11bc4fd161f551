#pragma once

#include <cstdlib>
#include <memory>

// Integer-factor oversampling: zero-stuffing followed by an IIR low-pass on the way up, the same
// low-pass followed by decimation on the way down.
namespace Resamplers {

class cFilter {
public:
    virtual ~cFilter() = default;
    virtual void reset() = 0;
    // Installs the design for normalised cutoff c (a fraction of the filter's own rate) and resets.
    virtual void setCutoff(double c) = 0;
    virtual double process(double x) = 0;
    virtual void processDoubles(double* samples, int count);
    virtual void processFloats(float* samples, int count);
};

// Direct-form IIR filter of order up to 128 over linear histories much longer than the order, so
// that a sample indexes backwards without wrapping and the histories are compacted only once every
// historyLength - order samples.
class cIIR : public cFilter {
public:
    static constexpr int kMaxOrder = 128;
    static constexpr int kInitialHistoryLength = 1024 + kMaxOrder;

    cIIR();  // identity filter of order 128 with zeroed histories
    ~cIIR() override;
    cIIR(const cIIR&) = delete;
    cIIR& operator=(const cIIR&) = delete;

    void reset() override;
    void setCutoff(double c) override;
    double process(double x) override;

    // Block forms of process: filter up to the end of the history, compact once, filter the rest.
    // A block must not exceed historyLength() - order() samples.
    virtual void processDoublesBuffered(double* samples, int count);
    virtual void processFloatsBuffered(float* samples, int count);

    // Reallocates both histories to `length` samples and zeroes them (writeIndex = order). The
    // length must exceed kMaxOrder, so that any design fits; otherwise, and on allocation failure,
    // returns false and keeps the old histories.
    bool setHistoryLength(int length);

    // The last order() inputs and outputs, oldest first; and setting them, as if they had just been
    // filtered (the recursion carries on from there).
    void copyRecent(double* inputs, double* outputs) const;
    void setRecent(const double* inputs, const double* outputs);
    // Takes over another filter's design and recent samples, so both go on to give the same output.
    // Allocates nothing; the histories keep their own lengths.
    void copyStateFrom(const cIIR& other);

    // Attaches a filter applied to this one's output (a cascade); null detaches.
    void setNext(std::unique_ptr<cIIR> next);

    int order() const { return order_; }
    int historyLength() const { return historyLength_; }
    const double* feedForward() const { return b_; }
    const double* feedBack() const { return f_; }  // stored negated: f[i] = -a[i]
    bool stateIsFinite() const;

private:
    struct FreeDeleter { void operator()(double* p) const { std::free(p); } };
    using History = std::unique_ptr<double[], FreeDeleter>;

    void compact();
    template <typename Sample>
    void processBuffered(Sample* samples, int count);

    int order_ = kMaxOrder;
    int historyLength_ = 0;
    int writeIndex_ = kMaxOrder;
    double b_[kMaxOrder + 1] = {};
    double f_[kMaxOrder + 1] = {};
    History xHistory_;
    History yHistory_;
    std::unique_ptr<cIIR> next_;
};

class cResampler {
public:
    virtual ~cResampler() = default;
    virtual void setFactor(double factor, int channels) = 0;
    virtual void reset() = 0;
    // Prepares for at most `maxFactor`, `channels` channels and blocks of `capacity` frames.
    // Returns false when memory could not be obtained. The base does nothing.
    virtual bool allocate(int maxFactor, int channels, int capacity);
    // Announces the block length. Returns false when it cannot be served.
    virtual bool setBlockLength(int frames);
    // Returns the number of samples written per channel.
    virtual int upsample(const float* const* in, float* const* out, int frames) = 0;
    // Plain decimation in the base; returns count / factor.
    virtual int downsample(float* const* work, float* const* out, int count);

    int factor() const { return factor_; }
    int channelCount() const { return channelCount_; }

protected:
    int factor_ = 1;
    int channelCount_ = 1;
};

// Every filter keeps a short history of kHistoryLength samples whatever the block capacity: the
// recursion only ever reads the last `order` samples, and compacting them costs 2 x order copies
// every kHistoryLength - order samples.
class cSimplestResampler : public cResampler {
public:
    static constexpr int kHistoryLength = 2 * cIIR::kMaxOrder;

    cSimplestResampler() = default;
    ~cSimplestResampler() override;

    void setFactor(double factor, int channels) override;
    void reset() override;
    bool allocate(int maxFactor, int channels, int capacity) override;
    bool setBlockLength(int frames) override;
    int upsample(const float* const* in, float* const* out, int frames) override;
    int downsample(float* const* work, float* const* out, int count) override;
    virtual int upsampleDoubles(const double* const* in, double* const* out, int frames);
    virtual int downsampleDoubles(double* const* work, double* const* out, int count);

    // Serves `channels` channels at the present factor: the channels served already keep their
    // filters' memory, channels served anew start from silence.
    void setChannelCount(int channels);
    // Takes over another resampler's factor, channels and filter states; both must have been
    // allocated alike. Allocates nothing.
    void copyStateFrom(const cSimplestResampler& other);
    // Clears the up- and down-filter of one channel, e.g. after its signal became non-finite.
    void resetChannel(int channel);
    bool channelIsFinite(int channel) const;

    int blockLength() const { return blockLength_; }
    int blockCapacity() const { return blockCapacity_; }
    int allocatedChannels() const { return allocatedChannels_; }
    const cIIR& upFilter(int channel) const { return upFilters_[channel]; }
    const cIIR& downFilter(int channel) const { return downFilters_[channel]; }
    cIIR& upFilter(int channel) { return upFilters_[channel]; }
    cIIR& downFilter(int channel) { return downFilters_[channel]; }

private:
    // Zero-stuffing and filtering, and filtering and decimation, for float and double work arrays.
    template <typename Sample>
    int zeroStuffAndFilter(cIIR* filters, const Sample* const* in, Sample* const* out, int frames) const;
    template <typename Sample>
    int filterAndDecimate(cIIR* filters, Sample* const* work, Sample* const* out, int count) const;

    std::unique_ptr<cIIR[]> upFilters_;
    std::unique_ptr<cIIR[]> downFilters_;
    int blockLength_ = 0;
    int allocatedFactor_ = 0;
    int allocatedChannels_ = 0;
    int blockCapacity_ = 0;
};

}  // namespace Resamplers
