// The test program plays a Windows host: it loads korvel_x64.dll through its entry, opens the editor
// in a top-level window of the size the editor asks for, idles it from a timer and works the panel
// with the system's pointer, checking the effect's parameters and the host calls it receives.

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SliderDrags.h"
#include "VstInterface.h"
#include "WindowHost.h"

namespace EditorWindowTest {
namespace {

using namespace FrameWindowTest;

std::vector<std::string> hostCalls;
std::vector<float> automatedValues;  // the value of each "automate" call, in order
AEffect* idledEffect = nullptr;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float value) {
    char text[64];
    if (opcode == audioMasterAutomate) {
        std::snprintf(text, sizeof text, "automate %d", index);
        hostCalls.push_back(text);
        automatedValues.push_back(value);
    } else if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) {
        std::snprintf(text, sizeof text, "%s %d", opcode == audioMasterBeginEdit ? "begin" : "end", index);
        hostCalls.push_back(text);
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

void CALLBACK idleTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (idledEffect) idledEffect->dispatcher(idledEffect, effEditIdle, 0, 0, nullptr, 0.0f);
}

// Clicks and wheel turns that reach the host window itself.
int hostClicks = 0;
int hostWheels = 0;
WNDPROC hostProcedure = nullptr;
LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) ++hostClicks;
    if (message == WM_MOUSEWHEEL) ++hostWheels;
    return CallWindowProcW(hostProcedure, window, message, wParam, lParam);
}

int childWindows(HWND window) {
    int count = 0;
    EnumChildWindows(window, [](HWND, LPARAM counter) { return ++*reinterpret_cast<int*>(counter), TRUE; },
                     reinterpret_cast<LPARAM>(&count));
    return count;
}

LPARAM keyData(WPARAM key) { return LPARAM(1 | MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC) << 16); }

// Steers the next pop-up menu of the thread as a user's keys would: while a menu window shows, each
// timer tick posts the next key of the script to it; after the script the menu is ended.
class MenuKeys {
public:
    explicit MenuKeys(std::vector<WPARAM> keys) : keys(std::move(keys)) {
        active = this;
        timer = SetTimer(nullptr, 0, 40, tick);
    }
    ~MenuKeys() {
        KillTimer(nullptr, timer);
        active = nullptr;
    }

private:
    static BOOL CALLBACK findMenu(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32768" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findMenu, reinterpret_cast<LPARAM>(&menu));
        if (!menu || !active) return;
        if (active->next == active->keys.size()) {
            EndMenu();
            return;
        }
        const WPARAM key = active->keys[active->next++];
        PostMessageW(GetFocus(), WM_KEYDOWN, key, keyData(key));
        PostMessageW(GetFocus(), WM_KEYUP, key, keyData(key) | LPARAM(0xc0000000u));
    }

    static inline MenuKeys* active = nullptr;
    std::vector<WPARAM> keys;
    size_t next = 0;
    UINT_PTR timer = 0;
};

