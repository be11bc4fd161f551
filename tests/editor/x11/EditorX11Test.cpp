// The test program plays a Linux host: it loads korvel.so through its entry, opens the editor in a
// top-level X11 window of the size the editor asks for on a display of its own, idles it from its
// loop and works the panel with real input through XTest, checking the effect's parameters and the
// host calls it receives.

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>

#include "CFrame.h"
#include "COffscreenContext.h"
#include "OffscreenWindow.h"
#include "SDEditor.h"
#include "TestHost.h"
// Last: Xlib's macros (None, Bool) would clash with the names above.
#include "SliderDrags.h"
#include "X11Host.h"
#include <X11/keysym.h>

namespace X11EditorTest {
namespace {

using Clock = std::chrono::steady_clock;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float value) {
    char text[64];
    if (opcode == audioMasterAutomate) {
        std::snprintf(text, sizeof text, "automate %d", index);
        hostCalls().calls.push_back(text);
        hostCalls().automatedValues.push_back(value);
    } else if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) {
        std::snprintf(text, sizeof text, "%s %d", opcode == audioMasterBeginEdit ? "begin" : "end", index);
        hostCalls().calls.push_back(text);
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

int childCount(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    if (children) XFree(children);
    return int(count);
}

Window firstChild(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr, child = 0;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    if (count) child = children[0];
    if (children) XFree(children);
    return child;
}

size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr int kHostX = 100, kHostY = 100;  // where the host's window lies on the screen
constexpr int kHostExtra = 60;              // the host's own area below the editor

class X11EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new VirtualDisplay(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(server, nullptr);
        display = XOpenDisplay(server->name().c_str());
        ASSERT_NE(display, nullptr);
        module = dlopen(KORVEL_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
        effect = entry(hostCallback);
        ASSERT_NE(effect, nullptr);
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
        XSetWindowAttributes attributes{};
        attributes.event_mask = ButtonPressMask | StructureNotifyMask;
        attributes.background_pixel = 0x404040;
        host = XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY, unsigned(width),
                             unsigned(height + kHostExtra), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWEventMask | CWBackPixel, &attributes);
        XMapWindow(display, host);
        XEvent event;
        XWindowEvent(display, host, StructureNotifyMask, &event);
        while (event.type != MapNotify) XWindowEvent(display, host, StructureNotifyMask, &event);
    }

    void TearDown() override {
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        if (display) {
            if (host) XDestroyWindow(display, host);
            XCloseDisplay(display);
        }
        if (module) dlclose(module);
        hostCalls().clear();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    }
    bool openEditor() { return dispatch(effEditOpen, 0, reinterpret_cast<void*>(uintptr_t(host))) == 1; }
    float parameter(VstInt32 index) const { return effect->getParameter(effect, index); }
    Window frameWindow() const { return firstChild(display, host); }

    // The host's loop: the editor idles every 20 ms, the host reads its own window's events.
    void pumpFor(int milliseconds) {
        const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (Clock::now() < end) {
            dispatch(effEditIdle);
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == ButtonPress && event.xbutton.window == host) ++hostClicks;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // Moves the pointer to (x, y) of the host window (the editor sits at its top left).
    void pointerTo(int x, int y) {
        fakeMove(display, hostX + x, hostY + y);
        pumpFor(40);
    }
    void button(bool down) {
        fakeButton(display, Button1, down);
        pumpFor(40);
    }
    void click(int x, int y) {
        pointerTo(x, y);
        button(true);
        button(false);
    }

    // Presses at (x, y) of the editor, where a pop-up menu opens, and works the menu from another
    // connection while this thread is inside the editor's idle, where the menu runs its loop. The
    // steps get the menu's screen rectangle.
    void workMenu(int x, int y, const std::function<void(Display*, int, int, int, int)>& steps) {
        pointerTo(x, y);
        std::atomic<bool> finished{false};
        std::thread user([&] {
            Display* input = XOpenDisplay(server->name().c_str());
            int mx = 0, my = 0, mw = 0, mh = 0;
            for (int wait = 0; wait < 150 && !findPopup(input, mx, my, mw, mh); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (findPopup(input, mx, my, mw, mh)) {
                fakeButton(input, Button1, false);  // the click's own release
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
                steps(input, mx, my, mw, mh);
            }
            XCloseDisplay(input);
            finished = true;
        });
        fakeButton(display, Button1, true);
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (!finished && Clock::now() < end) pumpFor(20);
        user.join();
        pumpFor(100);
        int mx, my, mw, mh;
        EXPECT_EQ(findPopup(display, mx, my, mw, mh), 0u) << "the menu closed";
    }

    static void keys(Display* input, std::initializer_list<unsigned long> symbols) {
        for (unsigned long symbol : symbols) {
            fakeKey(input, symbol);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }

    // The window shows the panel as the in-memory rendering of an effect with the same parameters.
    void expectMatchesMemoryRendering() {
        pumpFor(200);
        const std::vector<uint32_t> shown = windowPixels(display, frameWindow(), width, height);
        ASSERT_EQ(shown.size(), size_t(width) * size_t(height));
        HostedEffect twin;
        for (VstInt32 index = 0; index < 8; ++index) twin.setParameter(index, parameter(index));
        ASSERT_EQ(twin.dispatch(effEditOpen), 1);
        twin.dispatch(effEditIdle);
        auto* editor = dynamic_cast<SDEditor*>(twin.effect().getEditor());
        auto& memory = *static_cast<Toolkit::OffscreenWindow*>(editor->getFrame()->platformWindow());
        editor->getFrame()->paintRect(memory.picture(), editor->getFrame()->viewSize());
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Toolkit::ViewColor c = memory.picture()->pixelAt(x, y);
                const uint32_t s = shown[size_t(y) * size_t(width) + size_t(x)];
                const int dr = std::abs(int(c.red) - int(s >> 16 & 0xff)), dg = std::abs(int(c.green) - int(s >> 8 & 0xff)),
                          db = std::abs(int(c.blue) - int(s & 0xff));
                if (std::max({dr, dg, db}) > 8) ++differing;
            }
        twin.dispatch(effEditClose);
        EXPECT_LE(differing, width * height / 1000) << "pixels that differ from the in-memory rendering";
    }

    static inline VirtualDisplay* server = nullptr;
    Display* display = nullptr;
    void* module = nullptr;
    AEffect* effect = nullptr;
    Window host = 0;
    int width = 0;
    int height = 0;
    int hostClicks = 0;
    int hostX = kHostX, hostY = kHostY;
};

TEST_F(X11EditorTest, OpensInTheHostWindowLikeItsInMemoryPictureAndTheHostKeepsItsClicks) {
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanReplacing);
    EXPECT_EQ(width, 641);
    EXPECT_EQ(height, 301);
    ASSERT_TRUE(openEditor());
    ASSERT_NE(frameWindow(), 0u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, frameWindow(), &attributes);
    EXPECT_EQ(attributes.width, 641);
    EXPECT_EQ(attributes.height, 301);
    expectMatchesMemoryRendering();
    EXPECT_TRUE(writeScreenshot(display, frameWindow(), "editor-x11-open.png"));
    click(300, height + 30);  // the host's area below the editor
    EXPECT_EQ(hostClicks, 1);
    pointerTo(316, 100);  // over the Volume slider, no button held
    pointerTo(316, 110);
    click(300, height + 30);
    EXPECT_EQ(hostClicks, 2) << "hovering a slider keeps the host's clicks too";
    pointerTo(316, 150);  // a drag of the Volume slider that ends over the host's area
    button(true);
    pointerTo(316, height + 30);
    button(false);
    click(300, height + 30);
    EXPECT_EQ(hostClicks, 3) << "the drag gave the pointer back";
}

TEST_F(X11EditorTest, EachSliderDragAutomatesItsParameterAndBLoadsTheOtherSide) {
    ASSERT_TRUE(openEditor());
    pumpFor(200);
    float start[6];
    for (const SliderDrag& drag : kSliderDrags) {
        SCOPED_TRACE(drag.tag);
        start[drag.tag] = parameter(drag.tag);
        hostCalls().clear();
        const int x = drag.x();
        const int middle = drag.valueOneY();
        const int y = middle + int((1.0f - start[drag.tag]) * float(kSliderTravel) + 0.5f);
        pointerTo(x, y);
        button(true);
        pointerTo(x, y + drag.dy / 2);
        pointerTo(x, y + drag.dy);
        button(false);

        const float moved = parameter(drag.tag);
        EXPECT_NEAR(moved, 1.0f - float(y + drag.dy - middle) / float(kSliderTravel), 1e-5f);
        const std::vector<std::string>& calls = hostCalls().calls;
        const std::string tag = std::to_string(drag.tag);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls.front(), "begin " + tag);
        EXPECT_EQ(calls.back(), "end " + tag);
        EXPECT_EQ(std::vector<std::string>(calls.begin() + 1, calls.end() - 1),
                  std::vector<std::string>(calls.size() - 2, "automate " + tag));
        ASSERT_FALSE(hostCalls().automatedValues.empty());
        EXPECT_EQ(hostCalls().automatedValues.back(), moved);
    }
    expectMatchesMemoryRendering();
    EXPECT_TRUE(writeScreenshot(display, frameWindow(), "editor-x11-dragged.png"));

    click(235, 17);  // B still holds the program the effect started with
    for (const SliderDrag& drag : kSliderDrags) EXPECT_EQ(parameter(drag.tag), start[drag.tag]) << drag.tag;
    pumpFor(200);
    EXPECT_TRUE(writeScreenshot(display, frameWindow(), "editor-x11-b.png"));
}

TEST_F(X11EditorTest, WheelOnADisplayThenUndoCopyAndTheTwoSides) {
    ASSERT_TRUE(openEditor());
    pumpFor(200);
    pointerTo(236, 246);  // the Drive display
    fakeButton(display, 4, true);
    fakeButton(display, 4, false);
    pumpFor(100);
    EXPECT_FLOAT_EQ(parameter(3), 0.2f) << "one notch up";
    EXPECT_EQ(hostCalls().calls, (std::vector<std::string>{"begin 3", "automate 3", "end 3"}));

    click(100, 17);  // UNDO
    EXPECT_FLOAT_EQ(parameter(3), 0.1f);
    effect->setParameter(effect, 4, 0.33f);
    click(160, 17);  // COPY: the side heard goes to B
    click(235, 17);  // B
    EXPECT_EQ(parameter(4), 0.33f);
    effect->setParameter(effect, 4, 0.5f);
    click(205, 17);  // A: back to the copy, B keeps its change
    EXPECT_EQ(parameter(4), 0.33f);
}

TEST_F(X11EditorTest, MenusByMouseAndKeysTypedValuesAndStoringAProgram) {
    ASSERT_TRUE(openEditor());
    pumpFor(200);
    const int row = 19, border = 2;
    // Channel mode by mouse: the third entry, Quadro.
    workMenu(150, 284, [&](Display* input, int x, int y, int, int) {
        EXPECT_EQ(x, kHostX + 127) << "the menu opens at the control's left";
        EXPECT_EQ(y, kHostY + 294) << "and below it";
        fakeMove(input, x + 20, y + border + 2 * row + row / 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        fakeButton(input, Button1, true);
        fakeButton(input, Button1, false);
    });
    EXPECT_EQ(parameter(7), 4.0f);
    // Oversampling by keys: 12x; then dismissed by Escape and by a click outside, changing nothing.
    workMenu(310, 284, [&](Display* input, int, int, int, int) {
        keys(input, {XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Return});
    });
    EXPECT_EQ(parameter(6), 0.8f);
    workMenu(310, 284, [&](Display* input, int, int, int, int) { keys(input, {XK_Down, XK_Escape}); });
    workMenu(310, 284, [&](Display* input, int, int, int, int) {
        keys(input, {XK_Down});
        fakeMove(input, 10, 10);
        fakeButton(input, Button1, true);
        fakeButton(input, Button1, false);
    });
    EXPECT_EQ(parameter(6), 0.8f);
    click(300, height + 30);
    EXPECT_EQ(hostClicks, 1) << "the menus gave the pointer back";
    for (const std::string& call : hostCalls().calls) EXPECT_EQ(call.rfind("automate", 0), std::string::npos) << call;

    // A double-click on the Volume display opens an entry for decibels.
    pointerTo(316, 246);
    for (bool down : {true, false, true, false}) button(down);
    ASSERT_EQ(childCount(display, frameWindow()), 1) << "the entry";
    fakeText(display, "-6");
    fakeKey(display, XK_Return);
    pumpFor(100);
    EXPECT_NEAR(parameter(5), 34.0f / 60.0f, 1e-6f);
    const std::vector<std::string>& calls = hostCalls().calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"begin 5", "automate 5", "end 5"}))
        << "the typed value is automated inside its gesture";
    EXPECT_EQ(childCount(display, frameWindow()), 0) << "Enter closed the entry";

    // "User:" loads the first user program; the last entry stores B there under a typed name.
    workMenu(480, 17, [&](Display* input, int, int, int, int) {
        for (int down = 0; down < 14; ++down) keys(input, {XK_Down});
        keys(input, {XK_Return});
    });
    EXPECT_EQ(parameter(3), 0.2f) << "program 12";
    workMenu(480, 17, [&](Display* input, int, int, int, int) {
        keys(input, {XK_Up});
        writeScreenshot(input, DefaultRootWindow(input), "editor-x11-program-menu.png");
        keys(input, {XK_Return});
    });
    click(480, 17);  // the name field now in the menu's place
    ASSERT_EQ(childCount(display, frameWindow()), 1) << "the entry";
    fakeText(display, "Bass");
    fakeKey(display, XK_EuroSign);  // beyond Latin-1: only the input method gives it as UTF-8
    fakeKey(display, XK_Return);
    pumpFor(100);
    char name[64] = {};
    effect->dispatcher(effect, effGetProgramNameIndexed, 12, 0, name, 0.0f);
    EXPECT_STREQ(name, "Bass\u20ac");
    EXPECT_EQ(parameter(3), 0.1f) << "B, the program the effect started with, was stored and loaded";
    pumpFor(200);
    EXPECT_TRUE(writeScreenshot(display, frameWindow(), "editor-x11-stored.png"));

    // The host closes the editor while an entry is open (after the test).
    pointerTo(236, 246);
    for (bool down : {true, false, true, false}) button(down);
    EXPECT_EQ(childCount(display, frameWindow()), 1) << "the entry";
}

