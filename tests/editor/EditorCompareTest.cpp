// A and B switch between two compared states; COPY fills the side that is off.

#include <algorithm>

#include "EditorHost.h"
#include "EditorSystem.h"
#include "NativeControlDoubles.h"

namespace EditorTest {
namespace {

std::vector<float> values(const HostedEffect& host) {
    std::vector<float> result;
    for (int32_t index = 0; index < 8; ++index) result.push_back(host.getParameter(index));
    return result;
}

TEST_F(EditorHost, CopyWhileAIsOnThenBMakesBothSidesTheSame) {
    ASSERT_TRUE(open());
    host.setParameter(3, 0.9f);
    host.setParameter(0, 0.2f);
    const std::vector<float> heard = values(host);
    click(kCopy);
    click(kButtonB);
    EXPECT_EQ(values(host), heard);
    EXPECT_EQ(effect().compareSlotA.contents(), effect().compareSlotB.contents());
    EXPECT_EQ(control(13, "COnOffButton").value(), 0.0f) << "B turns A off";
    EXPECT_EQ(slider(3), 0.9f);
}

TEST_F(EditorHost, BThenARestoresTheStateExactly) {
    ASSERT_TRUE(open());
    host.setParameter(4, 0.13f);
    host.setParameter(5, 0.42f);
    const ProgramContents before = effect().editSlot().contents();
    const std::vector<float> heard = values(host);

    click(kButtonB);  // B still holds the program the effect started with
    EXPECT_EQ(host.getParameter(4), 0.0f);
    EXPECT_EQ(slider(5), host.getParameter(5));
    host.setParameter(1, 0.8f);  // a change on the B side
    click(kButtonA);
    EXPECT_EQ(values(host), heard);
    EXPECT_EQ(effect().editSlot().contents(), before);
    EXPECT_EQ(display(5), 0.42f);
    EXPECT_EQ(effect().compareSlotB.value(1), 0.8f) << "the B side keeps its change";
    EXPECT_EQ(control(14, "COnOffButton").value(), 0.0f);
    EXPECT_EQ(control(13, "COnOffButton").value(), 1.0f);
}

// Pressing the side that is on (A after opening) keeps what is heard, both sides and the buttons.
TEST_F(EditorHost, PressingTheSideThatIsOnChangesNothing) {
    ASSERT_TRUE(open());
    auto& a = control(13, "COnOffButton");
    auto& b = control(14, "COnOffButton");
    for (ViewPoint side : {kButtonA, kButtonB}) {
        host.setParameter(3, side.x == kButtonA.x ? 0.9f : 0.55f);  // an edit on this side
        click(side);  // switches to B on the second round
        const std::vector<float> heard = values(host);
        const ProgramContents slotA = effect().compareSlotA.contents();
        const ProgramContents slotB = effect().compareSlotB.contents();
        for (int press = 0; press < 2; ++press) {
            click(side);
            EXPECT_EQ(values(host), heard);
            EXPECT_EQ(effect().compareSlotA.contents(), slotA);
            EXPECT_EQ(effect().compareSlotB.contents(), slotB);
            EXPECT_EQ(a.value() > 0.5f, side.x == kButtonA.x);
            EXPECT_EQ(b.value() > 0.5f, side.x == kButtonB.x);
        }
    }
}

// A/B presses ask for an idle at once: it repaints and lets the host idle, also after the system's
// tick counter has wrapped (every 49.7 days).
TEST_F(EditorHost, APressOnASideRepaintsAtOnceAndIdlesTheHostAcrossTheTickWrap) {
    struct HeldClock {
        ~HeldClock() { Doubles::releaseClock(); }
    } held;
    ASSERT_TRUE(open());
    uint32_t now = EditorSystem::tickCount();
    for (int hop = 0; hop < 6; ++hop) {  // 6 hops of 12 days pass the wrap once
        SCOPED_TRACE(hop);
        now += 0x40000000u;
        Doubles::holdClockAt(now);
        window().clearInvalidations();
        RecordingHost::calls.clear();
        click(hop % 2 ? kButtonA : kButtonB);
        EXPECT_EQ(std::count_if(RecordingHost::calls.begin(), RecordingHost::calls.end(),
                                [](const RecordingHost::Call& call) { return call.opcode == audioMasterIdle; }),
                  1);
        EXPECT_FALSE(window().invalidations().empty()) << "repainted without waiting for the host's idle";
    }
}

}  // namespace
}  // namespace EditorTest
