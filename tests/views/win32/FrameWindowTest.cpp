// The frame's child window driven the way a host drives it: real window messages into a frame
// inside a top-level window, with the thread's message queue pumped in between.

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "ModuleInstance.h"
#include "TextEntryColors.h"
#include "ViewProbes.h"
#include "WindowHost.h"

namespace FrameWindowTest {
namespace {

constexpr ViewColor kGrey{128, 128, 128}, kBlue{0, 0, 160}, kRed{200, 0, 0}, kGreen{0, 200, 0},
    kTeal{0, 160, 160}, kYellow{220, 220, 0}, kWhite{255, 255, 255};

class FrameWindowTest : public ::testing::Test {
protected:
    FrameWindowTest() {
        setModuleInstance(GetModuleHandleW(nullptr));
        host = createHostWindow(200, 150);
        frame = openFrame();
    }
    ~FrameWindowTest() override {
        if (frame) frame->release();
        DestroyWindow(host);
        pump();
    }

    CFrame* openFrame() {
        auto* opened = new CFrame(ViewRect{0, 0, 100, 80}, host, nullptr);
        opened->setBackgroundColor(kGrey);
        return opened;
    }
    HWND frameWindow() const { return static_cast<HWND>(frame->nativeWindow()); }
    RecordingView* view(const std::string& name, const ViewRect& size, ViewColor colour = kRed,
                        CViewContainer* parent = nullptr) {
        auto* added = new RecordingView(name, size, journal, colour);
        (parent ? parent : frame)->appendChild(added);
        return added;
    }
    LRESULT send(UINT message, WPARAM wParam, int32_t x, int32_t y) {
        return SendMessageW(frameWindow(), message, wParam, MAKELPARAM(x, y));
    }
    // Moves the real pointer from outside onto the frame window's point and waits for its move to
    // arrive there, as a user's would.
    void pointerTo(int32_t x, int32_t y) {
        SetCursorPos(0, 0);
        pump();
        const POINT screen = screenPoint(frameWindow(), x, y);
        SetCursorPos(screen.x, screen.y);
        ASSERT_TRUE(pumpUntil([&] { return frame->mouseOverView() != nullptr; })) << "the pointer's move did not arrive";
    }
    // Presses or releases keys through the system's input, and lets the thread see them.
    void keys(std::initializer_list<WORD> virtualKeys, bool down) {
        for (WORD key : virtualKeys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
            SendInput(1, &input, sizeof(INPUT));
        }
        pumpUntil([&] {
            for (WORD key : virtualKeys)
                if ((GetKeyState(key) < 0) != down) return false;
            return true;
        });
    }
    void button(DWORD event) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = event;
        SendInput(1, &input, sizeof(INPUT));
    }
    Journal take() {
        Journal taken;
        taken.swap(journal);
        return taken;
    }
    void paintNow() {
        UpdateWindow(frameWindow());
        pump();
    }

    Journal journal;
    HWND host = nullptr;
    CFrame* frame = nullptr;
};

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

bool classRegistered(const std::wstring& name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    return GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &info) != 0;
}

TEST_F(FrameWindowTest, TheWindowIsAChildOfTheHostsWindowOfTheModulesClass) {
    const HWND window = frameWindow();
    ASSERT_NE(window, nullptr);
    const std::wstring name = classOf(window);
    ASSERT_EQ(name.substr(0, 6), L"Plugin");
    EXPECT_EQ(std::wcstoull(name.c_str() + 6, nullptr, 16), reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)))
        << "the class name carries the module handle";
    EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), ULONG_PTR(CS_GLOBALCLASS | CS_DBLCLKS));

    const DWORD style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0u);
    // Windows from major version 6 on paints the window composited; before, the frame buffers itself.
    const bool composited = GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_COMPOSITED;
#ifdef KORVEL_REPORTED_WINDOWS_MAJOR
    ASSERT_EQ(LOBYTE(LOWORD(GetVersion())), KORVEL_REPORTED_WINDOWS_MAJOR) << "the system's version is not the one asked for";
    EXPECT_FALSE(composited);
#else
    EXPECT_TRUE(composited) << "Wine reports a Windows of major version 6 or later";
