// The frame window's OLE drop target, called the way the system's drag loop calls it, with data
// objects made here: text, file names, and a shortcut made with the shell-link object.

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "ModuleInstance.h"
#include "WindowHost.h"

namespace FrameWindowTest {
namespace {

// A data object offering one format as global memory.
class OneFormatData : public IDataObject {
public:
    OneFormatData(CLIPFORMAT format, const void* bytes, size_t size) : format(format), bytes(size) {
        memcpy(this->bytes.data(), bytes, size);
    }
    virtual ~OneFormatData() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) return *object = nullptr, E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* asked, STGMEDIUM* medium) override {
        if (QueryGetData(asked) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* asked) override {
        return asked->cfFormat == format && (asked->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CLIPFORMAT format;
    std::vector<char> bytes;
};

OneFormatData textData(const std::wstring& text) {
    return OneFormatData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The file list of a drop from the shell: a DROPFILES header, then the names, each ending in a
// zero, and one more zero.
OneFormatData fileData(const std::vector<std::wstring>& names) {
    std::vector<char> bytes(sizeof(DROPFILES));
    auto* header = reinterpret_cast<DROPFILES*>(bytes.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    for (const std::wstring& name : names) {
        const auto* first = reinterpret_cast<const char*>(name.c_str());
        bytes.insert(bytes.end(), first, first + (name.size() + 1) * sizeof(wchar_t));
    }
    bytes.insert(bytes.end(), sizeof(wchar_t), '\0');
    return OneFormatData(CF_HDROP, bytes.data(), bytes.size());
}

std::wstring temporaryFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, path);
    return path;
}

bool makeShortcut(const std::wstring& shortcut, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->SetPath(target.c_str())) &&
                 SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(shortcut.c_str(), TRUE));
    if (file) file->Release();
    link->Release();
    return saved;
}

std::string utf8(const std::wstring& text) {
    std::string result(size_t(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), int(result.size()), nullptr, nullptr);
    result.pop_back();
    return result;
}

class DropTargetTest : public ::testing::Test {
protected:
    DropTargetTest() {
        setModuleInstance(GetModuleHandleW(nullptr));
        host = createHostWindow(200, 150);
        frame = new CFrame(ViewRect{0, 0, 100, 80}, host, nullptr);
        window = static_cast<HWND>(frame->nativeWindow());
        target = static_cast<IDropTarget*>(GetPropW(window, L"OleDropTargetInterface"));
        above = new RecordingView("above", {10, 10, 90, 70}, journal, ViewColor{200, 0, 0});
        frame->appendChild(above);
    }
    ~DropTargetTest() override {
        frame->release();
        DestroyWindow(host);
        pump();
    }
    POINTL at(int32_t x, int32_t y) const {
        const POINT screen = screenPoint(window, x, y);
        return {screen.x, screen.y};
    }
    Journal take() {
        Journal taken;
        taken.swap(journal);
        return taken;
    }

    Journal journal;
    HWND host;
    CFrame* frame;
    HWND window;
    IDropTarget* target;
    RecordingView* above;
};

TEST_F(DropTargetTest, DraggedTextReachesTheViewUnderThePointerAsUtf8) {
    ASSERT_NE(target, nullptr) << "the frame window registered no drop target";
    OneFormatData text = textData(L"Gr\u00fc\u00dfe \u266a");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&text, MK_LBUTTON, at(20, 30), &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(above->dragItems, (std::vector<std::string>{"text:Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xaa"}));
    effect = DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragOver(MK_LBUTTON, at(21, 31), &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
    effect = DROPEFFECT_LINK;
    target->DragOver(MK_LBUTTON, at(22, 32), &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_LINK));
    effect = DROPEFFECT_NONE;
    target->DragOver(MK_LBUTTON, at(95, 75), &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    target->DragLeave();
    EXPECT_EQ(take(), (Journal{"above dragEnter 20,30", "above dragMove 21,31", "above dragMove 22,32",
                               "above dragLeave"}));

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(&text, MK_LBUTTON, at(40, 40), &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&text, 0, at(41, 42), &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY)) << "the view took the drop";
    EXPECT_EQ(take(), (Journal{"above dragEnter 40,40", "above dragDrop 41,42", "above dragLeave"}));

    above->takesDrops = false;
    effect = DROPEFFECT_COPY;
    target->DragEnter(&text, MK_LBUTTON, at(40, 40), &effect);
    target->Drop(&text, 0, at(40, 40), &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE)) << "a drop no view takes does nothing";
}

TEST_F(DropTargetTest, DroppedFilesArriveAsUtf8NamesWithShortcutsResolvedToTheirTargets) {
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const std::wstring folder = temporaryFolder();
    const std::wstring plain = folder + L"korvel pr\u00e9set.txt";
    const std::wstring linked = folder + L"korvel \u00fcber target.txt";
    const std::wstring shortcut = folder + L"korvel shortcut.LnK";
    for (const std::wstring& name : {plain, linked}) {
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    ASSERT_TRUE(makeShortcut(shortcut, linked));

    OneFormatData files = fileData({plain, shortcut});
    DWORD effect = DROPEFFECT_COPY;
    target->Drop(&files, 0, at(50, 50), &effect);
    EXPECT_EQ(above->dragItems, (std::vector<std::string>{"file:" + utf8(plain), "file:" + utf8(linked)}));
    EXPECT_EQ(take(), (Journal{"above dragDrop 50,50", "above dragLeave"}));

    for (const std::wstring& name : {plain, linked, shortcut}) DeleteFileW(name.c_str());
    OleUninitialize();
}

}  // namespace
}  // namespace FrameWindowTest
