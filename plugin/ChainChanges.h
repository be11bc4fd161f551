#pragma once

#include <atomic>
#include <climits>

// Reconfigurations of the signal chain requested by parameter changes on any thread and carried out
// on the audio thread at the start of its next block, so the chain is never seen half-changed and
// the audio thread neither locks nor waits. Each request stores its value before it raises its
// counter; `take` reads the counters first, so it sees values at least as new as the counters.
class ChainChanges {
public:
    struct Pending {
        bool factorChanged = false;
        bool channelsChanged = false;
        bool equaliserChanged = false;
        int factor = 0;
        int channelCount = 0;
        int lowestChannelCount = INT_MAX;  // the lowest count requested since the last take

        bool any() const { return factorChanged || channelsChanged || equaliserChanged; }
    };

    ChainChanges(int factor, int channelCount) : factor_(factor), channelCount_(channelCount) {}

    void requestFactor(int factor) {
        factor_.store(factor, std::memory_order_relaxed);
        factorRequests_.fetch_add(1, std::memory_order_release);
    }

    void requestChannelCount(int count) {
        channelCount_.store(count, std::memory_order_relaxed);
        int lowest = lowestChannelCount_.load(std::memory_order_relaxed);
        while (count < lowest && !lowestChannelCount_.compare_exchange_weak(lowest, count, std::memory_order_relaxed)) {
        }
        channelRequests_.fetch_add(1, std::memory_order_release);
    }

    void requestEqualiserUpdate() { equaliserRequests_.fetch_add(1, std::memory_order_release); }

    // Audio thread only: what was requested since the previous take.
    Pending take() {
        Pending pending;
        const unsigned factorRequests = factorRequests_.load(std::memory_order_acquire);
        const unsigned channelRequests = channelRequests_.load(std::memory_order_acquire);
        const unsigned equaliserRequests = equaliserRequests_.load(std::memory_order_acquire);
        pending.factorChanged = factorRequests != seenFactorRequests_;
        pending.channelsChanged = channelRequests != seenChannelRequests_;
        pending.equaliserChanged = equaliserRequests != seenEqualiserRequests_;
        seenFactorRequests_ = factorRequests;
        seenChannelRequests_ = channelRequests;
        seenEqualiserRequests_ = equaliserRequests;
        pending.factor = factor_.load(std::memory_order_relaxed);
        pending.channelCount = channelCount_.load(std::memory_order_relaxed);
        if (pending.channelsChanged)
            pending.lowestChannelCount = lowestChannelCount_.exchange(INT_MAX, std::memory_order_relaxed);
        return pending;
    }

private:
    std::atomic<int> factor_;
    std::atomic<int> channelCount_;
    std::atomic<int> lowestChannelCount_{INT_MAX};
    std::atomic<unsigned> factorRequests_{0};
    std::atomic<unsigned> channelRequests_{0};
    std::atomic<unsigned> equaliserRequests_{0};
    unsigned seenFactorRequests_ = 0;
    unsigned seenChannelRequests_ = 0;
    unsigned seenEqualiserRequests_ = 0;
};
