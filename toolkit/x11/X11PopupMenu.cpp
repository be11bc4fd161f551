// The option menu's pop-up on X11, drawn by the toolkit itself: an override-redirect window at the
// control, kept on the screen, that grabs the pointer and the keyboard and runs a loop of its own on
// the frame's connection until an entry is chosen (click, Enter) or the menu is dismissed (Escape, a
// click outside it). The loop keeps painting the frame window; the host's own windows belong to
// other connections and threads and go on painting by themselves.
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

#include "CFrame.h"
#include "NativePopupMenu.h"
#include "X11FrameWindow.h"

namespace Toolkit {

namespace {

constexpr int32_t kEntryHeight = 19;
constexpr int32_t kSeparatorHeight = 8;
constexpr int32_t kBorder = 2;
constexpr int32_t kTextLeft = 22;   // room for the check mark
constexpr int32_t kTextRight = 20;  // room for a submenu's arrow
constexpr double kFontSize = 12.0;
constexpr const char* kFontFamily = "Sans";
// How long the menu waits for its grabs (the pressed button's own grab may still be settling).
constexpr int kGrabAttempts = 50;

bool choosable(const PopupMenuEntry& entry) {
    return !entry.separator && !entry.grayed && !entry.inert && !entry.submenu && entry.id >= 0;
}

void setColor(cairo_t* cr, int red, int green, int blue) { cairo_set_source_rgb(cr, red / 255.0, green / 255.0, blue / 255.0); }

class MenuWindow {
public:
    MenuWindow(X11FrameWindow& frameWindow, const PopupMenuModel& model, bool rightButton)
        : frameWindow(frameWindow), display(frameWindow.display()), model(model), rightButton(rightButton) {}

    ~MenuWindow() {
        if (!window) return;
        XUngrabPointer(display, CurrentTime);
        XUngrabKeyboard(display, CurrentTime);
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
        XDestroyWindow(display, window);
        XFlush(display);
    }

    std::optional<int32_t> run(ViewPoint screenPosition) {
        layOut();
        if (!open(screenPosition) || !grab()) return std::nullopt;
        const int descriptor = ConnectionNumber(display);
        while (!done) {
            while (!done && XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (XFilterEvent(&event, None)) continue;
                if (event.xany.window == window)
                    handle(event);
                else
                    frameWindow.handleForeignEvent(event);
            }
            if (done || !frameWindow.exists()) break;
            frameWindow.paintInvalidated();
            if (needsPaint) paint();
            pollfd waiting{descriptor, POLLIN, 0};
            poll(&waiting, 1, 40);
        }
        return choice;
    }

private:
    struct Slot {
        ViewRect rect;
        size_t entry;
    };

    void layOut() {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(scratch);
        cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, kFontSize);
        // Entries run down in columns; a column break starts the next one.
        std::vector<std::vector<size_t>> columns(1);
        for (size_t index = 0; index < model.entries.size(); ++index) {
            if (model.entries[index].columnBreak && !columns.back().empty()) columns.emplace_back();
            columns.back().push_back(index);
        }
        int32_t left = kBorder;
        for (const auto& column : columns) {
            double widest = 60;
            for (size_t index : column) {
                cairo_text_extents_t extents;
                cairo_text_extents(cr, model.entries[index].title.c_str(), &extents);
                widest = std::max(widest, extents.x_advance);
            }
            const int32_t width = kTextLeft + int32_t(std::ceil(widest)) + kTextRight;
            int32_t top = kBorder;
            for (size_t index : column) {
                const int32_t height = model.entries[index].separator ? kSeparatorHeight : kEntryHeight;
                slots.push_back({ViewRect::fromSize({left, top}, width, height), index});
                top += height;
            }
            size.y = std::max(size.y, top + kBorder);
            left += width;
        }
        size.x = left + kBorder;
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
    }

