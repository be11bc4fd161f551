#pragma once

#include <atomic>
#include <memory>

#include "AudioEffectX.h"
#include "EffectChain.h"
#include "Parameters.h"
#include "ProgramSelection.h"
#include "Programs.h"

// The valve-preamp effect: eight parameters, a bank of twenty programs with an edit slot and two
// compare slots, and the signal chain of up to six channels.
//
// Threads: the host may call parameter and program operations on its user-interface thread while
// processReplacing runs on its audio thread, and automation calls setParameter on the audio thread.
// Values the audio thread reads are atomic; the audio thread reads the chain's setup (Bias, factor,
// channel count) at the start of each block and crossfades into a chain rebuilt for a new one. Program records are written value by
// value, and ProgramSelection keeps automated values out of a program being switched to. Sample rate,
// block size and suspend are called by hosts while processing is stopped.
class Korvel : public AudioEffectX {
public:
    explicit Korvel(audioMasterCallback audioMaster);  // throws std::bad_alloc
    ~Korvel() override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;

    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;

    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1000; }
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }

    virtual void setupIo();

    // Records the editor reads and writes directly.
    ProgramRecord* programBank() { return programBank_.get(); }
    ProgramRecord& editSlot() { return programBank_[Programs::kEditSlot]; }
    ProgramRecord compareSlotA;
    ProgramRecord compareSlotB;

    // The editor's program operations; each ends with the edit slot in force where it changed it.
    // Loads a program of the bank into the edit slot.
    void editProgram(int program);
    // A/B comparison: the edit slot is the side being heard. Choosing the other side saves the edit
    // slot into the side being left and loads the chosen one; choosing the heard side changes nothing.
    void chooseSide(bool sideA);
    // Side A counts as heard again, with no record changed (a newly opened editor starts there).
    void restartComparison() { sideAHeard_ = true; }
    // Fills the side not heard with the edit slot.
    void copyHeardSide();
    // Stores side B under `name` into user program `program` and edits it; false, changing nothing,
    // for a program that is not a user program.
    bool storeSideB(int program, const char* name);

    int activeChannelCount() const { return activeChannelCount_.load(std::memory_order_relaxed); }
    // Linear gain from the Volume in force; derived on reading, so it can never disagree with it.
    float outputGain() const { return Parameters::outputGain(currentValue(Parameters::kVolume)); }

    // The signal chain in force, for observation: the one being faded into while a change is heard.
    const BlockProcessor& processor() const { return chain_.current(); }

protected:
    // Runs inside setProgram while the change is held: the new program's values are in force and a
    // parameter write now counts as arriving during the change. Empty; a derived class may act here.
    virtual void whileProgramChangeHeld() {}

private:
    float currentValue(int index) const;
    // Tells the editor, if there is one, that a parameter changed.
    void notifyEditor(VstInt32 index, float value);
    // Puts a value in force: the current values and the chain reconfiguration it asks for.
    void applyValue(int index, float value);
    // The values in force and the counts of program loads, factor settings and parameter writes.
    EffectChain::Settings settings() const;

    std::unique_ptr<ProgramRecord[]> programBank_;
    ProgramSelection selection_{Programs::kEditSlot};
    std::atomic<float> currentValues_[Parameters::kCount];  // in storage order
    std::atomic<int> activeChannelCount_{0};
    std::atomic<unsigned> equaliserRequests_{0};
    std::atomic<unsigned> programLoads_{0};
    std::atomic<unsigned> factorSettings_{0};
    bool sideAHeard_ = true;  // user-interface thread only
    EffectChain chain_;
};
