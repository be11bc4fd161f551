// The text field's native EDIT control and the option menu's native pop-up, driven by real window
// messages in a frame window inside a test host window. The modal pop-up is steered from a thread
// timer that posts keys into the menu's message loop while it runs.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CBitmap.h"
#include "COptionMenu.h"
#include "CTextEdit.h"
#include "ControlHarness.h"
#include "ModuleInstance.h"
#include "WindowHost.h"

namespace NativeControlsTest {
namespace {

using namespace Toolkit;
using ControlsTest::EditorDouble;
using ControlsTest::EventLog;
using ControlsTest::ListenerDouble;
using FrameWindowTest::createHostWindow;
using FrameWindowTest::pump;

constexpr ViewColor kFieldBack{30, 90, 40, 255}, kFieldText{250, 240, 120, 255};
// The container holding the controls sits at (10, 30) in the frame.
constexpr ViewRect kContainer{10, 30, 290, 110}, kField{20, 10, 160, 28}, kMenu{170, 10, 250, 28};

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// The thread's top-level windows, or with a parent its child windows.
std::vector<HWND> windowsOf(HWND parent = nullptr) {
    std::vector<HWND> windows;
    const WNDENUMPROC add = [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    };
    if (parent)
        EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&windows));
    else
        EnumThreadWindows(GetCurrentThreadId(), add, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

LPARAM keyData(WPARAM key) { return LPARAM(1 | MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC) << 16); }

// Steers the next pop-up menu of the thread: each timer tick while a menu window is shown posts
// the next key of the script; once the script is done, the menu is ended so that no test hangs.
// Meanwhile it notes the menus that open (through WM_INITMENUPOPUP to the owner) and where.
class MenuDriver {
public:
    explicit MenuDriver(std::vector<WPARAM> keys, std::function<void(HMENU)> inspect = nullptr)
        : keys(std::move(keys)), inspect(std::move(inspect)) {
        active = this;
        timer = SetTimer(nullptr, 0, 40, tick);
        hook = SetWindowsHookExW(WH_CALLWNDPROC, watch, nullptr, GetCurrentThreadId());
    }
    ~MenuDriver() {
        KillTimer(nullptr, timer);
        UnhookWindowsHookEx(hook);
        active = nullptr;
    }

