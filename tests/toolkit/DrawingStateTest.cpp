// Which state changes reach the platform: colours, width and clip only when they change, the
// font colour every time.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CDrawContext.h"
#include "PlatformGraphics.h"

namespace ToolkitTest {
namespace {

using namespace Toolkit;

class RecordingGraphics final : public Platform::Graphics {
public:
    explicit RecordingGraphics(std::vector<std::string>& calls) : calls(calls) {}
    void setPenColor(ViewColor) override { calls.push_back("pen colour"); }
    void setPenWidth(int32_t) override { calls.push_back("pen width"); }
    void setPenDashed(bool) override { calls.push_back("dash"); }
    void setSmoothing(bool) override { calls.push_back("smoothing"); }
    void setFillColor(ViewColor) override { calls.push_back("fill colour"); }
    void setTextColor(ViewColor) override { calls.push_back("text colour"); }
    void setClip(const ViewRect&) override { calls.push_back("clip"); }
    void drawLine(ViewPoint, ViewPoint) override {}
    void fillRectangle(int32_t, int32_t, int32_t, int32_t) override {}
    void strokeRectangle(int32_t, int32_t, int32_t, int32_t) override {}
    float lineHeight(Platform::Font&) override { return 0; }
    float measureString(Platform::Font&, const char*) override { return 0; }
    void drawString(Platform::Font&, const char*, float, float, bool) override {}
    void drawImage(Platform::Image&, const ViewRect&, ViewPoint, uint8_t) override {}
    int32_t lastStatus() const override { return 0; }

private:
    std::vector<std::string>& calls;
};

class RecordedContext : public CDrawContext {
public:
    explicit RecordedContext(std::vector<std::string>& calls)
        : CDrawContext(nullptr, std::make_unique<RecordingGraphics>(calls), ViewRect{0, 0, 100, 100}) {}
};

TEST(DrawingState, ChangesReachThePlatformOnlyWhenTheyDiffer) {
    std::vector<std::string> calls;
    auto* context = new RecordedContext(calls);
    calls.clear();

    context->setFrameColor(ViewColor{255, 255, 255});  // the initial white
    context->setFillColor(ViewColor{0, 0, 0});          // the initial black
    context->setLineWidth(1);
    context->setLineStyle(kLineSolid);
    context->setDrawMode(kDrawPlain);
    context->setClipRect(ViewRect{0, 0, 100, 100});
    EXPECT_TRUE(calls.empty());

    context->setFrameColor(ViewColor{1, 2, 3});
    context->setFrameColor(ViewColor{1, 2, 3});
    context->setFillColor(ViewColor{1, 2, 3});
    context->setLineWidth(2);
    context->setLineWidth(2);
    context->setClipRect(ViewRect{1, 1, 9, 9});
    context->setOffset(ViewPoint{1, 1});
    context->setClipRect(ViewRect{0, 0, 8, 8});  // the same device clip under the new offset
    context->setFontColor(ViewColor{9, 9, 9});
    context->setFontColor(ViewColor{9, 9, 9});
    EXPECT_EQ(calls, (std::vector<std::string>{"pen colour", "fill colour", "pen width", "clip", "text colour",
                                               "text colour"}));
    context->release();
}

}  // namespace
}  // namespace ToolkitTest