TEST_F(X11EditorTest, AMenuNearTheScreensCornerStaysOnTheScreen) {
    hostX = 500;  // the program field lies at 920, 709 on a 1024 x 768 screen
    hostY = 700;
    XMoveWindow(display, host, hostX, hostY);
    XSync(display, False);
    ASSERT_TRUE(openEditor());
    pumpFor(200);
    workMenu(480, 17, [&](Display* input, int x, int y, int width, int height) {
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + width, 1024);
        EXPECT_LE(y + height, 768);
        keys(input, {XK_Escape});
    });
}

// Host automation arrives on the audio thread while the user drags a slider on the editor's thread.
TEST_F(X11EditorTest, AutomationFromTheAudioThreadWhileDraggingShowsOnThePanel) {
    ASSERT_TRUE(openEditor());
    pumpFor(200);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        float left[64] = {}, right[64] = {}, outLeft[64], outRight[64];
        float* inputs[6] = {left, right, left, right, left, right};
        float* outputs[6] = {outLeft, outRight, outLeft, outRight, outLeft, outRight};
        for (int block = 0; !stop; ++block) {
            effect->setParameter(effect, 4, float(block % 100) / 100.0f);
            effect->setParameter(effect, 0, float(block % 50) / 50.0f);
            effect->processReplacing(effect, inputs, outputs, 64);
        }
        effect->setParameter(effect, 4, 0.25f);
        effect->setParameter(effect, 0, 0.75f);
    });
    pointerTo(316, 150);
    button(true);
    for (int y = 150; y < 200; y += 10) pointerTo(316, y);
    button(false);
    stop = true;
    audio.join();
    EXPECT_EQ(parameter(4), 0.25f);
    expectMatchesMemoryRendering();
    EXPECT_TRUE(writeScreenshot(display, frameWindow(), "editor-x11-automated.png"));
}