    std::vector<HMENU> menusShown;
    RECT menuArea{};  // where the first menu window was shown
    size_t keysPosted = 0;
    bool endedByDriver = false;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuDriver& self = *active;
        HWND shown = nullptr;
        for (HWND window : windowsOf())
            if (classOf(window) == L"#32768" && IsWindowVisible(window)) shown = window;
        if (!shown) return;
        if (self.menuArea.right == 0) GetWindowRect(shown, &self.menuArea);
        if (self.inspect && !self.menusShown.empty()) std::exchange(self.inspect, nullptr)(self.menusShown.front());
        if (self.keysPosted < self.keys.size()) {
            HWND focus = GetFocus();
            const WPARAM key = self.keys[self.keysPosted++];
            PostMessageW(focus, WM_KEYDOWN, key, keyData(key));
            PostMessageW(focus, WM_KEYUP, key, keyData(key) | LPARAM(0xc0000000u));
        } else {
            self.endedByDriver = true;
            EndMenu();
        }
    }
    static LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active && message->message == WM_INITMENUPOPUP)
            active->menusShown.push_back(reinterpret_cast<HMENU>(message->wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline MenuDriver* active = nullptr;
    std::vector<WPARAM> keys;
    std::function<void(HMENU)> inspect;
    UINT_PTR timer = 0;
    HHOOK hook = nullptr;
};

class NativeControlsTest : public ::testing::Test {
protected:
    NativeControlsTest() {
        setModuleInstance(GetModuleHandleW(nullptr));
        host = createHostWindow(300, 120);
        frame = new CFrame(ViewRect{0, 0, 300, 120}, host, &editor);
        frame->setBackgroundColor({128, 128, 128, 255});
        auto* container = new CViewContainer(kContainer);
        frame->appendChild(container);
        field = new CTextEdit(kField, &listener, 10, "Warm bass");
        field->setBackColor(kFieldBack);
        field->setFontColor(kFieldText);
        container->appendChild(field);
        menu = new COptionMenu(kMenu, &listener, 7, nullptr, nullptr, kCheckStyle);
        container->appendChild(menu);
        windowsBefore = windowsOf().size();
    }
    ~NativeControlsTest() override {
        if (frame) frame->release();
        DestroyWindow(host);
        pump();
    }

    HWND frameWindow() const { return static_cast<HWND>(frame->nativeWindow()); }
    // Presses and releases a button over a point of rect (relative to the container).
    LRESULT click(const ViewRect& rect, UINT message = WM_LBUTTONDOWN, WPARAM keys = MK_LBUTTON) {
        const int32_t x = kContainer.left + rect.left + 3, y = kContainer.top + rect.top + 3;
        const LRESULT result = SendMessageW(frameWindow(), message, keys, MAKELPARAM(x, y));
        SendMessageW(frameWindow(), message + 1, 0, MAKELPARAM(x, y));
        return result;
    }
    // Opens the field at rect (relative to the container) by a click; the native control, or null.
    HWND openField(const ViewRect& rect = kField) {
        click(rect);
        return FindWindowExW(frameWindow(), nullptr, L"Edit", nullptr);
    }
    static std::wstring textOf(HWND edit) {
        wchar_t text[1024] = L"";
        GetWindowTextW(edit, text, 1024);
        return text;
    }
    static void type(HWND edit, const std::wstring& text) {
        for (wchar_t character : text) SendMessageW(edit, WM_CHAR, character, 1);
    }
    static void press(HWND edit, WPARAM key) {
        SendMessageW(edit, WM_KEYDOWN, key, keyData(key));
        if (IsWindow(edit)) SendMessageW(edit, WM_KEYUP, key, keyData(key) | LPARAM(0xc0000000u));
    }
    // Nothing of an editing or a menu left: no child of the frame window, no new top-level window.
    void expectNothingLeft() {
        EXPECT_TRUE(windowsOf(frameWindow()).empty());
        EXPECT_EQ(windowsOf().size(), windowsBefore);
    }

    EventLog log;
    EditorDouble editor{log};
    ListenerDouble listener{log};
    HWND host = nullptr;
    CFrame* frame = nullptr;
    CTextEdit* field = nullptr;
    COptionMenu* menu = nullptr;
    size_t windowsBefore = 0;
};

TEST_F(NativeControlsTest, AClickOpensAnEditAtTheFieldWhoseTextEnterCommitsOnce) {
    HWND edit = openField();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(classOf(edit), L"Edit");
    EXPECT_EQ(GetParent(edit), frameWindow());
    RECT area{};
    GetWindowRect(edit, &area);
    MapWindowPoints(nullptr, frameWindow(), reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 30);
    EXPECT_EQ(area.top, 40);
    EXPECT_EQ(area.right, 30 + kField.width() + 1);
    EXPECT_EQ(area.bottom, 40 + kField.height() + 1);
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_CENTER | ES_MULTILINE),
              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_CENTER);
    auto* font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    LOGFONTW shape{};
    ASSERT_TRUE(GetObjectW(font, sizeof shape, &shape));
    EXPECT_EQ(shape.lfHeight, -12);
    EXPECT_STREQ(shape.lfFaceName, L"Arial");
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(textOf(edit), L"Warm bass");
    DWORD from = 1, to = 0;
    SendMessageW(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 9u) << "the whole text is selected";
    EXPECT_EQ(frame->focusedView(), field);

    // Typing replaces the selection; the field paints in its own colours meanwhile.
    type(edit, L"Dunkel \u00fc\u20ac");
    EXPECT_EQ(textOf(edit), L"Dunkel \u00fc\u20ac");
    UpdateWindow(host);
    FrameWindowTest::ScreenPicture picture(frameWindow(), 300, 120);
    EXPECT_TRUE(picture.writePng(L"controls-windows-editing.png"));
    EXPECT_EQ(picture.at(area.right - 3, area.top + 2), kFieldBack);
    EXPECT_EQ(log.count("changed"), 0);

    press(edit, VK_RETURN);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(GetObjectType(font), 0u) << "the control's font is deleted with it";
    EXPECT_STREQ(field->textPointer(), "Dunkel \xc3\xbc\xe2\x82\xac");
    EXPECT_TRUE(field->returnWasPressed());
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 10", "beginEdit 10", "changed 10 0.0000", "endEdit 10",
                                                    "ended 10"}));
    expectNothingLeft();

    // Enter on the text as it was reports nothing.
    edit = openField();
    press(edit, VK_RETURN);
    EXPECT_EQ(log.count("changed"), 1);
    expectNothingLeft();
}

