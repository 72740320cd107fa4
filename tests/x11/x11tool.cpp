// Test helper: makes a window for lumenweave to draw into, as a screen-saver daemon would, prints
// its id and then obeys lines on standard input: "resize W H", "destroy"; it ends at end of input.
//   lumenweave-x11tool [--input-only] WIDTH HEIGHT
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
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
