// closeWindow: asks every top-level window of the X display that takes
// window-manager close requests to close, as a window manager's close
// button does (a WM_DELETE_WINDOW message); Xvfb has no window manager to
// do it. Prints how many were asked; status 1 when there were none.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace {
// True when `window` says it takes WM_DELETE_WINDOW.
bool takesClose(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count)) return false;
    bool takes = false;
    for (int at = 0; at < count; ++at) takes = takes || protocols[at] == deleteWindow;
    XFree(protocols);
    return takes;
}
}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "closeWindow: no X display\n");
        return 2;
    }
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Window root = DefaultRootWindow(display), parent;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, root, &root, &parent, &children, &count);
    int asked = 0;
    for (unsigned at = 0; at < count; ++at) {
        if (!takesClose(display, children[at], deleteWindow)) continue;
        XEvent close = {};
        close.xclient.type = ClientMessage;
        close.xclient.window = children[at];
        close.xclient.message_type = protocols;
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(deleteWindow);
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, children[at], False, NoEventMask, &close);
        ++asked;
    }
    if (children) XFree(children);
    XCloseDisplay(display);
    std::printf("asked %d window%s to close\n", asked, asked == 1 ? "" : "s");
    return asked > 0 ? 0 : 1;
}