    bool open(ViewPoint position) {
        const int screen = DefaultScreen(display);
        // Kept on the screen: moved left and up as far as it reaches over the edges.
        position.x = std::max(0, std::min(position.x, DisplayWidth(display, screen) - size.x));
        position.y = std::max(0, std::min(position.y, DisplayHeight(display, screen) - size.y));
        Visual* visual = DefaultVisual(display, screen);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.colormap = DefaultColormap(display, screen);
        attributes.border_pixel = 0;
        attributes.background_pixel = WhitePixel(display, screen);
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                                StructureNotifyMask;
        window = XCreateWindow(display, RootWindow(display, screen), position.x, position.y, unsigned(size.x),
                               unsigned(size.y), 0, DefaultDepth(display, screen), InputOutput, visual,
                               CWOverrideRedirect | CWColormap | CWBorderPixel | CWBackPixel | CWEventMask,
                               &attributes);
        if (!window) return false;
        surface = cairo_xlib_surface_create(display, window, visual, size.x, size.y);
        XMapRaised(display, window);
        XSync(display, False);
        return true;
    }

    // The pointer grab is what lets a click outside close the menu: without it the menu does not stay.
    bool grab() {
        const unsigned int pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        bool pointer = false, keyboard = false;
        for (int attempt = 0; attempt < kGrabAttempts && !(pointer && keyboard); ++attempt) {
            if (!pointer)
                pointer = XGrabPointer(display, window, False, pointerEvents, GrabModeAsync, GrabModeAsync, None, None,
                                       CurrentTime) == GrabSuccess;
            if (!keyboard)
                keyboard = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
            if (!(pointer && keyboard)) {
                pollfd none{-1, 0, 0};
                poll(&none, 0, 10);
            }
        }
        return pointer;
    }

    // The slot under the point (menu window coordinates), or -1.
    int32_t slotAt(int32_t x, int32_t y) const {
        for (size_t index = 0; index < slots.size(); ++index)
            if (x >= slots[index].rect.left && x < slots[index].rect.right && y >= slots[index].rect.top &&
                y < slots[index].rect.bottom)
                return int32_t(index);
        return -1;
    }

    const PopupMenuEntry& entryOf(int32_t slot) const { return model.entries[slots[size_t(slot)].entry]; }

    void highlight(int32_t slot) {
        if (slot >= 0 && entryOf(slot).separator) slot = -1;
        if (slot == highlighted) return;
        highlighted = slot;
        needsPaint = true;
    }

    // Moves the highlight to the next entry that is not a separator, round the end.
    void step(int32_t direction) {
        const int32_t count = int32_t(slots.size());
        int32_t slot = highlighted;
        for (int32_t tries = 0; tries < count; ++tries) {
            slot = slot < 0 ? (direction > 0 ? 0 : count - 1) : (slot + direction + count) % count;
            if (!entryOf(slot).separator) {
                highlight(slot);
                return;
            }
        }
    }

    void choose(int32_t slot) {
        if (slot < 0 || !choosable(entryOf(slot))) return;
        choice = entryOf(slot).id;
        done = true;
    }

    void handle(XEvent& event) {
        switch (event.type) {
            case Expose:
                needsPaint = true;
                break;
            case MotionNotify:
                highlight(slotAt(event.xmotion.x, event.xmotion.y));
                break;
            case ButtonPress:
                if (event.xbutton.x < 0 || event.xbutton.y < 0 || event.xbutton.x >= size.x || event.xbutton.y >= size.y)
                    done = true;  // a click outside dismisses the menu
                break;
            case ButtonRelease:
                // The release of the press that opened the menu lands outside it and closes nothing.
                if (event.xbutton.button == Button1 || (rightButton && event.xbutton.button == Button3))
                    choose(slotAt(event.xbutton.x, event.xbutton.y));
                break;
            case KeyPress: {
                const KeySym symbol = XLookupKeysym(&event.xkey, 0);
                if (symbol == XK_Down) step(1);
                else if (symbol == XK_Up) step(-1);
                else if (symbol == XK_Home) { highlighted = -1; step(1); }
                else if (symbol == XK_End) { highlighted = -1; step(-1); }
                else if (symbol == XK_Escape) done = true;
                else if (symbol == XK_Return || symbol == XK_KP_Enter) {
                    if (highlighted < 0) done = true;
                    else choose(highlighted);
                }
                break;
            }
            case DestroyNotify:
                window = 0;
                done = true;
                break;
            default:
                break;
        }
    }

