#include "Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace ToolkitTest {

Canvas::Canvas(int32_t width, int32_t height, std::string label)
    : context(new Toolkit::COffscreenContext(nullptr, width, height)), label(std::move(label)) {
    context->setFillColor(kBlack);
    context->drawRect(ViewRect{0, 0, width, height}, Toolkit::kDrawFilled);
}

Canvas::~Canvas() {
    if (testing::Test::HasFailure()) save();
    context->release();
}

std::string Canvas::save() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "canvas";
    std::replace(name.begin(), name.end(), '/', '_');
    if (!label.empty()) name += "-" + label;
    name += ".png";
    context->writePng(name.c_str());
    return name;
}

ViewRect Canvas::inkBounds(int32_t threshold) {
    ViewRect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < context->height(); ++y)
        for (int32_t x = 0; x < context->width(); ++x)
            if (at(x, y).green > threshold) {
                bounds.left = std::min(bounds.left, x);
                bounds.top = std::min(bounds.top, y);
                bounds.right = std::max(bounds.right, x + 1);
                bounds.bottom = std::max(bounds.bottom, y + 1);
            }
    return bounds.isEmpty() ? ViewRect{} : bounds;
}

int32_t Canvas::differingPixels(Canvas& other, int32_t tolerance) {
    int32_t count = 0;
    for (int32_t y = 0; y < context->height(); ++y)
        for (int32_t x = 0; x < context->width(); ++x) {
            const ViewColor a = at(x, y), b = other.at(x, y);
            if (std::abs(a.red - b.red) > tolerance || std::abs(a.green - b.green) > tolerance ||
                std::abs(a.blue - b.blue) > tolerance || std::abs(a.alpha - b.alpha) > tolerance)
                ++count;
        }
    return count;
}

std::string colorText(ViewColor color) {
    return "rgba(" + std::to_string(color.red) + ", " + std::to_string(color.green) + ", " +
           std::to_string(color.blue) + ", " + std::to_string(color.alpha) + ")";
}

}  // namespace ToolkitTest
