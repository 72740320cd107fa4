// Test helper: a virtual pointer on the compositor's seat that moves by the given steps, one
// relative motion "DX,DY" (pixels) per argument, or presses a button for the argument "click".
// Each step is its own frame, sent and acknowledged by the compositor before the next.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct globals_t {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void global_added(void* data, wl_registry* registry, uint32_t name, const char* interface,
                  uint32_t) {
    globals_t& globals = *static_cast<globals_t*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr) {
        globals.seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals.manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void global_removed(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registry_listener = {global_added, global_removed};

uint32_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vpointer: no Wayland display\n");
        return 1;
    }
    globals_t globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::fprintf(stderr, "vpointer: the compositor makes no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    for (int i = 1; i < argc; ++i) {
        double dx = 0;
        double dy = 0;
        if (std::strcmp(argv[i], "click") == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (std::sscanf(argv[i], "%lf,%lf", &dx, &dy) == 2) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_double(dx),
                                           wl_fixed_from_double(dy));
        } else {
            std::fprintf(stderr, "vpointer: not a step: %s\n", argv[i]);
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        // Apart in time as a hand's moves are, so that clients see each one.
        const timespec pause = {0, 50'000'000};
        nanosleep(&pause, nullptr);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    if (globals.seat != nullptr) {
        wl_seat_destroy(globals.seat);
    }
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
