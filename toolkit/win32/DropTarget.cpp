#include "DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>

#include "CFrame.h"

namespace Toolkit {

namespace {

// Longest file name taken from a drop, in characters.
constexpr UINT kMaxFileName = 2048;

std::string toUtf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string result(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), bytes, nullptr, nullptr);
    result.resize(size_t(bytes) - 1);
    return result;
}

bool isShortcut(const std::wstring& name) {
    static const wchar_t extension[] = L".lnk";
    if (name.size() < 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (std::towlower(name[name.size() - 4 + i]) != extension[i]) return false;
    return true;
}

// The target of a shortcut file, or the name itself when it cannot be resolved.
std::wstring resolveShortcut(const std::wstring& name) {
    std::wstring target = name;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[kMaxFileName] = {};
        if (SUCCEEDED(file->Load(name.c_str(), STGM_READ)) &&
            link->GetPath(path, int(kMaxFileName), nullptr, 0) == S_OK && path[0])
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

// Copy when the source allows it, else move, else link.
DWORD preferredEffect(DWORD allowed) {
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

}  // namespace

WinDragContainer::WinDragContainer(IDataObject* data) {
    if (!data) return;
    readText(data);
    if (kind == ItemType::Unknown) readFiles(data);
}

void WinDragContainer::readText(IDataObject* data) {
    FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) return;
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
        items.push_back(toUtf8(text));
        kind = ItemType::Text;
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
}

void WinDragContainer::readFiles(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) return;
    if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT files = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < files; ++i) {
            wchar_t name[kMaxFileName] = {};
            if (!DragQueryFileW(drop, i, name, kMaxFileName)) continue;
            std::wstring path = name;
            if (isShortcut(path)) path = resolveShortcut(path);
            items.push_back(toUtf8(path.c_str()));
        }
        if (!items.empty()) kind = ItemType::File;
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
}

int32_t WinDragContainer::count() const { return int32_t(items.size()); }

const char* WinDragContainer::item(int32_t index, ItemType& type) {
    if (index < 0 || index >= count()) return nullptr;
    type = kind;
    return items[size_t(index)].c_str();
}

CDropTarget::CDropTarget(CFrame& frame, HWND window) : frame(frame), window(window) {}

HRESULT STDMETHODCALLTYPE CDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDropTarget::AddRef() { return ULONG(InterlockedIncrement(&references)); }

ULONG STDMETHODCALLTYPE CDropTarget::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0) delete this;
    return ULONG(left);
}

ViewPoint CDropTarget::framePoint(POINTL where) const {
    POINT point{where.x, where.y};
    ScreenToClient(window, &point);
    return {point.x, point.y};
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragEnter(IDataObject* data, DWORD, POINTL where, DWORD* effect) {
    drag = std::make_unique<WinDragContainer>(data);
    frame.dragEnter(drag.get(), framePoint(where));
    if (effect) *effect = preferredEffect(*effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragOver(DWORD, POINTL where, DWORD* effect) {
    if (drag) frame.dragMove(drag.get(), framePoint(where));
    if (effect) *effect = preferredEffect(*effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragLeave() {
    if (drag) {
        POINT cursor{};
        GetCursorPos(&cursor);
        frame.dragLeave(drag.get(), framePoint(POINTL{cursor.x, cursor.y}));
        drag.reset();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::Drop(IDataObject* data, DWORD, POINTL where, DWORD* effect) {
    // The data of the drop itself counts, should the source hand over another object than on enter.
    auto dropped = std::make_unique<WinDragContainer>(data);
    drag.reset();
    const bool taken = frame.dragDrop(dropped.get(), framePoint(where));
    // A drop no view took did nothing, which the source learns from the effect.
    if (effect) *effect = taken ? preferredEffect(*effect) : DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace Toolkit
