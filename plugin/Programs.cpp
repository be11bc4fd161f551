#include "Programs.h"

#include "TextLimits.h"

#include <cstdio>
#include <cstring>
#include <thread>

using namespace Parameters;

ProgramRecord::ProgramRecord() : name{} {
    for (std::atomic<float>& value : values_) value.store(0.0f, std::memory_order_relaxed);
}

ProgramRecord::ProgramRecord(const ProgramContents& contents) : ProgramRecord() { assign(contents); }

ProgramRecord::ProgramRecord(const ProgramRecord& other) : ProgramRecord(other.contents()) {}

ProgramRecord& ProgramRecord::operator=(const ProgramRecord& other) {
    assign(other.contents());
    return *this;
}

// A reader that sees any value stored after beginWrite also sees the raised count (release fence
// here, acquire fence in contents), and endWrite publishes the stored values with the count.
void ProgramRecord::beginWrite() {
    writes_.fetch_add(1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void ProgramRecord::endWrite() { writes_.fetch_add(kWriteFinished - 1, std::memory_order_release); }

void ProgramRecord::setValue(int index, float v) {
    beginWrite();
    values_[storageSlot(index)].store(v, std::memory_order_relaxed);
    endWrite();
}

void ProgramRecord::setName(const char* text) { copyUtf8Text(name, text, kNameSize - 1); }

bool ProgramRecord::nameIs(const char* text) const { return std::strncmp(name, text, kNameSize) == 0; }

ProgramContents ProgramRecord::contents() const {
    ProgramContents copy;
    std::memcpy(copy.name, name, kNameSize);
    for (;;) {
        const std::uint64_t before = writes_.load(std::memory_order_acquire);
        if ((before & kWritesUnderWay) == 0) {
            for (int slot = 0; slot < kCount; ++slot) copy.values[slot] = values_[slot].load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (writes_.load(std::memory_order_relaxed) == before) return copy;
        }
        std::this_thread::yield();  // a writer is between its two counts: a few stores at most
    }
}

void ProgramRecord::assign(const ProgramContents& contents) {
    beginWrite();
    std::memcpy(name, contents.name, kNameSize);
    for (int slot = 0; slot < kCount; ++slot) values_[slot].store(contents.values[slot], std::memory_order_relaxed);
    endWrite();
}

ProgramContents ProgramRecord::makeDefault() {
    ProgramContents record{};
    copyText(record.name, "Init", kNameSize - 1);
    for (int index = 0; index < kCount; ++index) record.setValue(index, kDefinitions[index].defaultValue);
    return record;
}

namespace Programs {

namespace {

struct FactoryProgram {
    const char* name;
    float loFreq, midFreq, hiFreq, drive, bias, volume;
};

constexpr FactoryProgram kFactory[kFactoryCount] = {
    {"Warm Start", 0.5f, 0.5f, 0.5f, 0.1f, 0.0f, kFactoryVolume},
    {"Low Warmed", 0.5f, 0.5f, 0.5f, 0.1f, 0.3f, kFactoryVolume},
    {"Dance aura", 0.52f, 0.5f, 0.58f, 0.1f, 0.0f, kFactoryVolume},
    {"Mix aura", 0.5f, 0.5f, 0.5f, 0.1f, 0.0f, kFactoryVolume},
    {"Warm bass", 0.64f, 0.5f, 0.5f, 0.1f, 0.3f, kFactoryVolume},
    {"Warm hiss", 0.4f, 0.5f, 0.8f, 0.1f, 0.4f, kFactoryVolume},
    {"Warm mid", 0.4f, 0.7f, 0.4f, 0.1f, 0.4f, kFactoryVolume},
    {"Med. Drive 1", 0.3f, 0.5f, 1.0f, 1.0f, 1.0f, kFactoryVolume},
    {"Soft Drive 1", 0.5f, 0.5f, 0.6f, 0.7f, 1.0f, kFactoryVolume},
    {"Med. Drive 2", 0.5f, 0.5f, 0.5f, 1.0f, 0.8f, kFactoryVolume},
    {"Soft Drive 2", 0.5f, 0.5f, 0.5f, 0.7f, 0.7f, kFactoryVolume},
    {"Med. Drive 3", 0.5f, 0.5f, 0.5f, 0.9f, 0.5f, kFactoryVolume},
};

}  // namespace

void buildBank(ProgramRecord* bank) {
    for (int i = 0; i < kBankSize; ++i) bank[i].assign(ProgramRecord::makeDefault());

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
