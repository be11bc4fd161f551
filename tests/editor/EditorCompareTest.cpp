// A and B switch between two compared states; COPY fills the side that is off.

#include "EditorHost.h"

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

}  // namespace
}  // namespace EditorTest
