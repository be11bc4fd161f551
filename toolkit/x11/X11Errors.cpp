#include "X11Errors.h"

#include <map>
#include <mutex>

namespace Toolkit::X11Errors {

namespace {

std::mutex guard;
// Each watched display and whether it had an error since its last sync.
std::map<Display*, bool> watched;
XErrorHandler previous = nullptr;

int recordError(Display* display, XErrorEvent* error) {
    XErrorHandler forward = nullptr;
    {
        std::lock_guard lock(guard);
        if (auto entry = watched.find(display); entry != watched.end()) {
            entry->second = true;
            return 0;
        }
        forward = previous;
    }
    return forward ? forward(display, error) : 0;
}

}  // namespace

void watch(Display* display) {
    std::lock_guard lock(guard);
    if (watched.empty()) previous = XSetErrorHandler(recordError);
    watched[display] = false;
}

void forget(Display* display) {
    std::lock_guard lock(guard);
    if (!watched.erase(display) || !watched.empty()) return;
    // Put the earlier handler back unless someone installed another one after ours.
    XErrorHandler current = XSetErrorHandler(previous);
    if (current != recordError) XSetErrorHandler(current);
    previous = nullptr;
}

bool sync(Display* display) {
    XSync(display, False);
    std::lock_guard lock(guard);
    auto entry = watched.find(display);
    if (entry == watched.end()) return false;
    const bool failed = entry->second;
    entry->second = false;
    return failed;
}

}  // namespace Toolkit::X11Errors