// The native text entry open over the frame, or null.
HWND textEntry(HWND frame) {
    HWND found = nullptr;
    EnumChildWindows(
        frame,
        [](HWND window, LPARAM result) {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (_wcsicmp(name, L"Edit") != 0) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void typeInto(HWND edit, const std::wstring& text) {
    for (wchar_t character : text) SendMessageW(edit, WM_CHAR, character, 1);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, keyData(VK_RETURN));
    if (IsWindow(edit)) SendMessageW(edit, WM_KEYUP, VK_RETURN, keyData(VK_RETURN) | LPARAM(0xc0000000u));
}

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(KORVEL_MODULE_PATH);
        ASSERT_NE(module, nullptr);
        auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
            reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
        ASSERT_NE(entry, nullptr);
        effect = entry(hostCallback);
        ASSERT_NE(effect, nullptr);
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
        host = createHostWindow(width, height + 60);  // room for the host's own controls below
        hostProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingProcedure)));
        idledEffect = effect;
        SetTimer(nullptr, 0, 20, idleTimer);
    }
    void TearDown() override {
        idledEffect = nullptr;
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        if (host) DestroyWindow(host);
        if (module) FreeLibrary(module);
        hostCalls.clear();
        automatedValues.clear();
        hostWheels = 0;
    }
    // A further effect of the loaded module, made on the calling thread.
    AEffect* createEffect() const {
        auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
            reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
        return entry(hostCallback);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    }
    float parameter(VstInt32 index) const { return effect->getParameter(effect, index); }
    HWND frameWindow() const { return GetWindow(host, GW_CHILD); }
    void pointerTo(HWND window, int32_t x, int32_t y) {
        const POINT screen = screenPoint(window, x, y);
        SetCursorPos(screen.x, screen.y);
        pumpFor(60);
    }
    void button(DWORD event) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = event;
        SendInput(1, &input, sizeof(INPUT));
        pumpFor(60);
    }
    void click(HWND window, int32_t x, int32_t y) {
        pointerTo(window, x, y);
        button(MOUSEEVENTF_LEFTDOWN);
        button(MOUSEEVENTF_LEFTUP);
    }
    static void pumpFor(DWORD milliseconds) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        while (GetTickCount64() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            pump();
        }
    }

    HMODULE module = nullptr;
    AEffect* effect = nullptr;
    HWND host = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

TEST_F(EditorWindowTest, OpensInTheHostWindowAndTheHostKeepsItsClicks) {
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanReplacing);
    EXPECT_EQ(width, 641);
    EXPECT_EQ(height, 301);
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    ASSERT_NE(frameWindow(), nullptr);
    RECT client{};
    GetClientRect(frameWindow(), &client);
    EXPECT_EQ(client.right, 641);
    EXPECT_EQ(client.bottom, 301);
    pumpFor(200);
    EXPECT_NE(GetCapture(), frameWindow()) << "opening leaves the pointer to the host";
    click(host, 300, 330);  // the host's area below the editor
    EXPECT_EQ(hostClicks, 1);
    pointerTo(frameWindow(), 316, 100);  // over the Volume slider, no button held
    pointerTo(frameWindow(), 316, 110);
    click(host, 300, 330);
    EXPECT_EQ(hostClicks, 2) << "hovering a slider keeps the host's clicks too";
}

TEST_F(EditorWindowTest, EachSliderDragAutomatesItsParameterAndBLoadsTheOtherSide) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(200);
    float start[6];
    for (const SliderDrag& drag : kSliderDrags) {
        SCOPED_TRACE(drag.tag);
        start[drag.tag] = parameter(drag.tag);
        hostCalls.clear();
        automatedValues.clear();
        const int32_t x = drag.x();
        const int32_t middle = drag.valueOneY();
        const int32_t y = middle + int32_t((1.0f - start[drag.tag]) * float(kSliderTravel) + 0.5f);
        pointerTo(frameWindow(), x, y);
        button(MOUSEEVENTF_LEFTDOWN);
        pointerTo(frameWindow(), x, y + drag.dy / 2);
        pointerTo(frameWindow(), x, y + drag.dy);
        button(MOUSEEVENTF_LEFTUP);

        const float moved = parameter(drag.tag);
        EXPECT_NEAR(moved, 1.0f - float(y + drag.dy - middle) / float(kSliderTravel), 1e-5f);
        EXPECT_GT((start[drag.tag] - moved) * float(drag.dy), 0.0f) << "moved with the pointer";
        const std::string tag = std::to_string(drag.tag);
        ASSERT_GE(hostCalls.size(), 3u);
        EXPECT_EQ(hostCalls.front(), "begin " + tag);
        EXPECT_EQ(hostCalls.back(), "end " + tag);
        EXPECT_EQ(std::vector<std::string>(hostCalls.begin() + 1, hostCalls.end() - 1),
                  std::vector<std::string>(hostCalls.size() - 2, "automate " + tag));
        ASSERT_FALSE(automatedValues.empty());
        EXPECT_EQ(automatedValues.back(), moved);
    }
    pumpFor(300);
    EXPECT_TRUE(ScreenPicture(frameWindow(), width, height).writePng(L"editor-windows-dragged.png"));

    click(frameWindow(), 235, 17);  // B still holds the program the effect started with
    for (const SliderDrag& drag : kSliderDrags) EXPECT_EQ(parameter(drag.tag), start[drag.tag]) << drag.tag;
    pumpFor(300);
    EXPECT_TRUE(ScreenPicture(frameWindow(), width, height).writePng(L"editor-windows-b.png"));
}

