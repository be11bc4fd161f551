#include "Korvel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AEffEditor.h"
#include "EditorAttachment.h"
#include "HostText.h"
#include "ParameterText.h"
#include "TextLimits.h"

using namespace Parameters;

namespace {

// The channel mode of a fresh program record, which the edit slot starts with.
constexpr int kInitialChannels = channelCount(kDefinitions[kChannelMode].defaultValue);
// Parameters a program change applies, in storage order; Oversample and channel mode stay as they are.
constexpr auto kProgramParameters = [] {
    std::array<int, std::ranges::count_if(kDefinitions, &Definition::carriedByPrograms)> indices{};
    std::size_t next = 0;
    for (int index : kStorageOrder)
        if (carriedByPrograms(index)) indices[next++] = index;
    return indices;
}();
// Host sample rates outside this range are ignored.
constexpr float kLowestRate = 1000.0f;
constexpr float kHighestRate = 10000000.0f;
static_assert(ParameterText::kMaxLength == kVstMaxParamStrLen);

}  // namespace

Korvel::Korvel(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, Programs::kProgramCount, kCount),
      compareSlotA(ProgramRecord::makeDefault()),
      compareSlotB(ProgramRecord::makeDefault()) {
    for (std::atomic<float>& value : currentValues_) value.store(0.0f, std::memory_order_relaxed);
    setupIo();
    chain_.setBlockSize(blockSize);

    programBank_ = std::make_unique<ProgramRecord[]>(Programs::kBankSize);
    Programs::buildBank(programBank_.get());
    curProgram.store(Programs::kEditSlot, std::memory_order_relaxed);  // the selection starts there too
    const ProgramRecord& edit = editSlot();
    for (int index : kProgramParameters) setParameter(index, edit.value(index));
    currentValues_[storageSlot(kOversample)].store(edit.value(kOversample), std::memory_order_relaxed);
    currentValues_[storageSlot(kChannelMode)].store(edit.value(kChannelMode), std::memory_order_relaxed);
    compareSlotA = edit;
    compareSlotB = edit;
    resume();
    attachEditor(*this);  // last: the editor reads a complete effect
}

// A window the host left open goes before the effect it shows.
Korvel::~Korvel() {
    if (editor) editor->close();
}

void Korvel::notifyEditor(VstInt32 index, float value) {
    if (editor) tellEditor(*editor, index, value);
}

void Korvel::setupIo() {
    activeChannelCount_.store(kInitialChannels, std::memory_order_relaxed);
    setNumInputs(kMaxChannels);
    setNumOutputs(kMaxChannels);
    setUniqueID(fourCharacterCode('K', 'v', 'r', 'l'));
}

void Korvel::suspend() { chain_.suspend(); }

// Processing starts (again) from the circuit's resting point at the present Bias, instead of with the
// output capacitor charging up: from an empty circuit that reaches the output as a thump some 25 dB
// above full scale, and after a Bias change made while stopped as a smaller one.
void Korvel::resume() {
    chain_.restart(settings());
    AudioEffectX::resume();
}

void Korvel::setSampleRate(float rate) {
    if (!(rate >= kLowestRate && rate <= kHighestRate)) return;
    chain_.setHostRate(rate);
    setParameter(kVolume, currentValue(kVolume));
    sampleRate = rate;
}

void Korvel::setBlockSize(VstInt32 size) {
    if (size <= 0) return;
    chain_.setBlockSize(size);
    blockSize = size;
}

void Korvel::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    chain_.process(inputs, outputs, sampleFrames, settings());
}

EffectChain::Settings Korvel::settings() const {
    EffectChain::Settings settings;
    // The counts first: the values they announce are stored before they are raised.
    settings.programLoads = programLoads_.load(std::memory_order_acquire);
    settings.factorSettings = factorSettings_.load(std::memory_order_acquire);
    settings.equaliserChanges = equaliserRequests_.load(std::memory_order_acquire);
    for (int index = 0; index < kCount; ++index) settings.values[index] = currentValue(index);
    settings.values[kChannelMode] = static_cast<float>(activeChannelCount());
    return settings;
}

float Korvel::currentValue(int index) const {
    return currentValues_[storageSlot(index)].load(std::memory_order_relaxed);
}

void Korvel::applyValue(int index, float value) {
    if (!isParameter(index)) return;
    currentValues_[storageSlot(index)].store(value, std::memory_order_relaxed);
    if (index == kChannelMode) activeChannelCount_.store(channelCount(value), std::memory_order_relaxed);
    if (index == kOversample) factorSettings_.fetch_add(1, std::memory_order_release);
}