TEST_F(NativeControlsTest, EscapeAbandonsTheEditAndLosingTheFocusCommits) {
    HWND edit = openField();
    ASSERT_NE(edit, nullptr);
    type(edit, L"Bright");
    press(edit, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(edit)) << "Escape closes the edit";
    EXPECT_STREQ(field->textPointer(), "Warm bass");
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(log.count("changed"), 0);
    EXPECT_EQ(log.count("endEdit 10"), 1);
    expectNothingLeft();

    edit = openField();
    type(edit, L"Bright");
    SetFocus(host);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_STREQ(field->textPointer(), "Bright");
    EXPECT_FALSE(field->returnWasPressed());
    EXPECT_EQ(frame->focusedView(), nullptr);
    EXPECT_EQ(log.only("changed"), std::vector<std::string>{"changed 10 0.0000"});
    EXPECT_EQ(log.count("endEdit 10"), 2);
    expectNothingLeft();
}

TEST_F(NativeControlsTest, TheEditKeepsAtMost255CharactersAndTheFieldAtMost255Bytes) {
    HWND edit = openField();
    ASSERT_NE(edit, nullptr);
    type(edit, std::wstring(300, L'x'));
    EXPECT_EQ(GetWindowTextLengthW(edit), 255);
    press(edit, VK_RETURN);
    EXPECT_EQ(std::string(field->textPointer()), std::string(255, 'x'));

    // Two bytes each in UTF-8: the field keeps the whole characters that fit.
    edit = openField();
    type(edit, std::wstring(300, L'\u00e9'));
    EXPECT_EQ(GetWindowTextLengthW(edit), 255);
    SetFocus(host);
    std::string expected;
    for (int i = 0; i < 127; ++i) expected += "\xc3\xa9";
    EXPECT_EQ(std::string(field->textPointer()), expected);
    expectNothingLeft();
}

TEST_F(NativeControlsTest, AnEditClosedByItsFieldOrEditorTellsNoListenerAndOneClosedWithItsWindowCommits) {
    HWND edit = openField();
    type(edit, L"Gone");
    // The field leaving the tree closes its edit quietly.
    frame->removeChild(field->parent());
    EXPECT_FALSE(IsWindow(edit));
    expectNothingLeft();

    // The editor closing its frame while a field is edited.
    auto* other = new CTextEdit(kField, &listener, 12, "Kept");
    frame->appendChild(other);
    edit = openField(kField.offsetBy(-kContainer.left, -kContainer.top));
    ASSERT_NE(edit, nullptr);
    type(edit, L"Late");
    frame->release();
    frame = nullptr;
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(log.count("changed"), 0);
    EXPECT_EQ(log.count("endEdit 10"), 1);
    EXPECT_EQ(log.count("endEdit 12"), 1);

    // The host destroying its window while a field is edited: the control losing the focus on its
    // way out ends the editing like any focus loss.
    frame = new CFrame(ViewRect{0, 0, 300, 120}, host, &editor);
    other = new CTextEdit(kField, &listener, 13, "Kept");
    frame->appendChild(other);
    edit = openField(kField.offsetBy(-kContainer.left, -kContainer.top));
    ASSERT_NE(edit, nullptr);
    type(edit, L"Late");
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_STREQ(other->textPointer(), "Late");
    frame->release();
    frame = nullptr;
    EXPECT_EQ(log.only("changed"), std::vector<std::string>{"changed 13 0.0000"});
    EXPECT_EQ(log.count("endEdit 13"), 1);
}

