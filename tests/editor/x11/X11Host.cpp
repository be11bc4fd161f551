#include "X11Host.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace X11EditorTest {

namespace {

// Starts an Xvfb that picks a free display; its process id, or -1, and the display's number.
pid_t startServer(std::string& number) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t server = fork();
    if (server == 0) {
        // The server ends with the test process, however that ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(ready[0]);
        const std::string descriptor = std::to_string(ready[1]);
        execl(KORVEL_XVFB, "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
              "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes the display number and a line end once clients can connect.
    number.clear();
    char byte = 0;
    while (server > 0 && number.find('\n') == std::string::npos) {
        const ssize_t length = read(ready[0], &byte, 1);
        if (length == 1) number += byte;
        else if (length == 0 || errno != EINTR) break;
    }
    close(ready[0]);
    if (server > 0 && number.find('\n') == std::string::npos) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        return -1;
    }
    return server;
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
    std::string number;
    // Another server starting at the same moment may take the number this one chose: try again.
    for (int attempt = 0; attempt < 5 && server <= 0; ++attempt) server = startServer(number);
    if (server <= 0) throw std::runtime_error("Xvfb did not start");
    displayName = ":" + std::to_string(std::atoi(number.c_str()));
    setenv("DISPLAY", displayName.c_str(), 1);
}

VirtualDisplay::~VirtualDisplay() {
    if (server <= 0) return;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
}

HostCalls& hostCalls() {
    static HostCalls calls;
    return calls;
}

ServerResources serverResources(Display* display) {
    ServerResources totals;
    const Atom window = XInternAtom(display, "WINDOW", False);
    const Atom pixmap = XInternAtom(display, "PIXMAP", False);
    XResClient* clients = nullptr;
    if (!XResQueryClients(display, &totals.clients, &clients)) return totals;
    for (int index = 0; index < totals.clients; ++index) {
        int count = 0;
        XResType* types = nullptr;
        if (!XResQueryClientResources(display, clients[index].resource_base, &count, &types)) continue;
        for (int type = 0; type < count; ++type) {
            if (types[type].resource_type == window) totals.windows += types[type].count;
            if (types[type].resource_type == pixmap) totals.pixmaps += types[type].count;
        }
        XFree(types);
    }
    XFree(clients);
    return totals;
}

std::vector<uint32_t> windowPixels(Display* display, Window window, int width, int height) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xffffff);
    XDestroyImage(image);
    return pixels;
}

bool writeScreenshot(Display* display, Window window, const std::string& fileName) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    const std::vector<uint32_t> pixels = windowPixels(display, window, attributes.width, attributes.height);
    if (pixels.empty()) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, attributes.width, attributes.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < attributes.height; ++y)
        std::memcpy(data + y * stride, &pixels[size_t(y) * size_t(attributes.width)], size_t(attributes.width) * 4);
    cairo_surface_mark_dirty(surface);
    const std::string path = std::string(KORVEL_SCREENSHOT_DIR) + "/" + fileName;
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

void fakeMove(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
}

void fakeButton(Display* display, unsigned int button, bool down) {
    XTestFakeButtonEvent(display, button, down, CurrentTime);
    XSync(display, False);
}

namespace {
// A key for keysym: the one the keyboard map has, or a free key given that symbol.
unsigned int keyFor(Display* display, unsigned long keysym) {
    if (const unsigned int key = XKeysymToKeycode(display, keysym)) return key;
    int first = 0, last = 0, perKey = 0;
    XDisplayKeycodes(display, &first, &last);
    KeySym* map = XGetKeyboardMapping(display, KeyCode(first), last - first + 1, &perKey);
    unsigned int free = 0;
    for (int code = last; code >= first && !free; --code) {
        bool empty = true;
        for (int column = 0; column < perKey; ++column) empty = empty && map[(code - first) * perKey + column] == NoSymbol;
        if (empty) free = unsigned(code);
    }
    XFree(map);
    KeySym symbol = keysym;
    if (free) XChangeKeyboardMapping(display, int(free), 1, &symbol, 1);
    XSync(display, False);
    return free;
}
}  // namespace

void fakeKey(Display* display, unsigned long keysym, bool shift) {
    const unsigned int shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    const unsigned int key = keyFor(display, keysym);
    if (shift) XTestFakeKeyEvent(display, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display, shiftKey, False, CurrentTime);
    XSync(display, False);
}

void fakeText(Display* display, const std::string& text) {
    for (char character : text) {
        unsigned long keysym = 0;
        if (character == '-') keysym = XK_minus;
        else if (character == '.') keysym = XK_period;
        else keysym = XStringToKeysym(std::string(1, char(std::tolower(character))).c_str());
        fakeKey(display, keysym, std::isupper(static_cast<unsigned char>(character)) != 0);
    }
}

Window findPopup(Display* display, int& x, int& y, int& width, int& height) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned int index = 0; index < count && !found; ++index) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[index], &attributes) && attributes.override_redirect &&
            attributes.map_state == IsViewable) {
            found = children[index];
            x = attributes.x;
            y = attributes.y;
            width = attributes.width;
            height = attributes.height;
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace X11EditorTest