void Korvel::setParameter(VstInt32 index, float value) {
    // A non-finite value would poison the chain for good; it is ignored.
    if (!std::isfinite(value)) return;
    {
        const ProgramSelection::Write write(selection_);
        const ProgramSelection::State& state = write.state();
        if (!state.changing) {
            if (isParameter(index)) programBank_[state.program].setValue(index, value);
            applyValue(index, value);
        } else if (carriedByPrograms(index)) {
            // A program change is under way and will put the new program's value in force: this value
            // belongs to the program being left. Re-selecting the same program reads the very record,
            // so there the value is dropped rather than raced against that read.
            if (state.previous != state.program) programBank_[state.previous].setValue(index, value);
        } else {
            // Oversample and channel mode stay in force across a program change.
            if (isParameter(index)) programBank_[state.previous].setValue(index, value);
            applyValue(index, value);
        }
    }
    equaliserRequests_.fetch_add(1, std::memory_order_release);
    notifyEditor(index, value);
}

float Korvel::getParameter(VstInt32 index) { return isParameter(index) ? currentValue(index) : 0.0f; }

// The six program values are put in force as one step that no automated value can split.
void Korvel::setProgram(VstInt32 program) {
    if (program < 0 || program > Programs::kEditSlot) return;
    selection_.beginChange(program);
    curProgram.store(program, std::memory_order_relaxed);
    const ProgramContents contents = programBank_[program].contents();
    for (int index : kProgramParameters) applyValue(index, contents.value(index));
    programLoads_.fetch_add(1, std::memory_order_release);
    whileProgramChangeHeld();
    selection_.endChange();
    equaliserRequests_.fetch_add(1, std::memory_order_release);
    for (int index : kProgramParameters) notifyEditor(index, contents.value(index));
}

void Korvel::editProgram(int program) {
    if (program < 0 || program >= Programs::kProgramCount) return;
    editSlot() = programBank_[program];
    setProgram(Programs::kEditSlot);
}

void Korvel::chooseSide(bool sideA) {
    if (sideA == sideAHeard_) return;
    sideAHeard_ = sideA;
    ProgramRecord& left = sideA ? compareSlotB : compareSlotA;
    left = editSlot();
    editSlot() = sideA ? compareSlotA : compareSlotB;
    setProgram(Programs::kEditSlot);
}

void Korvel::copyHeardSide() { (sideAHeard_ ? compareSlotB : compareSlotA) = editSlot(); }

bool Korvel::storeSideB(int program, const char* name) {
    if (program < Programs::kFactoryCount || program >= Programs::kProgramCount || !name) return false;
    compareSlotB.setName(name);
    programBank_[program] = compareSlotB;
    editSlot() = programBank_[program];
    setProgram(Programs::kEditSlot);
    return true;
}

void Korvel::setProgramName(char* name) {
    if (!name) return;
    char utf8[ProgramRecord::kNameSize];
    programNameFromHost(name, utf8, sizeof utf8);
    programBank_[curProgram.load(std::memory_order_relaxed)].setName(utf8);
}

void Korvel::getProgramName(char* name) {
    const int program = curProgram.load(std::memory_order_relaxed);
    const ProgramRecord& record = programBank_[program];
    if (record.nameIs("Init")) {
        char numbered[ProgramRecord::kNameSize + 16];
        std::snprintf(numbered, sizeof numbered, "%s %d", record.name, program + 1);
        copyText(name, numbered, ProgramRecord::kNameSize - 1);
    } else if (name) {
        programNameToHost(record.name, name, ProgramRecord::kNameSize);
    }
}

void Korvel::getParameterLabel(VstInt32 index, char* label) {
    copyText(label, Parameters::label(index), kVstMaxParamStrLen);
}

void Korvel::getParameterDisplay(VstInt32 index, char* text) {
    ParameterText::hostText(index, getParameter(index), text);
}

void Korvel::getParameterName(VstInt32 index, char* text) {
    // Names run to ten characters ("Oversample"): hosts give far more room than the nominal eight.
    if (const char* parameterName = Parameters::name(index))
        copyText(text, parameterName, static_cast<int>(std::strlen(parameterName)));
}

bool Korvel::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index < 0 || index >= Programs::kProgramCount || !text) return false;
    programNameToHost(programBank_[index].name, text, ProgramRecord::kNameSize);
    return true;
}

bool Korvel::getEffectName(char* name) {
    copyText(name, "Korvel", kVstMaxEffectNameLen - 1);
    return true;
}

bool Korvel::getVendorString(char* text) {
    copyText(text, "Quillon Audio", kVstMaxVendorStrLen - 1);
    return true;
}

bool Korvel::getProductString(char* text) {
    copyText(text, "Korvel", kVstMaxProductStrLen - 1);
    return true;
}
