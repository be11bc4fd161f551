#include "ViewProbes.h"

namespace ViewsTest {

int destroyedViews = 0;

void Probe::paint(CDrawContext* context) {
    context->setFillColor(colour);
    context->drawRect(ViewRect{size.left - bleed, size.top - bleed, size.right + bleed, size.bottom + bleed}, kDrawFilled);
    CView::paint(context);
}

void Probe::log(const std::string& event, ViewPoint p, ButtonState b) {
    std::string entry = name + " " + event;
    if (event.rfind("key", 0) != 0) entry += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    if (b) entry += " b" + std::to_string(b);
    journal.push_back(entry);
}

int32_t ProbeContainer::notify(CBaseObject* sender, const char* message) {
    const auto* view = dynamic_cast<Probe*>(sender);
    journal.push_back(name + " " + message + " " + (view ? view->name : "?"));
    return CViewContainer::notify(sender, message);
}

FrameTest::FrameTest() : frame(new CFrame(ViewRect{0, 0, 100, 80}, nullptr, nullptr, OffscreenWindow::create)) {
    frame->setBackgroundColor(ViewColor{128, 128, 128});
}

FrameTest::~FrameTest() {
    if (frame) frame->release();
}

Probe* FrameTest::probe(const std::string& name, const ViewRect& size, CViewContainer* parent) {
    auto* view = new Probe(name, size, journal);
    (parent ? parent : frame)->appendChild(view);
    return view;
}

ProbeContainer* FrameTest::container(const std::string& name, const ViewRect& size, CViewContainer* parent) {
    auto* view = new ProbeContainer(name, size, journal);
    (parent ? parent : frame)->appendChild(view);
    return view;
}

Journal FrameTest::take() {
    Journal taken;
    taken.swap(journal);
    return taken;
}

int32_t FrameTest::pressKey(int32_t character, uint8_t virt, uint8_t modifier) {
    KeyCode key{character, virt, modifier};
    return frame->keyDown(key);
}

}  // namespace ViewsTest