#endif
    wchar_t title[16] = L"";
    GetWindowTextW(window, title, 16);
    EXPECT_STREQ(title, L"Window");
    EXPECT_EQ(GetParent(window), host);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(frame));
    RECT placed{};
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right, 100);
    EXPECT_EQ(placed.bottom, 80);
    EXPECT_TRUE(frame->isDropTargetActive());
    // The system keeps a registered drop target with the window.
    auto registeredTarget = [&] { return GetPropW(window, L"OleDropTargetInterface"); };
    EXPECT_NE(registeredTarget(), nullptr);
    EXPECT_TRUE(frame->enableDropTarget(false));
    EXPECT_EQ(registeredTarget(), nullptr);
    EXPECT_TRUE(frame->enableDropTarget(true));
    EXPECT_NE(registeredTarget(), nullptr);

    // Without a host window there is no window: nothing to draw on, no drops.
    auto* lone = new CFrame(ViewRect{0, 0, 50, 50}, nullptr, nullptr);
    EXPECT_EQ(lone->nativeWindow(), nullptr);
    EXPECT_EQ(lone->createDrawContext(), nullptr);
    EXPECT_FALSE(lone->isDropTargetActive());
    EXPECT_FALSE(lone->enableDropTarget(true));
    lone->release();
}

TEST_F(FrameWindowTest, TheClassLivesFromTheFirstFrameToTheLast) {
    const std::wstring name = classOf(frameWindow());
    CFrame* second = openFrame();
    EXPECT_EQ(classOf(static_cast<HWND>(second->nativeWindow())), name);
    frame->release();
    frame = nullptr;
    EXPECT_TRUE(classRegistered(name)) << "the second frame still uses the class";
    second->release();
    EXPECT_FALSE(classRegistered(name)) << "the last frame's window is gone, its class must go too";

    frame = openFrame();
    ASSERT_NE(frameWindow(), nullptr) << "a new frame registers the class again";
    EXPECT_TRUE(classRegistered(name));
}

TEST_F(FrameWindowTest, ButtonMessagesReachTheViewsAndCaptureFollowsTheViewsAnswer) {
    view("taker", {10, 10, 40, 40});
    RecordingView* refuser = view("refuser", {50, 10, 90, 40});
    refuser->downResult = kMouseNotHandled;
    pointerTo(20, 25);

    send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 25);
    EXPECT_EQ(GetCapture(), frameWindow()) << "a view took the press";
    send(WM_MOUSEMOVE, MK_LBUTTON, 60, 30);
    send(WM_LBUTTONUP, 0, 60, 30);
    EXPECT_EQ(GetCapture(), nullptr) << "released on button up";

    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 60, 20);
    EXPECT_EQ(GetCapture(), nullptr) << "no view took the press";
    send(WM_LBUTTONUP, MK_SHIFT, 60, 20);

    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 20, 20);
    EXPECT_EQ(GetCapture(), frameWindow());
    send(WM_LBUTTONUP, 0, 20, 20);
    send(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 30, 30);
    send(WM_RBUTTONUP, 0, 30, 30);
    send(WM_XBUTTONDBLCLK, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), 30, 30);
    send(WM_XBUTTONUP, 0, 30, 30);
    // Keys reach the frame through the editor, never through its window.
    SendMessageW(frameWindow(), WM_KEYDOWN, 'A', 1);
    // The real pointer's arrival made taker the hovered view; a press ends the hover.
    EXPECT_EQ(take(), (Journal{"taker entered 20,25", "taker exited", "taker down 20,25 b2", "taker moved 60,30 b2", "taker up 60,30",
                               "refuser down 60,20 b18", "taker down 20,20 b1026", "taker up 20,20",
                               "taker down 30,30 b40", "taker up 30,30", "taker down 30,30 b1536",
                               "taker up 30,30"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FrameWindowTest, WheelTurnsArriveInWholeStepsAtTheClientPointOfTheirScreenPosition) {
    view("wheel", {10, 10, 90, 70});
    auto turn = [&](short delta, int32_t x, int32_t y) {
        const POINT screen = screenPoint(frameWindow(), x, y);
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)), screen.x, screen.y);
    };
    turn(120, 30, 40);
    turn(-240, 31, 41);
    turn(60, 32, 42);
    turn(-359, 33, 43);
    // Modifiers come from the keyboard's state, not from the message. (Under Wine, a Shift sent
    // through the system's input does not show in the key state; Control does.)
    keys({VK_CONTROL}, true);
    turn(120, 34, 44);
    keys({VK_CONTROL}, false);
    EXPECT_EQ(take(), (Journal{"wheel wheel 1 30,40", "wheel wheel -2 31,41", "wheel wheel 0 32,42",
                               "wheel wheel -2 33,43", "wheel wheel 1 34,44 b32"}));
}

