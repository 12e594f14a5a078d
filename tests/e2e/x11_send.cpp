// Sends a top-level X window the requests a window manager or a pager would, since the end-to-end
// tests drive the game from outside:
//   close <window id>          WM_DELETE_WINDOW, as a close box does (Xvfb alone has no WM);
//   state <window id> <atom>   adds a _NET_WM_STATE, e.g. _NET_WM_STATE_FULLSCREEN, via the root.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    const bool state = argc == 4 && std::strcmp(argv[1], "state") == 0;
    if (!close && !state) {
        std::fprintf(stderr, "usage: %s close <window id> | state <window id> <state atom>\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    Status sent;
    if (close) {
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        sent = XSendEvent(display, window, False, NoEventMask, &event);
    } else {
        event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
        event.xclient.data.l[0] = 1;  // add
        event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, argv[3], False));
        event.xclient.data.l[3] = 2;  // from a pager: the user's own request
        sent = XSendEvent(display, DefaultRootWindow(display), False,
                          SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
