// The text field's entry on X11, drawn by the toolkit itself: a child window of the frame window
// over the field, with the keyboard focus, a caret and a selection. Characters come through the
// display's input method where there is one (composed and non-Latin text as UTF-8), else straight
// from the key map. Enter and the loss of the keyboard focus are reported to the field; Escape, as
// any key without a meaning here, changes nothing.
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>

#include "CFrame.h"
#include "NativeTextEntry.h"
#include "X11Errors.h"
#include "X11FrameWindow.h"

namespace Toolkit {

namespace {

bool isContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xc0) == 0x80; }

// UTF-16 units of a UTF-8 text: sequences of four bytes take two.
int32_t utf16Units(const std::string& text) {
    int32_t units = 0;
    for (char byte : text) {
        const auto lead = static_cast<unsigned char>(byte);
        if (!isContinuation(byte)) units += lead >= 0xf0 ? 2 : 1;
    }
    return units;
}

// The UTF-8 text of a Latin-1 one.
std::string utf8FromLatin1(const char* text, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += char(byte);
        } else {
            out += char(0xc0 | byte >> 6);
            out += char(0x80 | (byte & 0x3f));
        }
    }
    return out;
}

void setColor(cairo_t* cr, ViewColor color) {
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

class X11TextEntry final : public NativeTextEntry, private X11EventTarget {
public:
    X11TextEntry(X11FrameWindow& frameWindow, const NativeTextEntryLayout& layout, const std::string& utf8Text,
                 NativeTextEntryClient& client)
        : frameWindow(frameWindow), display(frameWindow.display()), layout(layout), client(client) {
        insert(utf8Text);
        anchor = 0;  // opens with everything selected
        const int screen = DefaultScreen(display);
        Visual* visual = DefaultVisual(display, screen);
        XSetWindowAttributes attributes{};
        attributes.colormap = DefaultColormap(display, screen);
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;
        attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | FocusChangeMask | ButtonPressMask |
                                StructureNotifyMask;
        const ViewRect& rect = layout.rect;
        window = XCreateWindow(display, frameWindow.handle(), rect.left, rect.top, unsigned(std::max(1, rect.width())),
                               unsigned(std::max(1, rect.height())), 0, DefaultDepth(display, screen), InputOutput,
                               visual, CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
        frameWindow.addEventTarget(window, this);
        surface = cairo_xlib_surface_create(display, window, visual, rect.width(), rect.height());
        if (XIM method = frameWindow.inputMethod()) {
            context = XCreateIC(method, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                                XNFocusWindow, window, nullptr);
            if (context) {
                // The method may need events of its own on the window.
                long wanted = 0;
                if (!XGetICValues(context, XNFilterEvents, &wanted, nullptr))
                    XSelectInput(display, window, attributes.event_mask | wanted);
                XSetICFocus(context);
            }
        }
        XMapRaised(display, window);
        XSync(display, False);
        XGetInputFocus(display, &previousFocus, &previousRevert);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        X11Errors::sync(display);  // a window that is not viewable refuses the focus: typing then goes nowhere
    }

    ~X11TextEntry() override {
        if (destroyedDuringCall) *destroyedDuringCall = true;
        if (!window) return;
        frameWindow.removeEventTarget(window);
        // The keyboard goes back to where it was (the host's window), not to the frame window.
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        if (focus == window && previousFocus != window) XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
        if (context) XDestroyIC(context);
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
        XDestroyWindow(display, window);
        XFlush(display);
    }

    std::string text() const override { return content; }

private:
    void handleEvent(XEvent& event) override {
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) paint();
                break;
            case KeyPress:
                key(event.xkey);
                break;
            case ButtonPress:
                if (event.xbutton.button == Button1) {
                    caret = offsetAt(event.xbutton.x);
                    if (!(event.xbutton.state & ShiftMask)) anchor = caret;
                    paint();
                }
                break;
            case FocusOut:
                // Grabs (a pop-up's) and the pointer's own focus move nothing the user typed into.
                if (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) {
                    if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer)
                        call([this] { client.nativeEntryFocusLost(); });
                }
                break;
            case DestroyNotify:
                // Destroyed with the frame window: keep the text for the field, which closes later.
                if (event.xdestroywindow.window == window) {
                    frameWindow.removeEventTarget(window);
                    window = 0;
                }
                break;
            default:
                break;
        }
    }

    // Calls the client; false when the call destroyed this entry.
    template <class Call>
    bool call(Call what) {
        bool destroyed = false;
        destroyedDuringCall = &destroyed;
        what();
        if (destroyed) return false;
        destroyedDuringCall = nullptr;
        return true;
    }

    void key(XKeyEvent& event) {
        char buffer[64] = {};
        KeySym symbol = NoSymbol;
        std::string typed;
        if (context) {
            Status status = 0;
            const int length = Xutf8LookupString(context, &event, buffer, sizeof buffer - 1, &symbol, &status);
            if (status == XLookupChars || status == XLookupBoth) typed.assign(buffer, size_t(std::max(0, length)));
        } else {
            const int length = XLookupString(&event, buffer, sizeof buffer - 1, &symbol, nullptr);
            typed = utf8FromLatin1(buffer, length);
        }
        const bool shift = event.state & ShiftMask;
        const bool control = event.state & ControlMask;
        switch (symbol) {
            case XK_Return:
            case XK_KP_Enter:
                call([this] { client.nativeEntryReturnPressed(); });
                return;
            case XK_Left: moveCaret(previous(caret), shift); return;
            case XK_Right: moveCaret(next(caret), shift); return;
            case XK_Home: moveCaret(0, shift); return;
            case XK_End: moveCaret(content.size(), shift); return;
            case XK_BackSpace:
                if (anchor == caret) anchor = previous(caret);
                insert("");
                return;
            case XK_Delete:
                if (anchor == caret) anchor = next(caret);
                insert("");
                return;
            default:
                break;
        }
        if (control && (symbol == XK_a || symbol == XK_A)) {
            anchor = 0;
            caret = content.size();
            paint();
            return;
        }
        // Control characters (Escape, Tab, Control combinations) are not text.
        typed.erase(std::remove_if(typed.begin(), typed.end(),
                                   [](char byte) { return static_cast<unsigned char>(byte) < 0x20 || byte == 0x7f; }),
                    typed.end());
        if (!typed.empty() && !control) insert(typed);
    }

    size_t previous(size_t offset) const {
        while (offset > 0 && isContinuation(content[--offset])) {}
        return offset;
    }
    size_t next(size_t offset) const {
        if (offset >= content.size()) return content.size();
        while (++offset < content.size() && isContinuation(content[offset])) {}
        return offset;
    }

    void moveCaret(size_t offset, bool extend) {
        caret = offset;
        if (!extend) anchor = caret;
        paint();
    }

    // Replaces the selection with text, as much of it as the limit leaves room for.
    void insert(const std::string& text) {
        const size_t from = std::min(anchor, caret), to = std::max(anchor, caret);
        content.erase(from, to - from);
        int32_t room = kTextEntryMaxCharacters - utf16Units(content);
        size_t taken = 0;
        while (taken < text.size()) {
            size_t end = taken + 1;
            while (end < text.size() && isContinuation(text[end])) ++end;
            const int32_t units = static_cast<unsigned char>(text[taken]) >= 0xf0 ? 2 : 1;
            if (units > room) break;
            room -= units;
            taken = end;
        }
        content.insert(from, text, 0, taken);
        caret = anchor = from + taken;
        if (window) paint();
    }

    // Where the text starts, so that it is aligned as the field's and the caret stays in view.
    double textLeft(cairo_t* cr) {
        cairo_text_extents_t all, before;
        cairo_text_extents(cr, content.c_str(), &all);
        cairo_text_extents(cr, content.substr(0, caret).c_str(), &before);
        const double width = layout.rect.width() - 2.0 * kMargin;
        double left = kMargin;
        if (all.x_advance <= width) {
            if (layout.alignment == 2) left = kMargin + width - all.x_advance;
            else if (layout.alignment != 0) left = kMargin + (width - all.x_advance) / 2;
            scroll = 0;
            return std::round(left);
        }
        // Scrolled so that the caret is inside the window.
        if (before.x_advance - scroll > width) scroll = before.x_advance - width;
        if (before.x_advance < scroll) scroll = before.x_advance;
        return std::round(kMargin - scroll);
    }

    void selectFont(cairo_t* cr) const {
        cairo_select_font_face(cr, layout.fontName.empty() ? "Sans" : layout.fontName.c_str(), CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, std::max(6, layout.fontHeight));
    }

    // The byte offset of the character boundary nearest to x (window coordinates).
    size_t offsetAt(int32_t x) {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cairo_t* cr = cairo_create(scratch);
        selectFont(cr);
        const double left = textLeft(cr);
        size_t best = 0;
        double bestDistance = 1e9;
        for (size_t offset = 0;; offset = next(offset)) {
            cairo_text_extents_t extents;
            cairo_text_extents(cr, content.substr(0, offset).c_str(), &extents);
            const double distance = std::abs(left + extents.x_advance - x);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = offset;
            }
            if (offset >= content.size()) break;
        }
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
        return best;
    }

    void paint() {
        if (!window) return;
        const double height = layout.rect.height();
        // Drawn in memory and copied: glyphs are never drawn on the window's own surface, whose
        // device would otherwise take cairo's font locks in an order of its own when it closes.
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.rect.width(), layout.rect.height());
        cairo_t* cr = cairo_create(image);
        setColor(cr, ViewColor{layout.backColor.red, layout.backColor.green, layout.backColor.blue, 255});
        cairo_paint(cr);
        selectFont(cr);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        const double left = textLeft(cr);
        const double baseline = std::round((height + font.ascent - font.descent) / 2.0);
        const size_t from = std::min(anchor, caret), to = std::max(anchor, caret);
        auto advance = [&](size_t offset) {
            cairo_text_extents_t extents;
            cairo_text_extents(cr, content.substr(0, offset).c_str(), &extents);
            return left + extents.x_advance;
        };
        setColor(cr, layout.fontColor);
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, content.c_str());
        if (from != to) {
            // The selection: the text again, in the back colour on the font colour.
            const double x0 = advance(from), x1 = advance(to);
            cairo_rectangle(cr, x0, 1, x1 - x0, height - 2);
            cairo_fill(cr);
            cairo_save(cr);
            cairo_rectangle(cr, x0, 0, x1 - x0, height);
            cairo_clip(cr);
            setColor(cr, ViewColor{layout.backColor.red, layout.backColor.green, layout.backColor.blue, 255});
            cairo_move_to(cr, left, baseline);
            cairo_show_text(cr, content.c_str());
            cairo_restore(cr);
        } else {
            const double x = std::floor(advance(caret)) + 0.5;
            cairo_set_line_width(cr, 1);
            cairo_move_to(cr, x, 2);
            cairo_line_to(cr, x, height - 2);
            cairo_stroke(cr);
        }
        cairo_destroy(cr);
        showOnWindow(surface, image, display);
    }

    static constexpr double kMargin = 2.0;

    X11FrameWindow& frameWindow;
    Display* display;
    NativeTextEntryLayout layout;
    NativeTextEntryClient& client;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    XIC context = nullptr;
    std::string content;
    size_t caret = 0;   // byte offsets into content
    size_t anchor = 0;  // the other end of the selection
    double scroll = 0;
    bool* destroyedDuringCall = nullptr;
    Window previousFocus = PointerRoot;
    int previousRevert = RevertToPointerRoot;
};

}  // namespace

std::unique_ptr<NativeTextEntry> createNativeTextEntry(CFrame& frame, const NativeTextEntryLayout& layout,
                                                       const std::string& utf8Text, NativeTextEntryClient& client) {
    auto* frameWindow = dynamic_cast<X11FrameWindow*>(frame.platformWindow());
    if (!frameWindow || !frameWindow->exists()) return nullptr;
    return std::make_unique<X11TextEntry>(*frameWindow, layout, utf8Text, client);
}

}  // namespace Toolkit
