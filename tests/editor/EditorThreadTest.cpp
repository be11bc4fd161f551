// Host automation on its audio thread while the user works the editor on the user-interface thread:
// the editor's controls are touched only by the thread that opened it (run under ThreadSanitizer).

#include <atomic>
#include <thread>

#include "EditorHost.h"

namespace EditorTest {
namespace {

TEST_F(EditorHost, AutomationFromAnotherThreadReachesTheControlsOnIdle) {
    ASSERT_TRUE(open());
    std::thread automation([this] {
        for (int32_t index = 0; index < 6; ++index) host.setParameter(index, 0.125f * static_cast<float>(index + 1));
    });
    automation.join();
    EXPECT_NE(slider(0), 0.125f) << "not touched from the other thread";
    idle();
    for (int32_t index = 0; index < 6; ++index) {
        EXPECT_EQ(slider(index), host.getParameter(index)) << index;
        EXPECT_EQ(display(index), host.getParameter(index)) << index;
    }
}

TEST_F(EditorHost, AutomationRacesOpeningDraggingAndClosing) {
    std::atomic<bool> done{false};
    std::thread automation([this, &done] {
        for (int32_t step = 0; !done.load(); ++step) {
            host.setParameter(step % 6, static_cast<float>(step % 100) / 100.0f);
            host.setParameter(6, (step & 1) ? 0.2f : 0.6f);
            if (step % 64 == 0) std::this_thread::yield();
        }
    });
    std::thread userInterface([this] {
        for (int32_t round = 0; round < 20; ++round) {
            ASSERT_TRUE(open());
            idle();
            const int32_t tag = round % 6;
            press(sliderPoint(tag, 0.2f));
            move(sliderPoint(tag, 0.8f));
            release(sliderPoint(tag, 0.8f));
            idle();
            window().paint();
            close();
        }
    });
    userInterface.join();
    done = true;
    automation.join();

    // The last changes made elsewhere show after the next idle on the thread that opens.
    ASSERT_TRUE(open());
    std::thread([this] { host.setParameter(2, 0.375f); }).join();
    idle();
    EXPECT_EQ(slider(2), 0.375f);
}

}  // namespace
}  // namespace EditorTest
