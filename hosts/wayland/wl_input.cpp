// The seat's keyboard and pointer, followed as the compositor adds and removes them (a virtual
// keyboard may appear after the start). A saver ends on any key, any button or a pointer move of
// more than a few pixels; a wallpaper takes none of them; window mode reads F, N, Escape and Q
// through the keyboard's keymap.
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cmath>

#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

bool saver(const host_t& host) {
    return host.session.options.mode == run_mode::saver;
}

void keymap_received(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    host_t& host = *static_cast<host_t*>(data);
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || saver(host)) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) {
        return;
    }
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(host.xkb, static_cast<const char*>(text),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) {
        return;
    }
    xkb_state_unref(host.key_state);
    xkb_keymap_unref(host.keymap);
    host.keymap = keymap;
    host.key_state = xkb_state_new(keymap);
}

void keyboard_enter(void* data, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
    host_t& host = *static_cast<host_t*>(data);
    host.keyboard_focus = surface;
    if (const surface_t* entered = surface_of(host, surface)) {
        log_event(log_item::keyboard_enter, "%s %s", role_of(host, *entered), label_of(*entered));
    }
}

void keyboard_leave(void* data, wl_keyboard*, uint32_t, wl_surface*) {
    static_cast<host_t*>(data)->keyboard_focus = nullptr;
}

void close_surface(host_t& host, surface_t& surface) {
    if (linux::close_window(host.session, is_master(host, surface))) {
        surface.closing = true;
    }
}

void window_key(host_t& host, uint32_t key) {
    surface_t* surface = surface_of(host, host.keyboard_focus);
    if (surface == nullptr || host.key_state == nullptr) {
        return;
    }
    // Keycodes are evdev's; xkb counts from 8.
    switch (xkb_keysym_to_lower(xkb_state_key_get_one_sym(host.key_state, key + 8))) {
        case XKB_KEY_Escape:
        case XKB_KEY_q:
            close_surface(host, *surface);
            break;
        case XKB_KEY_f:
            toggle_fullscreen(*surface);
            break;
        case XKB_KEY_n:
            add_toplevel(host, false);
            break;
        default:
            break;
    }
}

void key_event(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    host_t& host = *static_cast<host_t*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) {
        return;
    }
    if (saver(host)) {
        host.session.quit = quit_reason::input;
    } else {
        window_key(host, key);
    }
}

void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
               uint32_t locked, uint32_t group) {
    host_t& host = *static_cast<host_t*>(data);
    if (host.key_state != nullptr) {
        xkb_state_update_mask(host.key_state, depressed, latched, locked, 0, 0, group);
    }
}

void repeat_info(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener keyboard_listener = {keymap_received, keyboard_enter, keyboard_leave,
                                                key_event,       modifiers,      repeat_info};

void pointer_leave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    static_cast<host_t*>(data)->pointer_focus = nullptr;
}

// Positions are the surface's; a saver's surface covers its output, whose place in the
// compositor's space makes them comparable across outputs. An enter only sets no origin.
void pointer_moved(host_t& host, wl_fixed_t x, wl_fixed_t y, bool motion) {
    const surface_t* surface = surface_of(host, host.pointer_focus);
    if (!saver(host) || surface == nullptr || (!motion && !host.session.saver_pointer.placed)) {
        return;
    }
    const int global_x = surface->output->x + static_cast<int>(std::lround(wl_fixed_to_double(x)));
    const int global_y = surface->output->y + static_cast<int>(std::lround(wl_fixed_to_double(y)));
    const frame::pointer_step step = watch_pointer(host.session.saver_pointer, global_x, global_y);
    if (step.ends_saver()) {
        host.session.quit = quit_reason::input;
    }
    linux::log_pointer(global_x, global_y, step);
}

// A saver's cursor is hidden over its surfaces. The pointer may come in from another output.
void pointer_enter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                   wl_fixed_t x, wl_fixed_t y) {
    host_t& host = *static_cast<host_t*>(data);
    host.pointer_focus = surface;
    if (saver(host)) {
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    }
    pointer_moved(host, x, y, false);
}

void pointer_motion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    pointer_moved(*static_cast<host_t*>(data), x, y, true);
}

void pointer_button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    host_t& host = *static_cast<host_t*>(data);
    if (saver(host) && state == WL_POINTER_BUTTON_STATE_PRESSED) {
        host.session.quit = quit_reason::input;
    }
}

void pointer_axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void pointer_frame(void*, wl_pointer*) {}
void pointer_axis_source(void*, wl_pointer*, uint32_t) {}
void pointer_axis_stop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointer_axis_discrete(void*, wl_pointer*, uint32_t, int32_t) {}
void pointer_axis_value120(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener pointer_listener = {
    pointer_enter,         pointer_leave,        pointer_motion,      pointer_button,
    pointer_axis,          pointer_frame,        pointer_axis_source, pointer_axis_stop,
    pointer_axis_discrete, pointer_axis_value120};

void release_keyboard(host_t& host) {
    if (host.keyboard != nullptr) {
        wl_keyboard_destroy(host.keyboard);
        host.keyboard = nullptr;
        host.keyboard_focus = nullptr;
    }
}

void release_pointer(host_t& host) {
    if (host.pointer != nullptr) {
        wl_pointer_destroy(host.pointer);
        host.pointer = nullptr;
        host.pointer_focus = nullptr;
    }
}

}  // namespace

void follow_seat_capabilities(host_t& host, uint32_t capabilities) {
    // A wallpaper (the background layer) takes no input at all: nothing the user does ends it.
    const bool wallpaper =
        saver(host) && host.session.options.layer == linux::saver_layer::background;
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && !wallpaper;
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && !wallpaper;
    if (keyboard && host.keyboard == nullptr) {
        host.keyboard = wl_seat_get_keyboard(host.seat);
        wl_keyboard_add_listener(host.keyboard, &keyboard_listener, &host);
    } else if (!keyboard) {
        release_keyboard(host);
    }
    if (pointer && host.pointer == nullptr) {
        host.pointer = wl_seat_get_pointer(host.seat);
        wl_pointer_add_listener(host.pointer, &pointer_listener, &host);
    } else if (!pointer) {
        release_pointer(host);
    }
}

void release_input(host_t& host) {
    release_keyboard(host);
    release_pointer(host);
    xkb_state_unref(host.key_state);
    xkb_keymap_unref(host.keymap);
    host.key_state = nullptr;
    host.keymap = nullptr;
}

}  // namespace lumenweave::wayland
