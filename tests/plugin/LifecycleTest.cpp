#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

// Under the sanitizer builds LeakSanitizer checks at exit that every one of these was released.
TEST(Lifecycle, ThousandEffectsCreatedAndClosed) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a leak check; ThreadSanitizer's allocator makes it slow and checks nothing here";
#endif
    for (int i = 0; i < 1000; ++i) {
        AEffect* record = VSTPluginMain(RecordingHost::callback);
        ASSERT_NE(record, nullptr);
        if (i % 10 == 0) {
            record->dispatcher(record, effSetBlockSize, 0, 2048, nullptr, 0.0f);
            record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
            SixChannelBlock block(32);
            block.process(record);
        }
        EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}

}  // namespace
