// Sends a window-manager close request (WM_PROTOCOLS / WM_DELETE_WINDOW) to a window, as a
// window manager does for Alt+F4 or a title-bar close. Usage: xclose <window id>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xclose <window id>\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "xclose: cannot open display\n");
        return 1;
    }
    const Window w = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