// The entry as the field's seam describes it, with a client that only counts.
TEST_F(NativeControlsTest, AnEntryClosedByItsOwnerCallsNoClientAndHoldsAtMostTheLimit) {
    struct Client : NativeTextEntryClient {
        int calls = 0;
        void nativeEntryReturnPressed() override { ++calls; }
        void nativeEntryFocusLost() override { ++calls; }
        void nativeEntryCancelled() override { ++calls; }
    } client;
    NativeTextEntryLayout layout;
    layout.rect = {5, 6, 105, 26};
    for (const int32_t alignment : {0, 2}) {
        layout.alignment = alignment;
        std::string text;  // 200 characters of two UTF-16 units (four UTF-8 bytes) each
        for (int i = 0; i < 200; ++i) text += "\xf0\x9d\x84\x9e";
        auto entry = createNativeTextEntry(*frame, layout, text, client);
        HWND edit = FindWindowExW(frameWindow(), nullptr, L"Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & (ES_CENTER | ES_RIGHT), alignment == 0 ? ES_LEFT : ES_RIGHT);
        EXPECT_EQ(GetWindowTextLengthW(edit), 254) << "cut before the limit, not inside a character";
        EXPECT_EQ(entry->text(), text.substr(0, 127 * 4));
        EXPECT_EQ(GetFocus(), edit);
        entry.reset();
        EXPECT_FALSE(IsWindow(edit));
        EXPECT_EQ(client.calls, 0);
    }
}

class NativeMenuTest : public NativeControlsTest {
protected:
    NativeMenuTest() {
        for (const char* title : {"Mono", "Stereo", "-", "Quadro"}) menu->addEntry(title);
        menu->addEntry("Dim", -1, 1);  // disabled
        more = new COptionMenu(kMenu, nullptr, 0);
        more->addEntry("5.1");
        more->addEntry("7.1");
        menu->addEntry(more, "More");
        more->release();
        menu->setValue(1.0f);
    }
    // Presses the menu and lets the driver steer its pop-up; the press's answer.
    LRESULT choose(MenuDriver& driver, UINT message = WM_LBUTTONDOWN, WPARAM keys = MK_LBUTTON) {
        const LRESULT result = click(kMenu, message, keys);
        for (HMENU shown : driver.menusShown) EXPECT_FALSE(IsMenu(shown)) << "a menu handle outlived the pop-up";
        pump();
        expectNothingLeft();
        return result;
    }
    COptionMenu* more = nullptr;
};

TEST_F(NativeMenuTest, ThePopupOpensBelowTheMenuWithItsEntriesAsTheMenuDescribesThem) {
    menu->setPrefixNumbers(3);
    menu->setEntriesPerColumn(4);
    menu->addEntry("Heading", -1, 2);  // a title entry
    const std::vector<uint32_t> red(64, 0xffff0000u);
    auto* icon = new CBitmap(8, 8, red.data());
    menu->entryAt(3)->setIcon(icon);
    icon->release();
    std::vector<std::wstring> shown;
    HBITMAP iconShown = nullptr;
    MenuDriver driver({}, [&shown, &iconShown](HMENU root) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_BITMAP;
        GetMenuItemInfoW(root, 3, TRUE, &item);
        iconShown = item.hbmpItem;
        for (int i = 0; i < GetMenuItemCount(root); ++i) {
            wchar_t title[64] = L"";
            GetMenuStringW(root, UINT(i), title, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(root, UINT(i), MF_BYPOSITION);
            std::wstring line = title;
            if (state & MF_SEPARATOR) {
                shown.push_back(line + L" separator");
                continue;
            }
            if (state & MF_CHECKED) line += L" checked";
            if (state & MF_GRAYED) line += L" grayed";
            if ((state & (MF_GRAYED | MF_DISABLED)) == MF_DISABLED) line += L" inert";
            if (state & MF_MENUBARBREAK) line += L" column";
            if (GetSubMenu(root, i)) line += L" submenu";
            shown.push_back(line);
        }
    });
    EXPECT_EQ(choose(driver), 0);
    EXPECT_TRUE(driver.endedByDriver);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"01 Mono", L"02 Stereo checked", L" separator", L"04 Quadro",
                                                L"05 Dim grayed column", L"06 More submenu",
                                                L"07 Heading inert"}));
    EXPECT_NE(iconShown, nullptr);
    EXPECT_EQ(GetObjectType(iconShown), 0u) << "the icon's bitmap is deleted with the menu";
    const RECT popup = driver.menuArea;
    const POINT expected = FrameWindowTest::screenPoint(frameWindow(), kContainer.left + kMenu.left,
                                                        kContainer.top + kMenu.bottom);
    EXPECT_EQ(popup.left, expected.x);
    EXPECT_EQ(popup.top, expected.y);
    EXPECT_EQ(menu->value(), 1.0f);
    EXPECT_EQ(menu->lastResult(), -1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 7", "beginEdit 7", "endEdit 7", "ended 7"}));
}

