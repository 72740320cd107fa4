// Test helper: makes a window for lumenweave to draw into, as a screen-saver daemon would, prints
// its id and then obeys lines on standard input: "resize W H", "destroy"; it ends at end of input.
// With --net-wm-state it sets a window's _NET_WM_STATE to the atoms named, in that order, as a
// window manager does, and ends.
//   lumenweave-x11tool [--input-only] WIDTH HEIGHT
//   lumenweave-x11tool --net-wm-state WINDOW ATOM...
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

int set_net_wm_state(Display* display, int count, char** names) {
    const Window window = std::strtoul(names[0], nullptr, 0);
    std::vector<Atom> atoms;
    for (int i = 1; i < count; ++i) {
        atoms.push_back(XInternAtom(display, names[i], False));
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(atoms.data()),
                    static_cast<int>(atoms.size()));
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--net-wm-state") == 0) {
        Display* display = XOpenDisplay(nullptr);
        return display == nullptr ? 1 : set_net_wm_state(display, argc - 2, argv + 2);
    }
    const bool input_only = argc == 4 && std::strcmp(argv[1], "--input-only") == 0;
    if (argc != 3 && !input_only) {
        std::fputs("usage: lumenweave-x11tool [--input-only] WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const unsigned width = static_cast<unsigned>(std::atoi(argv[argc - 2]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[argc - 1]));
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("lumenweave-x11tool: no display\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    const Window window = input_only
                              ? XCreateWindow(display, root, 0, 0, width, height, 0, 0, InputOnly,
                                              CopyFromParent, 0, nullptr)
                              : XCreateSimpleWindow(display, root, 0, 0, width, height, 0, 0, 0);
    XStoreName(display, window, "lumenweave-x11tool");
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        unsigned w = 0;
        unsigned h = 0;
        if (std::sscanf(line.c_str(), "resize %u %u", &w, &h) == 2) {
            XResizeWindow(display, window, w, h);
        } else if (line == "destroy") {
            XDestroyWindow(display, window);
        }
        XSync(display, False);
        std::puts("done");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