TEST_F(EditorWindowTest, WheelOnADisplayThenUndoCopyAndTheTwoSides) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(200);
    pointerTo(frameWindow(), 236, 246);  // the Drive display
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = WHEEL_DELTA;
    SendInput(1, &wheel, sizeof(INPUT));
    pumpFor(100);
    EXPECT_FLOAT_EQ(parameter(3), 0.2f) << "one notch up";
    EXPECT_EQ(hostCalls, (std::vector<std::string>{"begin 3", "automate 3", "end 3"}));

    click(frameWindow(), 100, 17);  // UNDO
    EXPECT_FLOAT_EQ(parameter(3), 0.1f);
    effect->setParameter(effect, 4, 0.33f);
    click(frameWindow(), 160, 17);  // COPY: the side heard goes to B
    click(frameWindow(), 235, 17);  // B
    EXPECT_EQ(parameter(4), 0.33f);
    effect->setParameter(effect, 4, 0.5f);
    click(frameWindow(), 205, 17);  // A: back to the copy, B keeps its change
    EXPECT_EQ(parameter(4), 0.33f);
}

TEST_F(EditorWindowTest, MenusTypedValuesAndStoringAProgram) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(200);
    {
        MenuKeys keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // 12x
        click(frameWindow(), 310, 284);
    }
    EXPECT_EQ(parameter(6), 0.8f);
    {
        MenuKeys keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // Quadro
        click(frameWindow(), 150, 284);
    }
    EXPECT_EQ(parameter(7), 4.0f);
    for (const std::string& call : hostCalls) EXPECT_EQ(call.rfind("automate", 0), std::string::npos) << call;

    // A double-click on the Volume display opens an entry for decibels.
    pointerTo(frameWindow(), 316, 246);
    for (DWORD event : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) button(event);
    HWND entry = textEntry(frameWindow());
    ASSERT_NE(entry, nullptr);
    typeInto(entry, L"-6");
    pumpFor(60);
    EXPECT_NEAR(parameter(5), 34.0f / 60.0f, 1e-6f);
    ASSERT_GE(hostCalls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(hostCalls.end() - 3, hostCalls.end()),
              (std::vector<std::string>{"begin 5", "automate 5", "end 5"}));

    // "User:" loads the first user program; the last entry stores B there under a typed name.
    {
        std::vector<WPARAM> toUser(14, VK_DOWN);
        toUser.push_back(VK_RETURN);
        MenuKeys keys(toUser);
        click(frameWindow(), 480, 17);
    }
    EXPECT_EQ(parameter(3), 0.2f) << "program 12";
    {
        MenuKeys keys({VK_UP, VK_RETURN});
        click(frameWindow(), 480, 17);
    }
    click(frameWindow(), 480, 17);  // the name field now in the menu's place
    entry = textEntry(frameWindow());
    ASSERT_NE(entry, nullptr);
    typeInto(entry, L"Bass");
    pumpFor(60);
    char name[64] = {};
    effect->dispatcher(effect, effGetProgramNameIndexed, 12, 0, name, 0.0f);
    EXPECT_STREQ(name, "Bass");
    EXPECT_EQ(parameter(3), 0.1f) << "B, the program the effect started with, was stored and loaded";
    pumpFor(300);
    EXPECT_TRUE(ScreenPicture(frameWindow(), width, height).writePng(L"editor-windows-stored.png"));
}

