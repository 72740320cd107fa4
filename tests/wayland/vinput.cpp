// Test helper: a virtual pointer or keyboard on the compositor's seat, driven one step at a time by
// lines on standard input, so that a test can wait for the program to see each step before the
// next. The device exists from the start (the seat gains it then) until standard input ends.
//   lumenweave-vinput pointer     lines "place X Y W H" (to X,Y of a W x H layout box),
//                                 "move DX DY" (pixels) and "click"
//   lumenweave-vinput keyboard    lines "key NAME" (an xkb key name: space, Escape, n)
// Each step is acknowledged by the compositor before "done" is printed.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <cstdlib>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct globals_t {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
};

void global_added(void* data, wl_registry* registry, uint32_t name, const char* interface,
                  uint32_t) {
    globals_t& globals = *static_cast<globals_t*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr) {
        globals.seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        globals.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

void global_removed(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registry_listener = {global_added, global_removed};

uint32_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

// The keyboard's keymap: xkb's default (evdev rules, a US layout), handed over in a memory file.
bool send_keymap(zwp_virtual_keyboard_v1* keyboard, xkb_keymap* keymap) {
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
    std::free(text);
    if (written) {
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<uint32_t>(size));
    }
    if (fd >= 0) {
        close(fd);
    }
    return written;
}

// The evdev code of the key that gives the key name's symbol unshifted; 0 if none does.
uint32_t key_code(xkb_keymap* keymap, const char* name) {
    const xkb_keysym_t wanted = xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS);
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         wanted != XKB_KEY_NoSymbol && code <= xkb_keymap_max_keycode(keymap); ++code) {
        const xkb_keysym_t* symbols = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &symbols) > 0 &&
            symbols[0] == wanted) {
            return code - 8;  // xkb counts from 8
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool wants_pointer = argc == 2 && std::strcmp(argv[1], "pointer") == 0;
    if (!wants_pointer && (argc != 2 || std::strcmp(argv[1], "keyboard") != 0)) {
        std::fprintf(stderr, "usage: lumenweave-vinput pointer|keyboard\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vinput: no Wayland display\n");
        return 1;
    }
    globals_t globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &globals);
    wl_display_roundtrip(display);
    if (globals.seat == nullptr || globals.pointers == nullptr || globals.keyboards == nullptr) {
        std::fprintf(stderr, "vinput: the compositor makes no virtual pointers or keyboards\n");
        return 1;
    }
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = xkb_keymap_new_from_names(xkb, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    zwlr_virtual_pointer_v1* pointer =
        wants_pointer
            ? zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat)
            : nullptr;
    zwp_virtual_keyboard_v1* keyboard =
        wants_pointer ? nullptr
                      : zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.keyboards,
                                                                                globals.seat);
    if (keymap == nullptr || (keyboard != nullptr && !send_keymap(keyboard, keymap))) {
        std::fprintf(stderr, "vinput: no keymap\n");
        return 1;
    }
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    int status = 0;
    char line[256];
    while (status == 0 && std::fgets(line, sizeof line, stdin) != nullptr) {
        unsigned x = 0, y = 0, width = 0, height = 0;
        double dx = 0, dy = 0;
        char name[64];
        if (pointer == nullptr && std::sscanf(line, "key %63s", name) == 1 &&
            key_code(keymap, name) != 0) {
            const uint32_t code = key_code(keymap, name);
            zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
            zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
        } else if (pointer == nullptr) {
            std::fprintf(stderr, "vinput: not a key: %s", line);
            status = 2;
            break;
        } else if (std::sscanf(line, "place %u %u %u %u", &x, &y, &width, &height) == 4) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (std::sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_double(dx),
                                           wl_fixed_from_double(dy));
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (std::strcmp(line, "click\n") == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else {
            std::fprintf(stderr, "vinput: not a step: %s", line);
            status = 2;
            break;
        }
        if (wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "vinput: the compositor went away\n");
            status = 1;
        }
        std::printf("done\n");
        std::fflush(stdout);
    }
    if (keyboard != nullptr) {
        zwp_virtual_keyboard_v1_destroy(keyboard);
    } else {
        zwlr_virtual_pointer_v1_destroy(pointer);
    }
    zwp_virtual_keyboard_manager_v1_destroy(globals.keyboards);
    zwlr_virtual_pointer_manager_v1_destroy(globals.pointers);
    wl_seat_destroy(globals.seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    xkb_keymap_unref(keymap);
    xkb_context_unref(xkb);
    return status;
}
