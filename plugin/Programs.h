#pragma once

#include "Parameters.h"

// One program: a zero-terminated name and the eight parameter values in storage order.
struct ProgramRecord {
    static constexpr int kNameSize = 24;  // 23 characters and the terminator

    char name[kNameSize];
    float values[Parameters::kCount];

    float value(int index) const { return values[Parameters::storageSlot(index)]; }
    void setValue(int index, float v) { values[Parameters::storageSlot(index)] = v; }
    // Copies at most 23 characters of `text` and terminates; the rest of the field is cleared.
    void setName(const char* text);
    bool nameIs(const char* text) const;

    // "Init" with Drive 0, Bias 0.7, tone 0.5, Volume 2/3, Oversample 0.6 (8x), Stereo.
    static ProgramRecord makeDefault();
};
static_assert(sizeof(ProgramRecord) == 24 + 8 * sizeof(float));

namespace Programs {

constexpr int kFactoryCount = 12;
constexpr int kProgramCount = 20;          // what the host can address
constexpr int kEditSlot = kProgramCount;   // the editor's working record
constexpr int kBankSize = kProgramCount + 1;

// Fills `bank` (kBankSize records) with the factory and user programs and a copy of program 0
// in the edit slot.
void buildBank(ProgramRecord* bank);

}  // namespace Programs