    void paint() {
        needsPaint = false;
        // Drawn in memory and copied: no glyphs on the window's own surface (see the text entry).
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.x, size.y);
        cairo_t* cr = cairo_create(image);
        setColor(cr, 242, 242, 242);
        cairo_paint(cr);
        setColor(cr, 128, 128, 128);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, 0.5, 0.5, size.x - 1, size.y - 1);
        cairo_stroke(cr);
        cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, kFontSize);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        for (size_t index = 0; index < slots.size(); ++index) {
            const ViewRect& rect = slots[index].rect;
            const PopupMenuEntry& entry = model.entries[slots[index].entry];
            if (entry.separator) {
                setColor(cr, 190, 190, 190);
                const double y = rect.top + kSeparatorHeight / 2 + 0.5;
                cairo_move_to(cr, rect.left + 4, y);
                cairo_line_to(cr, rect.right - 4, y);
                cairo_stroke(cr);
                continue;
            }
            const bool lit = int32_t(index) == highlighted;
            if (lit) {
                setColor(cr, 0, 120, 215);
                cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
                cairo_fill(cr);
            }
            if (entry.grayed) setColor(cr, 160, 160, 160);
            else if (lit) setColor(cr, 255, 255, 255);
            else setColor(cr, 0, 0, 0);
            const double baseline = rect.top + (rect.height() + font.ascent - font.descent) / 2.0;
            if (entry.checked) {
                cairo_move_to(cr, rect.left + 7, rect.top + 10);
                cairo_line_to(cr, rect.left + 10, rect.top + 13);
                cairo_line_to(cr, rect.left + 15, rect.top + 6);
                cairo_stroke(cr);
            }
            if (entry.submenu) {
                cairo_move_to(cr, rect.right - 12, rect.top + 6);
                cairo_line_to(cr, rect.right - 8, rect.top + 9.5);
                cairo_line_to(cr, rect.right - 12, rect.top + 13);
                cairo_fill(cr);
            }
            cairo_move_to(cr, rect.left + kTextLeft, std::round(baseline));
            cairo_show_text(cr, entry.title.c_str());
        }
        cairo_destroy(cr);
        showOnWindow(surface, image, display);
    }

    X11FrameWindow& frameWindow;
    Display* display;
    const PopupMenuModel& model;
    bool rightButton;
    std::vector<Slot> slots;
    ViewPoint size;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    int32_t highlighted = -1;
    bool needsPaint = true;
    bool done = false;
    std::optional<int32_t> choice;
};

class X11PopupMenu final : public NativePopupMenu {
public:
    explicit X11PopupMenu(X11FrameWindow* frameWindow) : frameWindow(frameWindow) {}

    std::optional<int32_t> track(const PopupMenuModel& model, const ViewPoint& position, bool rightButton) override {
        if (!frameWindow || !frameWindow->exists() || model.entries.empty()) return std::nullopt;
        MenuWindow menu(*frameWindow, model, rightButton);
        return menu.run(frameWindow->screenOrigin() + position);
    }

private:
    X11FrameWindow* frameWindow;
};

}  // namespace

std::unique_ptr<NativePopupMenu> createNativePopupMenu(CFrame& frame) {
    return std::make_unique<X11PopupMenu>(dynamic_cast<X11FrameWindow*>(frame.platformWindow()));
}

}  // namespace Toolkit
