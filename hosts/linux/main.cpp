// The Linux program's entry: reads the command line, answers --help and --version, and hands the
// run to the X11 or the Wayland host.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include "hosts/linux/hosts.hpp"
#include "lumenweave/version.hpp"

int main(int argc, char** argv) {
    using namespace lumenweave_linux;
    const options_t options = parse_options(argc, argv);
    switch (options.mode) {
        case run_mode::help:
            print_usage(stdout);
            return 0;
        case run_mode::version:
            std::printf("lumenweave %s\n", LUMENWEAVE_VERSION);
            return 0;
        case run_mode::usage_error:
            print_usage_error(stderr, options);
            return 2;
        default:
            break;
    }
    // Mesa's software renderer frees its per-frame buffers at the end of each frame and allocates
    // them again for the next; glibc would hand the freed top of the heap back to the kernel each
    // time (about 2 000 brk calls a second) and the next frame would fault it in again (tens of
    // thousands of page faults a second, most of the program's kernel time). Keeping up to 32 MiB
    // of freed heap, about what one frame needs at most, stops that churn.
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    const bool on_wayland =
        choose_display_system(options, std::getenv("WAYLAND_DISPLAY")) == display_system::wayland;
    if (on_wayland && options.mode != run_mode::window && options.mode != run_mode::saver) {
        std::fprintf(stderr, "lumenweave: --root and --window-id need X11\n");
        return 2;
    }
    return on_wayland ? run_wayland_host(options) : run_x11_host(options);
}