TEST_F(X11EditorTest, OpeningAndClosingTwoHundredTimesLeavesNothingBehind) {
    auto cycles = [this](int count) {
        for (int round = 0; round < count; ++round) {
            ASSERT_TRUE(openEditor());
            dispatch(effEditIdle);
            dispatch(effEditClose);
            ASSERT_EQ(childCount(display, host), 0) << round;
        }
    };
    // The server drops a closed connection's resources once it has read its end.
    auto settled = [this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        XSync(display, False);
        return serverResources(display);
    };
    cycles(50);  // caches of the libraries settle first
    const ServerResources before = settled();
    const size_t residentBefore = residentBytes();
    cycles(200);
    const ServerResources after = settled();
    const size_t residentAfter = residentBytes();
    std::printf("X server: %d clients, %ld windows, %ld pixmaps after 50 cycles; %d, %ld, %ld after 200 more\n",
                before.clients, before.windows, before.pixmaps, after.clients, after.windows, after.pixmaps);
    std::printf("resident memory after 50 cycles %zu, after 200 more %zu bytes\n", residentBefore, residentAfter);
    EXPECT_EQ(after.clients, before.clients);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.pixmaps, before.pixmaps);
#ifndef KORVEL_ADDRESS_SANITIZER
    EXPECT_LT(residentAfter, residentBefore + 1024 * 1024);
#endif

    // An open editor with nothing changing: the host's idle at 25 Hz for four seconds.
    ASSERT_TRUE(openEditor());
    pumpFor(300);
    const double cpuBefore = processSeconds();
    const auto wallBefore = Clock::now();
    for (int tick = 0; tick < 100; ++tick) {
        dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    std::printf("idle editor: %.3f%% of one core (%.1f ms CPU in %.2f s at 25 idle calls a second)\n",
                100.0 * (processSeconds() - cpuBefore) / wall, 1000.0 * (processSeconds() - cpuBefore), wall);
}

}  // namespace
}  // namespace X11EditorTest
