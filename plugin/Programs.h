#pragma once

#include <atomic>
#include <cstdint>

#include "Parameters.h"

// What a program holds: a zero-terminated name and the eight parameter values in storage order.
struct ProgramContents {
    static constexpr int kNameSize = 24;  // 23 characters and the terminator

    char name[kNameSize];
    float values[Parameters::kCount];

    float value(int index) const { return values[Parameters::storageSlot(index)]; }
    void setValue(int index, float v) { values[Parameters::storageSlot(index)] = v; }
    bool operator==(const ProgramContents&) const = default;
};
static_assert(sizeof(ProgramContents) == 24 + 8 * sizeof(float));

// One program of the bank, or a compare slot. Host automation writes values on the audio thread while
// the user-interface thread reads, copies and renames records, so every value is atomic, and a count
// of writes lets a whole-record read retry until no write touched the record while it read: a copy is
// always a state the record really had. Writing a value never waits. Names are read and written on
// the user-interface thread only.
class ProgramRecord {
public:
    static constexpr int kNameSize = ProgramContents::kNameSize;

    ProgramRecord();  // empty name, every value 0
    ProgramRecord(const ProgramContents& contents);
    ProgramRecord(const ProgramRecord& other);
    ProgramRecord& operator=(const ProgramRecord& other);

    char name[kNameSize];

    float value(int index) const { return values_[Parameters::storageSlot(index)].load(std::memory_order_relaxed); }
    void setValue(int index, float v);
    // Copies at most 23 bytes of the UTF-8 `text`, whole characters only, and terminates; the rest of
    // the field is cleared.
    void setName(const char* text);
    bool nameIs(const char* text) const;

    // The whole record, name and values, as one consistent state.
    ProgramContents contents() const;
    void assign(const ProgramContents& contents);

    // "Init" with Drive 0, Bias 0.7, tone 0.5, Volume 2/3, Oversample 0.6 (8x), Stereo.
    static ProgramContents makeDefault();

private:
    // Low half: writes under way; high half: writes finished (wrapping).
    static constexpr std::uint64_t kWriteFinished = std::uint64_t{1} << 32;
    static constexpr std::uint64_t kWritesUnderWay = kWriteFinished - 1;
    void beginWrite();
    void endWrite();

    std::atomic<float> values_[Parameters::kCount];
    std::atomic<std::uint64_t> writes_{0};
};
static_assert(std::atomic<float>::is_always_lock_free && std::atomic<std::uint64_t>::is_always_lock_free);

namespace Programs {

constexpr int kFactoryCount = 12;
constexpr int kProgramCount = 20;          // what the host can address
constexpr int kEditSlot = kProgramCount;   // the editor's working record
constexpr int kBankSize = kProgramCount + 1;

// Fills `bank` (kBankSize records) with the factory and user programs and a copy of program 0
// in the edit slot.
void buildBank(ProgramRecord* bank);

}  // namespace Programs
