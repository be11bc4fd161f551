#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

// The program that parameter changes are written into, and program changes that must not mix with
// them. Hosts play automation through setParameter on their audio thread while the user picks a
// program on the user-interface thread. Every value write is ordered entirely before a program change
// (it lands in the program left, and the change then replaces it in the values in force) or entirely
// after it (it lands in the new program): a value is never half in one and half in the other.
//
// Value writers never wait. A program change waits only for the writes that were already under way
// when it began (a few stores each), and for a program change begun by another thread. Writers count
// themselves in one of two counters, chosen by a generation that every change flips, so a stream of
// new writes cannot keep a change waiting.
class ProgramSelection {
public:
    struct State {
        int program = 0;   // where values go
        int previous = 0;  // the program being left while `changing`
        bool changing = false;
        int generation = 0;
    };

    explicit ProgramSelection(int program) : state_(encode({program, program, false, 0})) {}

    // One value write: hold it from before reading the state until the last store.
    class Write {
    public:
        explicit Write(ProgramSelection& selection) : selection_(selection) {
            for (;;) {
                const int generation = decode(selection_.state_.load(std::memory_order_seq_cst)).generation;
                selection_.writers_[generation].fetch_add(1, std::memory_order_seq_cst);
                state_ = decode(selection_.state_.load(std::memory_order_seq_cst));
                if (state_.generation == generation) return;
                selection_.writers_[generation].fetch_sub(1, std::memory_order_release);  // a change began
            }
        }
        ~Write() { selection_.writers_[state_.generation].fetch_sub(1, std::memory_order_release); }
        Write(const Write&) = delete;
        Write& operator=(const Write&) = delete;

        const State& state() const { return state_; }

    private:
        ProgramSelection& selection_;
        State state_;
    };

    // From beginChange until endChange, writers see `changing`, with the old and the new program.
    void beginChange(int program) {
        std::uint32_t expected = state_.load(std::memory_order_seq_cst);
        State current;
        for (;;) {
            current = decode(expected);
            if (current.changing) {
                std::this_thread::yield();
                expected = state_.load(std::memory_order_seq_cst);
            } else if (state_.compare_exchange_weak(expected, encode({program, current.program, true, 1 - current.generation}),
                                                    std::memory_order_seq_cst)) {
                break;
            }
        }
        // Every writer that read the state before the exchange counted itself under the old generation.
        while (writers_[current.generation].load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    }

    void endChange() {
        State current = decode(state_.load(std::memory_order_seq_cst));
        current.previous = current.program;
        current.changing = false;
        state_.store(encode(current), std::memory_order_seq_cst);
    }

private:
    static std::uint32_t encode(const State& state) {
        return static_cast<std::uint32_t>(state.program & 0xFF) | static_cast<std::uint32_t>(state.previous & 0xFF) << 8 |
               (state.changing ? 1u << 16 : 0u) | static_cast<std::uint32_t>(state.generation & 1) << 17;
    }
    static State decode(std::uint32_t word) {
        return {static_cast<int>(word & 0xFF), static_cast<int>(word >> 8 & 0xFF), (word >> 16 & 1u) != 0,
                static_cast<int>(word >> 17 & 1u)};
    }

    std::atomic<std::uint32_t> state_;
    std::atomic<int> writers_[2] = {0, 0};
};