// The host gives and gets program names in its ANSI code page, also those typed in the editor.
TEST_F(EditorWindowTest, ProgramNamesCrossToTheHostInItsCodePage) {
    auto ansi = [](const wchar_t* text) {
        char bytes[64] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
        return std::string(bytes);
    };
    auto indexedName = [this](VstInt32 index) {
        char name[64] = {};
        effect->dispatcher(effect, effGetProgramNameIndexed, index, 0, name, 0.0f);
        return std::string(name);
    };
    dispatch(effSetProgram, 13);
    std::string given = ansi(L"\u00dcberdrive Lead");
    effect->dispatcher(effect, effSetProgramName, 0, 0, given.data(), 0.0f);
    EXPECT_EQ(indexedName(13), given);

    dispatch(effSetProgram, 14);
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(200);
    {
        MenuKeys keys({VK_UP, VK_RETURN});  // the store command
        click(frameWindow(), 480, 17);
    }
    click(frameWindow(), 480, 17);
    HWND entry = textEntry(frameWindow());
    ASSERT_NE(entry, nullptr);
    typeInto(entry, L"\u00dcberdrive Lead");
    pumpFor(60);
    EXPECT_EQ(indexedName(14), ansi(L"\u00dcberdrive L"));
    EXPECT_NE(indexedName(14), "\xc3\x9c" "berdrive L") << "not UTF-8: the code page is " << GetACP();
}

// Entries with the menu's id 0, the first of each menu, are choices like any other.
TEST_F(EditorWindowTest, TheFirstEntryOfEachMenuCanBeChosen) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    effect->setParameter(effect, 6, 0.8f);
    effect->setParameter(effect, 7, 2.0f);
    dispatch(effSetProgram, 5);
    pumpFor(200);
    const struct {
        int32_t x, y;
    } menus[] = {{150, 284}, {310, 284}, {480, 17}};  // channel mode, oversampling, programs
    for (const auto& menu : menus) {
        MenuKeys keys({VK_DOWN, VK_RETURN});
        click(frameWindow(), menu.x, menu.y);
    }
    EXPECT_EQ(parameter(7), 1.0f) << "Mono";
    EXPECT_EQ(parameter(6), 0.0f) << "1x";
    EXPECT_EQ(dispatch(effGetProgram), 20) << "\"Factory:\" loads the first program";
    EXPECT_EQ(parameter(3), 0.1f);
}

// The host closes the editor from its own message handling while the program menu is open, and a
// user then picks an entry: the menu returns into a closed editor, which takes no choice.
TEST_F(EditorWindowTest, ClosingTheEditorWhileItsMenuIsOpen) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(200);
    static AEffect* closing = nullptr;
    closing = effect;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return;
        KillTimer(nullptr, id);
        closing->dispatcher(closing, effEditClose, 0, 0, nullptr, 0.0f);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageW(menu, WM_KEYDOWN, key, keyData(key));
            PostMessageW(menu, WM_KEYUP, key, keyData(key) | LPARAM(0xc0000000u));
        }
    });
    click(frameWindow(), 480, 17);
    pumpFor(300);
    KillTimer(nullptr, timer);
    EXPECT_EQ(childWindows(host), 0);
    EXPECT_EQ(dispatch(effGetProgram), 20);
    EXPECT_EQ(parameter(3), 0.1f) << "the first program still plays";
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    EXPECT_EQ(childWindows(host), 1);
}

// Opening again without a close replaces the window; it does not leave the first one behind.
TEST_F(EditorWindowTest, ASecondOpenReplacesTheWindow) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pump();
    EXPECT_EQ(childWindows(host), 1);
    dispatch(effEditClose);
    pump();
    EXPECT_EQ(childWindows(host), 0);
}

