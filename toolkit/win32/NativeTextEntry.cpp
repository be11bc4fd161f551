// The text field's native entry on Windows: a single-line EDIT child of the frame window, with its
// own window procedure in front of the system's that reports Enter and focus loss.
#include "NativeTextEntry.h"

#include <windows.h>

#include "CFrame.h"
#include "Utf16Text.h"

namespace Toolkit {

namespace {

class EditTextEntry final : public NativeTextEntry {
public:
    EditTextEntry(HWND parent, const NativeTextEntryLayout& layout, const std::string& utf8Text,
                  NativeTextEntryClient& client);
    ~EditTextEntry() override;

    bool isOpen() const { return edit != nullptr; }
    std::string text() const override;

private:
    static LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Calls the client; false when the call destroyed this entry.
    template <class Call>
    bool survives(Call call);
    // Gives the control its own procedure back and forgets it.
    void release();

    NativeTextEntryClient& client;
    HWND edit = nullptr;
    HFONT font = nullptr;
    WNDPROC systemProcedure = nullptr;
    // Set while a client call runs: the destructor marks it so that the call's caller knows.
    bool* destroyedDuringCall = nullptr;
    // The text as the control held it when something else destroyed the control.
    std::string lastText;
};

DWORD alignmentStyle(int32_t alignment) {
    if (alignment == 0) return ES_LEFT;
    if (alignment == 2) return ES_RIGHT;
    return ES_CENTER;
}

HFONT createEntryFont(const NativeTextEntryLayout& layout) {
    LOGFONTW description{};
    description.lfHeight = -layout.fontHeight;
    description.lfWeight = FW_NORMAL;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfCharSet = ANSI_CHARSET;
    const std::wstring face = utf16FromUtf8(layout.fontName, LF_FACESIZE - 1);
    face.copy(description.lfFaceName, face.size());
    return CreateFontIndirectW(&description);
}

EditTextEntry::EditTextEntry(HWND parent, const NativeTextEntryLayout& layout, const std::string& utf8Text,
                             NativeTextEntryClient& client)
    : client(client) {
    const std::wstring text = utf16FromUtf8(utf8Text, kTextEntryMaxCharacters);
    const ViewRect& rect = layout.rect;
    edit = CreateWindowExW(WS_EX_LEFT, L"EDIT", text.c_str(),
                           WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(layout.alignment), rect.left,
                           rect.top, rect.width(), rect.height(), parent, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!edit) return;
    font = createEntryFont(layout);
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_LIMITTEXT, kTextEntryMaxCharacters, 0);
    SetFocus(edit);
    // Only now our procedure: the focus arriving is no news to the client.
    systemProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditTextEntry::editProcedure)));
}

EditTextEntry::~EditTextEntry() {
    if (destroyedDuringCall) *destroyedDuringCall = true;
    if (edit) {
        HWND closing = edit;
        // Without our procedure the focus leaving the dying control reaches no client.
        release();
        DestroyWindow(closing);
    }
    if (font) DeleteObject(font);
}

void EditTextEntry::release() {
    if (systemProcedure) SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProcedure));
    SetWindowLongPtrW(edit, GWLP_USERDATA, 0);
    edit = nullptr;
}

std::string EditTextEntry::text() const {
    if (!edit) return lastText;
    wchar_t buffer[kTextEntryMaxCharacters + 1] = L"";
    const int length = GetWindowTextW(edit, buffer, kTextEntryMaxCharacters + 1);
    return utf8FromUtf16(std::wstring_view(buffer, size_t(length > 0 ? length : 0)));
}

LRESULT CALLBACK EditTextEntry::editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EditTextEntry*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->edit == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

template <class Call>
bool EditTextEntry::survives(Call call) {
    bool destroyed = false;
    bool* outer = destroyedDuringCall;
    destroyedDuringCall = &destroyed;
    call();
    if (destroyed) {
        if (outer) *outer = true;
        return false;
    }
    destroyedDuringCall = outer;
    return true;
}

LRESULT EditTextEntry::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // Kept locally: the client may destroy this object before the message is passed on.
    HWND window = edit;
    WNDPROC forward = systemProcedure;
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && !survives([this] { client.nativeEntryReturnPressed(); })) return 0;
            if (wParam == VK_ESCAPE && !survives([this] { client.nativeEntryCancelled(); })) return 0;
            break;
        case WM_CHAR:
            if (wParam == VK_ESCAPE) return 0;  // no beep from the control for a key that has done its work
            break;
        case WM_KILLFOCUS:
            if (!survives([this] { client.nativeEntryFocusLost(); })) return 0;
            break;
        case WM_NCDESTROY:
            // Destroyed with the frame window: keep the text for the field, which closes later.
            lastText = text();
            release();
            break;
        default:
            break;
    }
    return CallWindowProcW(forward, window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<NativeTextEntry> createNativeTextEntry(CFrame& frame, const NativeTextEntryLayout& layout,
                                                       const std::string& utf8Text, NativeTextEntryClient& client) {
    auto* parent = static_cast<HWND>(frame.nativeWindow());
    if (!parent) return nullptr;
    auto entry = std::make_unique<EditTextEntry>(parent, layout, utf8Text, client);
    if (!entry->isOpen()) return nullptr;
    return entry;
}

}  // namespace Toolkit