TEST_F(FrameWindowTest, ThePointersPositionAndButtonsAreReadFromTheSystem) {
    view("pressed", {10, 10, 90, 70});
    pointerTo(30, 40);
    EXPECT_EQ(frame->currentMousePosition(), (ViewPoint{30, 40}));
    EXPECT_EQ(frame->currentButtons(), 0);
    journal.clear();
    // A real press: the view takes it, the window captures the pointer, the button reads as held.
    button(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(pumpUntil([&] { return !journal.empty(); }));
    EXPECT_EQ(take(), (Journal{"pressed exited", "pressed down 30,40 b2"}));
    EXPECT_EQ(GetCapture(), frameWindow());
    EXPECT_EQ(frame->currentButtons(), kLButton);
    button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pumpUntil([&] { return !journal.empty(); }));
    EXPECT_EQ(take().front(), "pressed up 30,40");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(frame->currentButtons(), 0);
}

TEST_F(FrameWindowTest, ThePointerLeavingTheWindowEndsTheHover) {
    view("hover", {0, 0, 100, 80});
    // The real pointer enters the window: its first move asks the system to report the leave.
    pointerTo(30, 30);
    EXPECT_EQ(take(), (Journal{"hover entered 30,30"}));
    TRACKMOUSEEVENT tracking{sizeof(TRACKMOUSEEVENT), TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&tracking));
    EXPECT_TRUE(tracking.dwFlags & TME_LEAVE);
    EXPECT_EQ(tracking.hwndTrack, frameWindow());
    SetCursorPos(5, 5);
    ASSERT_TRUE(pumpUntil([&] { return !journal.empty(); })) << "no leave notification arrived";
    EXPECT_EQ(take(), (Journal{"hover exited"}));
    SendMessageW(frameWindow(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(take().empty()) << "nothing is hovered any more";
}

TEST_F(FrameWindowTest, ADirtyViewIsRepaintedThroughTheUpdateRegionAlone) {
    RecordingView* left = view("left", {10, 10, 40, 40}, kRed);
    RecordingView* right = view("right", {50, 10, 90, 40}, kGreen);
    paintNow();
    ASSERT_EQ(ScreenPicture(frameWindow(), 100, 80).at(60, 20), kGreen);
    left->paintedUpdates.clear();
    right->paintedUpdates.clear();

    // Colours change; only the view marked dirty may be drawn again.
    left->colour = kBlue;
    right->colour = kYellow;
    right->setDirty(true);
    frame->idle();
    RECT pending{};
    ASSERT_TRUE(GetUpdateRect(frameWindow(), &pending, FALSE)) << "idle asked for no repaint";
    EXPECT_EQ((ViewRect{pending.left, pending.top, pending.right, pending.bottom}), (ViewRect{50, 10, 90, 40}));
    paintNow();
    EXPECT_FALSE(GetUpdateRect(frameWindow(), &pending, FALSE)) << "the paint left its region pending";
    EXPECT_EQ(right->paintedUpdates, std::vector<ViewRect>{ViewRect(50, 10, 90, 40)});
    EXPECT_TRUE(left->paintedUpdates.empty());
    const ScreenPicture picture(frameWindow(), 100, 80);
    EXPECT_EQ(picture.at(60, 20), kYellow);
    EXPECT_EQ(picture.at(20, 20), kRed) << "a view outside the update region was drawn again";
    EXPECT_EQ(picture.at(45, 60), kGrey);

    // A paint message without an update region draws nothing.
    SendMessageW(frameWindow(), WM_PAINT, 0, 0);
    EXPECT_TRUE(right->paintedUpdates.size() == 1 && left->paintedUpdates.empty());
}

// The tree of the portable drawing test, made of its probe views: A (blue) at (10, 10) holds red,
// which paints beyond its rectangle, and green, both reaching out of A, and B (teal) at (25, 25)
// with yellow; white lies on top of A's corner.
void buildTree(CFrame* frame, Journal& journal) {
    auto* a = new ViewsTest::ProbeContainer("A", {10, 10, 60, 60}, journal, kBlue);
    frame->appendChild(a);
    auto* red = new ViewsTest::Probe("red", {-5, -5, 20, 20}, journal, kRed);
    red->bleed = 3;
    a->appendChild(red);
    a->appendChild(new ViewsTest::Probe("green", {10, 10, 70, 30}, journal, kGreen));
    auto* b = new ViewsTest::ProbeContainer("B", {25, 25, 45, 45}, journal, kTeal);
    a->appendChild(b);
    b->appendChild(new ViewsTest::Probe("yellow", {5, 5, 15, 15}, journal, kYellow));
    frame->appendChild(new ViewsTest::Probe("white", {50, 50, 70, 70}, journal, kWhite));
}

TEST_F(FrameWindowTest, ATreePaintedInTheWindowLooksAsOnLinux) {
    buildTree(frame, journal);
    InvalidateRect(frameWindow(), nullptr, TRUE);
    paintNow();
    const ScreenPicture picture(frameWindow(), 100, 80);
    EXPECT_TRUE(picture.writePng(KORVEL_WINDOW_PICTURE));
    EXPECT_EQ(picture.at(7, 7), kGrey);
    EXPECT_EQ(picture.at(45, 45), kYellow);
    EXPECT_EQ(picture.at(65, 25), kGrey);

    const ScreenPicture linux = readPicture(KORVEL_LINUX_VIEW_TREE);
    if (linux.width == 0) GTEST_SKIP() << "no Linux picture: build and test the default preset first";
    ASSERT_EQ(linux.width, picture.width);
    ASSERT_EQ(linux.height, picture.height);
    int differing = 0;
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            const ViewColor a = picture.at(x, y), b = linux.at(x, y);
            const int difference = std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
            if (difference > 2 && differing++ < 10) ADD_FAILURE() << "pixel " << x << "," << y << " differs by " << difference;
        }
    EXPECT_EQ(differing, 0);
}