TEST_F(NativeMenuTest, TheChosenEntryBecomesTheMenusValue) {
    MenuDriver driver({VK_DOWN, VK_RETURN});
    choose(driver);
    EXPECT_FALSE(driver.endedByDriver);
    EXPECT_EQ(menu->value(), 0.0f);
    EXPECT_EQ(menu->lastResult(), 0);
    EXPECT_EQ(menu->lastMenu(), menu);
    EXPECT_EQ(listener.changed, std::vector<CControl*>{menu});
    EXPECT_EQ(log.events, (std::vector<std::string>{"began 7", "beginEdit 7", "changed 7 0.0000", "endEdit 7",
                                                    "ended 7"}));
    EXPECT_EQ(frame->focusedView(), nullptr);

    MenuDriver skipping({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    choose(skipping);
    EXPECT_EQ(menu->value(), 3.0f) << "the separator is passed over and counts as an entry";
}

TEST_F(NativeMenuTest, AnEntryOfASubmenuBecomesTheSubmenusValue) {
    MenuDriver driver({VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN});
    choose(driver, WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(driver.menusShown.size(), 2u);
    EXPECT_EQ(more->value(), 1.0f);
    EXPECT_EQ(menu->value(), 1.0f);
    EXPECT_EQ(menu->lastResult(), 6 + 1);
    EXPECT_EQ(menu->lastMenu(), more);
    EXPECT_EQ(listener.changed, std::vector<CControl*>{more});
}

TEST_F(NativeMenuTest, EscapeOrADisabledEntryLeavesTheValue) {
    MenuDriver driver({VK_ESCAPE});
    choose(driver);
    EXPECT_FALSE(driver.endedByDriver);
    EXPECT_EQ(menu->value(), 1.0f);
    EXPECT_EQ(menu->lastResult(), -1);
    EXPECT_EQ(log.count("changed"), 0);
    EXPECT_EQ(log.count("endEdit 7"), 1);

    // Up from nothing highlighted reaches "More", then the disabled "Dim"; Enter there chooses nothing.
    MenuDriver grayed({VK_UP, VK_UP, VK_RETURN});
    choose(grayed);
    EXPECT_EQ(menu->value(), 1.0f);
    EXPECT_EQ(log.count("changed"), 0);
}

}  // namespace
}  // namespace NativeControlsTest