// The wheel over a control moves it, in parts of a notch too, and stays with the editor; over no
// control it goes on to the host.
TEST_F(EditorWindowTest, WheelPartsOfANotchAddUpAndTheHostKeepsOnlyTheWheelNoControlTook) {
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    pumpFor(100);
    auto turn = [this](int32_t x, int32_t y, short delta) {
        const POINT screen = screenPoint(frameWindow(), x, y);
        SendMessageW(frameWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    };
    for (int part = 0; part < 3; ++part) turn(236, 246, WHEEL_DELTA / 3);  // the Drive display
    EXPECT_NEAR(parameter(3), 0.2f, 1e-6f) << "three thirds make a notch";
    EXPECT_EQ(hostWheels, 0);
    turn(400, 150, -WHEEL_DELTA);  // the bare panel
    EXPECT_EQ(hostWheels, 1);
}

// Points the module's import of function (from dll) at replacement; returns the previous target.
void* redirectImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
         ++library) {
        if (_stricmp(reinterpret_cast<char*>(base + library->Name), dll) != 0) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* previous = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(void*), protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

thread_local int oleUninitialisations = 0;
void (WINAPI* systemOleUninitialize)() = nullptr;
void WINAPI countedOleUninitialize() {
    ++oleUninitialisations;
    systemOleUninitialize();
}

// A host thread in the multi-threaded COM apartment (where OLE cannot start), and an effect closed
// on another thread than the one that made it: the editor owes neither thread an uninitialisation,
// and the host's own COM initialisation survives both.
TEST_F(EditorWindowTest, TheEditorLeavesTheHostsComInitialisationAsItWas) {
    systemOleUninitialize = reinterpret_cast<void (WINAPI*)()>(
        redirectImport(module, "ole32.dll", "OleUninitialize", reinterpret_cast<void*>(countedOleUninitialize)));
    ASSERT_NE(systemOleUninitialize, nullptr);
    struct Case {
        const char* name;
        bool madeHere;  // made on the test's own thread, closed on the host thread
    };
    for (const Case& test : {Case{"made and closed in the apartment", false}, Case{"closed on another thread", true}}) {
        SCOPED_TRACE(test.name);
        AEffect* made = test.madeHere ? createEffect() : nullptr;
        HRESULT again = E_FAIL;
        int uninitialised = -1;
        std::thread([&] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            AEffect* closed = made ? made : createEffect();
            closed->dispatcher(closed, effClose, 0, 0, nullptr, 0.0f);
            uninitialised = oleUninitialisations;
            again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(again)) CoUninitialize();
            CoUninitialize();
        }).join();
        EXPECT_EQ(uninitialised, 0);
        EXPECT_EQ(again, S_FALSE) << "the host's multi-threaded apartment still stands";
    }
    AEffect* balanced = createEffect();  // made and closed here: OLE started, so it is ended
    balanced->dispatcher(balanced, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(oleUninitialisations, 1);
    redirectImport(module, "ole32.dll", "OleUninitialize", reinterpret_cast<void*>(systemOleUninitialize));
}

TEST_F(EditorWindowTest, OpeningAndClosingTwoHundredTimesLeavesNothingBehind) {
    auto workingSet = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return counters.WorkingSetSize;
    };
    auto cycles = [this](int count) {
        for (int round = 0; round < count; ++round) {
            ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
            dispatch(effEditIdle);
            pump();
            dispatch(effEditClose);
            pump();
            ASSERT_EQ(childWindows(host), 0) << round;
        }
    };
    cycles(50);  // the system's own caches settle first
    const SIZE_T before = workingSet();
    cycles(200);
    const SIZE_T after = workingSet();
    std::printf("working set after 50 cycles %zu, after 200 more %zu bytes\n", static_cast<size_t>(before),
                static_cast<size_t>(after));
    EXPECT_LT(after, before + 1024 * 1024);
}

}  // namespace
}  // namespace EditorWindowTest