struct EntryColours : public RecordingView, public TextEntryColors {
    using RecordingView::RecordingView;
    ViewColor textEntryFontColor() const override { return font; }
    ViewColor textEntryBackColor() const override { return back; }
    ViewColor font{10, 20, 30}, back{200, 210, 220, 0};
};

TEST_F(FrameWindowTest, TheTextEntryIsColouredFromTheFocusViewWithOneBrushAtATime) {
    auto* entry = new EntryColours("entry", {10, 10, 90, 30}, journal, kWhite);
    entry->setWantsFocus(true);
    frame->appendChild(entry);
    frame->setFocusedView(entry);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 10, 10, 80, 20, frameWindow(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    HDC device = GetDC(edit);
    auto colour = [&] {
        return reinterpret_cast<HBRUSH>(SendMessageW(frameWindow(), WM_CTLCOLOREDIT, WPARAM(device), LPARAM(edit)));
    };
    auto brushColour = [](HBRUSH brush) {
        LOGBRUSH description{};
        return GetObjectW(brush, sizeof(description), &description) ? description.lbColor : CLR_INVALID;
    };

    HBRUSH first = colour();
    EXPECT_EQ(brushColour(first), RGB(200, 210, 220));
    EXPECT_EQ(GetTextColor(device), RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(device), RGB(200, 210, 220));
    entry->back = ViewColor{1, 2, 3};
    HBRUSH second = colour();
    EXPECT_EQ(brushColour(second), RGB(1, 2, 3));
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush was not deleted";

    frame->setFocusedView(nullptr);
    colour();
    EXPECT_EQ(GetTextColor(device), GetSysColor(COLOR_WINDOWTEXT)) << "without a focus view the system colours";
    ReleaseDC(edit, device);
    DestroyWindow(edit);
}

TEST_F(FrameWindowTest, CursorKindsShowSystemCursorsAndTheFirstCursorComesBack) {
    auto system = [](LPCSTR id) { return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id)); };
    HCURSOR before = SetCursor(system(IDC_CROSS));
    before = GetCursor();
    frame->setCursorKind(kCursorHand);
    EXPECT_EQ(GetCursor(), system(IDC_HAND));
    frame->setCursorKind(kCursorSizeWestEast);
    EXPECT_EQ(GetCursor(), system(IDC_SIZEWE));
    frame->setCursorKind(kCursorDefault);
    EXPECT_EQ(GetCursor(), before);
    frame->setCursorKind(kCursorNotAllowed);
    frame->release();
    frame = nullptr;
    EXPECT_EQ(GetCursor(), before) << "closing the frame brings the first cursor back";
}

TEST_F(FrameWindowTest, ResizingGrowsTheHostWindowAroundTheFrame) {
    // A frame that fills the host's window, as an editor's does.
    frame->release();
    frame = new CFrame(ViewRect{0, 0, 200, 150}, host, nullptr);
    ASSERT_TRUE(frame->resizeWindow(260, 190));
    RECT client{}, own{};
    GetClientRect(host, &client);
    GetClientRect(frameWindow(), &own);
    EXPECT_EQ(own.right, 260);
    EXPECT_EQ(own.bottom, 190);
    EXPECT_EQ(client.right, 260) << "the host's borders were not added";
    EXPECT_EQ(client.bottom, 190);
    EXPECT_EQ(frame->viewSize(), (ViewRect{0, 0, 260, 190}));
}

TEST_F(FrameWindowTest, TheHostDestroyingItsWindowClosesTheFrame) {
    DestroyWindow(host);
    host = nullptr;
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->parentWindow(), nullptr);
}

}  // namespace
}  // namespace FrameWindowTest
