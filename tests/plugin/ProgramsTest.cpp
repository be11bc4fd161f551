#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestHost.h"

namespace {

std::string indexedName(const HostedEffect& host, VstInt32 index) {
    char text[64] = "untouched";
    const VstIntPtr answer = host.dispatch(effGetProgramNameIndexed, index, 0, text);
    return answer ? std::string(text) : "refused:" + std::string(text);
}

TEST(Programs, BankAfterConstruction) {
    HostedEffect host;
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
    EXPECT_EQ(host.text(effGetProgramName), "Warm Start");
    const char* names[] = {"Warm Start", "Low Warmed", "Dance aura", "Mix aura", "Warm bass", "Warm hiss",
                           "Warm mid", "Med. Drive 1", "Soft Drive 1", "Med. Drive 2", "Soft Drive 2",
                           "Med. Drive 3", "User 0", "User 1", "User 2", "User 3", "User 4", "User 5",
                           "User 6", "User 7"};
    for (int index = 0; index < 20; ++index) EXPECT_EQ(indexedName(host, index), names[index]);
    EXPECT_EQ(indexedName(host, 20), "refused:untouched");
    EXPECT_EQ(indexedName(host, -1), "refused:untouched");
    // The edit slot plays program 0.
    EXPECT_EQ(host.getParameter(3), 0.1f);
    EXPECT_EQ(host.getParameter(4), 0.0f);
    EXPECT_EQ(host.getParameter(5), 0.667f);
    const Korvel& effect = host.effect();
    EXPECT_TRUE(effect.compareSlotA.contents() == host.effect().editSlot().contents());
    EXPECT_TRUE(effect.compareSlotB.contents() == host.effect().editSlot().contents());
}

TEST(Programs, ChangeAppliesSixValuesAndKeepsOversampleAndChannelMode) {
    HostedEffect host;
    host.setParameter(6, 1.0f);
    host.setParameter(7, 4.0f);
    host.dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(host.getParameter(0), 0.3f);
    EXPECT_EQ(host.getParameter(1), 0.5f);
    EXPECT_EQ(host.getParameter(2), 1.0f);
    EXPECT_EQ(host.getParameter(3), 1.0f);
    EXPECT_EQ(host.getParameter(4), 1.0f);
    EXPECT_EQ(host.getParameter(5), 0.667f);
    EXPECT_EQ(host.getParameter(6), 1.0f);
    EXPECT_EQ(host.getParameter(7), 4.0f);
    EXPECT_EQ(host.text(effGetProgramName), "Med. Drive 1");
}

TEST(Programs, UserProgramLevels) {
    HostedEffect host;
    host.dispatch(effSetProgram, 0, 12);
    EXPECT_EQ(host.getParameter(5), 0.5f);
    EXPECT_EQ(host.getParameter(3), 0.2f);
    EXPECT_NEAR(host.effect().outputGain(), 0.316227766f, 1e-7f);
    host.dispatch(effSetProgram, 0, 19);
    EXPECT_EQ(host.getParameter(5), 2.0f / 3.0f);
    EXPECT_EQ(host.getParameter(4), 0.7f);
    EXPECT_EQ(host.effect().outputGain(), 1.0000001f);
}

TEST(Programs, EditsLiveInTheBank) {
    HostedEffect host;
    host.dispatch(effSetProgram, 0, 4);
    host.setParameter(0, 0.9f);
    host.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(host.getParameter(0), 0.4f);
    host.dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(host.getParameter(0), 0.9f);
    // Edits in the edit slot do not touch the program it was loaded from.
    host.effect().setProgram(20);
    host.setParameter(3, 0.33f);
    EXPECT_EQ(host.effect().programBank()[0].value(3), 0.1f);
    EXPECT_EQ(host.effect().editSlot().value(3), 0.33f);
}

TEST(Programs, InitNamesAreNumberedOnlyForTheCurrentProgram) {
    HostedEffect host;
    host.dispatch(effSetProgram, 0, 2);
    char name[32] = "Init";
    host.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(host.text(effGetProgramName), "Init 3");
    EXPECT_EQ(indexedName(host, 2), "Init");
    host.effect().editSlot().setName("Init");
    host.effect().setProgram(20);
    EXPECT_EQ(host.text(effGetProgramName), "Init 21");
}

TEST(Programs, RenamingNeverOverrunsTheNameField) {
    HostedEffect host;
    host.dispatch(effSetProgram, 0, 13);
    char longName[] = "A name far longer than twenty-three characters";
    host.dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(host.text(effGetProgramName), std::string(longName, 23));
    // The values behind the name are intact.
    EXPECT_EQ(host.effect().programBank()[13].value(3), 0.2f);
    EXPECT_EQ(indexedName(host, 14), "User 2");

    char accented[] = "Twenty-two characters \xc3\xa9";  // the e-acute would end at byte 24
    host.dispatch(effSetProgramName, 0, 0, accented);
    EXPECT_EQ(host.text(effGetProgramName), "Twenty-two characters ") << "cut before the character, not inside it";
}

}  // namespace

namespace {

float drive(const ProgramRecord& record) { return record.value(Parameters::kDrive); }

}  // namespace

// The editor's A/B comparison and store, run through the effect alone. Each step: the operation,
// then the Drive heard and the Drive each side holds.
TEST(Programs, CompareSidesCopyAndStore) {
    HostedEffect host;
    Korvel& effect = host.effect();
    host.setParameter(3, 0.9f);
    struct Step {
        const char* what;
        void (*operation)(HostedEffect&);
        float heard, sideA, sideB;
    };
    const Step steps[] = {
        {"B saves A, loads B", [](HostedEffect& h) { h.effect().chooseSide(false); }, 0.1f, 0.9f, 0.1f},
        {"B again", [](HostedEffect& h) { h.setParameter(3, 0.3f), h.effect().chooseSide(false); }, 0.3f, 0.9f, 0.1f},
        {"copy fills the side not heard", [](HostedEffect& h) { h.effect().copyHeardSide(); }, 0.3f, 0.3f, 0.1f},
        {"A saves B, loads A", [](HostedEffect& h) { h.effect().chooseSide(true); }, 0.3f, 0.3f, 0.3f},
        {"copy from A", [](HostedEffect& h) { h.setParameter(3, 0.5f), h.effect().copyHeardSide(); }, 0.5f, 0.3f, 0.5f},
    };
    for (const Step& step : steps) {
        step.operation(host);
        EXPECT_EQ(host.getParameter(3), step.heard) << step.what;
        EXPECT_EQ(drive(effect.compareSlotA), step.sideA) << step.what;
        EXPECT_EQ(drive(effect.compareSlotB), step.sideB) << step.what;
        EXPECT_EQ(host.dispatch(effGetProgram), 20) << step.what;
    }

    host.setParameter(3, 0.7f);
    EXPECT_FALSE(effect.storeSideB(11, "Mine"));  // factory programs stay
    EXPECT_EQ(indexedName(host, 11), "Med. Drive 3");
    ASSERT_TRUE(effect.storeSideB(19, "Mine"));
    EXPECT_EQ(indexedName(host, 19), "Mine");
    EXPECT_EQ(drive(effect.programBank()[19]), 0.5f);
    EXPECT_EQ(host.getParameter(3), 0.5f);  // the stored program is what plays
    EXPECT_EQ(host.text(effGetProgramName), "Mine");

    effect.editProgram(7);
    EXPECT_EQ(host.text(effGetProgramName), "Med. Drive 1");
    EXPECT_EQ(host.getParameter(3), 1.0f);
    EXPECT_EQ(host.dispatch(effGetProgram), 20);
}
