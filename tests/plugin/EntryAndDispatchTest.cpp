#include <gtest/gtest.h>

#include <cstring>

#include "TestHost.h"

namespace {

TEST(Entry, RefusesWhenTheHostAnswersNoVersion) {
    RecordingHost::clear();
    RecordingHost::versionAnswer = 0;
    EXPECT_EQ(VSTPluginMain(RecordingHost::callback), nullptr);
    ASSERT_EQ(RecordingHost::calls.size(), 1u);
    EXPECT_EQ(RecordingHost::calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
    RecordingHost::clear();
}

TEST(Entry, EffectRecordAfterConstruction) {
    RecordingHost::clear();
    HostedEffect host;
    const AEffect* record = host.record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->magic, fourCharacterCode('V', 's', 't', 'P'));
    EXPECT_EQ(record->numPrograms, 20);
    EXPECT_EQ(record->numParams, 8);
    EXPECT_EQ(record->numInputs, 6);
    EXPECT_EQ(record->numOutputs, 6);
    // Until the editor attaches itself only in-place processing is announced.
    EXPECT_EQ(record->flags, effFlagsCanReplacing);
    EXPECT_EQ(record->uniqueID, fourCharacterCode('K', 'v', 'r', 'l'));
    EXPECT_EQ(record->uniqueID, 0x4B76726C);
    EXPECT_EQ(record->version, 1);
    EXPECT_EQ(record->initialDelay, 0);
    EXPECT_EQ(record->realQualities, 0);
    EXPECT_EQ(record->offQualities, 0);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->object, &host.effect());
    EXPECT_EQ(record->user, nullptr);
    EXPECT_EQ(record->resvd1, 0);
    EXPECT_EQ(record->resvd2, 0);
    for (char byte : record->future) EXPECT_EQ(byte, 0);
    EXPECT_NE(record->processReplacing, nullptr);
    EXPECT_NE(record->processDoubleReplacing, nullptr);
    // The only host call during construction is the version query of the entry.
    ASSERT_EQ(RecordingHost::calls.size(), 1u);
    EXPECT_EQ(RecordingHost::calls[0].opcode, audioMasterVersion);
}

TEST(Dispatch, FixedAnswers) {
    HostedEffect host;
    EXPECT_EQ(host.dispatch(effOpen), 0);
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
    EXPECT_EQ(host.dispatch(effIdentify), fourCharacterCode('N', 'v', 'E', 'f'));
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(host.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(host.dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
    for (VstInt32 index : {0, 7, 100}) EXPECT_EQ(host.dispatch(effCanBeAutomated, index), 1);
    for (const char* query : {"receiveVstMidiEvent", "bypass", "plugAsChannelInsert", ""}) {
        char text[64];
        std::strcpy(text, query);
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, text), 0) << query;
    }
    EXPECT_EQ(host.text(effGetEffectName), "Korvel");
    EXPECT_EQ(host.text(effGetProductString), "Korvel");
    EXPECT_EQ(host.text(effGetVendorString), "Quillon Audio");
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, host.record()->future), 1);
}

TEST(Dispatch, OpcodesWithoutEffectAnswerZero) {
    HostedEffect host;
    for (VstInt32 opcode : std::initializer_list<VstInt32>{effProcessEvents, effString2Parameter, effGetTailSize, effSetBypass, effStartProcess,
                            effStopProcess, effSetProcessPrecision, effBeginSetProgram, effEndSetProgram,
                            effShellGetNextPlugin, effVendorSpecific, effGetNumMidiInputChannels, 80, 1000, -1})
        EXPECT_EQ(host.dispatch(opcode), 0) << opcode;
}

TEST(Dispatch, NoChunksAndNothingWritten) {
    HostedEffect host;
    void* chunk = &host;
    EXPECT_EQ(host.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, &host);
}

TEST(Dispatch, SpeakerArrangementPointersAreCleared) {
    HostedEffect host;
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(Dispatch, EditorOpcodesWithoutEditor) {
    HostedEffect host;
    ERect* rect = reinterpret_cast<ERect*>(&host);
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, &host), 0);
    EXPECT_EQ(host.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effSetEditKnobMode, 0, 2), 0);
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
}

TEST(Dispatch, SetProgramOnlyWithinTheBank) {
    HostedEffect host;
    host.dispatch(effSetProgram, 0, 20);
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
    host.dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
    host.dispatch(effSetProgram, 0, 19);
    EXPECT_EQ(host.dispatch(effGetProgram), 19);
    host.dispatch(effSetProgram, 0, VstIntPtr(1) << 40);
    EXPECT_EQ(host.dispatch(effGetProgram), 19);
}

TEST(Dispatch, CloseAnswersOneAndDestroysTheEffect) {
    AEffect* record = VSTPluginMain(RecordingHost::callback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    // The sanitizer builds turn any later use of the record into a failure; nothing else may touch it.
}

TEST(Dispatch, ResumeAndSuspendCallNothingOnTheHost) {
    HostedEffect host;
    RecordingHost::clear();
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(RecordingHost::calls.empty());
}

}  // namespace
