#include "Programs.h"

#include "TextLimits.h"

#include <cstdio>
#include <cstring>

using namespace Parameters;

void ProgramRecord::setName(const char* text) { copyText(name, text, kNameSize - 1); }

bool ProgramRecord::nameIs(const char* text) const { return std::strncmp(name, text, kNameSize) == 0; }

ProgramRecord ProgramRecord::makeDefault() {
    ProgramRecord record{};
    record.setName("Init");
    record.setValue(kDrive, 0.0f);
    record.setValue(kBias, 0.7f);
    record.setValue(kLoFreq, 0.5f);
    record.setValue(kMidFreq, 0.5f);
    record.setValue(kHiFreq, 0.5f);
    record.setValue(kVolume, 2.0f / 3.0f);
    record.setValue(kOversample, 0.6f);
    record.setValue(kChannelMode, 2.0f);
    return record;
}

namespace Programs {

namespace {

struct FactoryProgram {
    const char* name;
    float loFreq, midFreq, hiFreq, drive, bias, volume;
};

constexpr FactoryProgram kFactory[kFactoryCount] = {
    {"Warm Start", 0.5f, 0.5f, 0.5f, 0.1f, 0.0f, 0.667f},
    {"Low Warmed", 0.5f, 0.5f, 0.5f, 0.1f, 0.3f, 0.667f},
    {"Dance aura", 0.52f, 0.5f, 0.58f, 0.1f, 0.0f, 0.667f},
    {"Mix aura", 0.5f, 0.5f, 0.5f, 0.1f, 0.0f, 0.667f},
    {"Warm bass", 0.64f, 0.5f, 0.5f, 0.1f, 0.3f, 0.667f},
    {"Warm hiss", 0.4f, 0.5f, 0.8f, 0.1f, 0.4f, 0.667f},
    {"Warm mid", 0.4f, 0.7f, 0.4f, 0.1f, 0.4f, 0.667f},
    {"Med. Drive 1", 0.3f, 0.5f, 1.0f, 1.0f, 1.0f, 0.667f},
    {"Soft Drive 1", 0.5f, 0.5f, 0.6f, 0.7f, 1.0f, 0.667f},
    {"Med. Drive 2", 0.5f, 0.5f, 0.5f, 1.0f, 0.8f, 0.667f},
    {"Soft Drive 2", 0.5f, 0.5f, 0.5f, 0.7f, 0.7f, 0.667f},
    {"Med. Drive 3", 0.5f, 0.5f, 0.5f, 0.9f, 0.5f, 0.667f},
};

}  // namespace

void buildBank(ProgramRecord* bank) {
    for (int i = 0; i < kBankSize; ++i) bank[i] = ProgramRecord::makeDefault();

    for (int i = 0; i < kFactoryCount; ++i) {
        const FactoryProgram& program = kFactory[i];
        ProgramRecord& record = bank[i];
        record.setName(program.name);
        record.setValue(kLoFreq, program.loFreq);
        record.setValue(kMidFreq, program.midFreq);
        record.setValue(kHiFreq, program.hiFreq);
        record.setValue(kDrive, program.drive);
        record.setValue(kBias, program.bias);
        record.setValue(kVolume, program.volume);
    }

    for (int i = kFactoryCount; i < kProgramCount; ++i) {
        char name[ProgramRecord::kNameSize];
        std::snprintf(name, sizeof name, "User %d", i - kFactoryCount);
        bank[i].setName(name);
    }
    // The last user program keeps the default values; the others start at a gentle drive, -10 dB.
    for (int i = kFactoryCount; i < kProgramCount - 1; ++i) {
        ProgramRecord& record = bank[i];
        record.setValue(kDrive, 0.2f);
        record.setValue(kBias, 0.1f);
        record.setValue(kLoFreq, 0.5f);
        record.setValue(kMidFreq, 0.5f);
        record.setValue(kHiFreq, 0.5f);
        record.setValue(kVolume, 0.5f);
    }

    bank[kEditSlot] = bank[0];
}

}  // namespace Programs
