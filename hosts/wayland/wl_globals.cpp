// The compositor's globals: the compositor, the shells, the seat and the outputs, which may come
// and go while the program runs. A saver gives every output that appears a surface of its own,
// or with --output the one of that name, once its name is known; so does a lock background,
// which binds neither the seat nor the window shell.
#include <algorithm>
#include <cstring>

#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

host_t* the_globals_host = nullptr;  // the one host record, for the outputs' listeners

// The output's place as wl_output gives it, until the xdg output's logical position, which
// compositors fill in where wl_output may say 0, 0.
void output_geometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                     const char*, const char*, int32_t) {
    output_t* output = static_cast<output_t*>(data);
    if (output->xdg_output == nullptr) {
        output->x = x;
        output->y = y;
    }
}
void output_mode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
// The scale comes before the done that ends the output's description.
void output_done(void* data, wl_output*) {
    output_t& output = *static_cast<output_t*>(data);
    log_event(log_item::output, "%s at %d,%d scale %d", output.label.c_str(), output.x, output.y,
              output.scale);
    follow_output_scale(output);
}
void output_scale(void* data, wl_output*, int32_t factor) {
    static_cast<output_t*>(data)->scale = std::max(factor, 1);
}
// Version 4's name; before it, the xdg output's name stands in.
void output_name(void* data, wl_output*, const char* name) {
    output_t& output = *static_cast<output_t*>(data);
    output.label = name;
    cover_output(*the_globals_host, output);
}
void output_description(void*, wl_output*, const char*) {}

const wl_output_listener output_listener = {output_geometry, output_mode, output_done,
                                            output_scale,    output_name, output_description};

void logical_position(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    output_t* output = static_cast<output_t*>(data);
    output->x = x;
    output->y = y;
}
void logical_size(void*, zxdg_output_v1*, int32_t, int32_t) {}
void xdg_output_done(void*, zxdg_output_v1*) {}
void xdg_output_name(void* data, zxdg_output_v1*, const char* name) {
    output_t& output = *static_cast<output_t*>(data);
    if (wl_output_get_version(output.output) < WL_OUTPUT_NAME_SINCE_VERSION) {
        output.label = name;
        cover_output(*the_globals_host, output);
    }
}
void xdg_output_description(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdg_output_listener = {
    logical_position, logical_size, xdg_output_done, xdg_output_name, xdg_output_description};

void seat_capabilities(void* data, wl_seat*, uint32_t capabilities) {
    follow_seat_capabilities(*static_cast<host_t*>(data), capabilities);
}
void seat_name(void*, wl_seat*, const char*) {}

const wl_seat_listener seat_listener = {seat_capabilities, seat_name};

void wm_base_ping(void*, xdg_wm_base* wm_base, uint32_t serial) {
    xdg_wm_base_pong(wm_base, serial);
}

const xdg_wm_base_listener wm_base_listener = {wm_base_ping};

void add_output(host_t& host, uint32_t name, uint32_t version) {
    auto output = std::make_unique<output_t>();
    output->name = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(host.registry, name, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(output->output, &output_listener, output.get());
    host.outputs.push_back(std::move(output));
    locate_outputs(host);
    cover_output(host, *host.outputs.back());
}

void global_added(void* data, wl_registry* registry, uint32_t name, const char* interface,
                  uint32_t version) {
    host_t& host = *static_cast<host_t*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        host.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        host.layer_shell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            registry, name, &zwlr_layer_shell_v1_interface, std::min(version, 4u)));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !lock_background(host)) {
        host.wm_base =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(host.wm_base, &wm_base_listener, &host);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        host.output_manager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min(version, 2u)));
        locate_outputs(host);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && host.seat == nullptr &&
               !lock_background(host)) {
        host.seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
        wl_seat_add_listener(host.seat, &seat_listener, &host);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        add_output(host, name, version);
    }
}

// An output that goes loses its surface after this round of events; nothing else is affected,
// but for a saver on that output alone: with nothing left to cover, it ends, since a saver that
// waited would cover the output again when it came back while its user worked on the others. A
// wallpaper waits for it: started once with the session, it would not come back otherwise.
void global_removed(void* data, wl_registry*, uint32_t name) {
    host_t& host = *static_cast<host_t*>(data);
    for (const std::unique_ptr<output_t>& output : host.outputs) {
        if (output->name == name) {
            output->removed = true;
            log_event(log_item::output_gone, "%s", output->label.c_str());
            if (host.session.options.output_name != nullptr && chosen(host, *output) &&
                host.session.options.layer == linux::saver_layer::overlay) {
                host.session.quit = quit_reason::output_gone;
            }
        }
    }
}

const wl_registry_listener registry_listener = {global_added, global_removed};

}  // namespace

bool chosen(const host_t& host, const output_t& output) {
    const char* wanted = host.session.options.output_name;
    return wanted == nullptr || output.label == wanted;
}

void cover_output(host_t& host, output_t& output) {
    // Outputs present at the start get their surfaces once the shell is known for certain.
    if (!host.started || !covers_outputs(host) || output.removed || !chosen(host, output)) {
        return;
    }
    for (const std::unique_ptr<surface_t>& surface : host.surfaces) {
        if (surface->output == &output) {
            return;
        }
    }
    add_layer_surface(host, output);
}

void locate_outputs(host_t& host) {
    if (host.output_manager == nullptr) {
        return;
    }
    for (const std::unique_ptr<output_t>& output : host.outputs) {
        if (output->xdg_output == nullptr) {
            output->xdg_output =
                zxdg_output_manager_v1_get_xdg_output(host.output_manager, output->output);
            zxdg_output_v1_add_listener(output->xdg_output, &xdg_output_listener, output.get());
        }
    }
}

void release_globals(host_t& host) {
    for (const std::unique_ptr<output_t>& output : host.outputs) {
        if (output->xdg_output != nullptr) {
            zxdg_output_v1_destroy(output->xdg_output);
        }
        wl_output_destroy(output->output);
    }
    host.outputs.clear();
    if (host.seat != nullptr) {
        wl_seat_destroy(host.seat);
    }
    if (host.output_manager != nullptr) {
        zxdg_output_manager_v1_destroy(host.output_manager);
    }
    // Its destroy request came with version 3; before, the proxy alone goes.
    if (host.layer_shell != nullptr && zwlr_layer_shell_v1_get_version(host.layer_shell) >= 3) {
        zwlr_layer_shell_v1_destroy(host.layer_shell);
    } else if (host.layer_shell != nullptr) {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(host.layer_shell));
    }
    if (host.wm_base != nullptr) {
        xdg_wm_base_destroy(host.wm_base);
    }
    if (host.compositor != nullptr) {
        wl_compositor_destroy(host.compositor);
    }
    if (host.registry != nullptr) {
        wl_registry_destroy(host.registry);
    }
}

void listen_to_registry(host_t& host) {
    the_globals_host = &host;
    host.registry = wl_display_get_registry(host.display);
    wl_registry_add_listener(host.registry, &registry_listener, &host);
}

}  // namespace lumenweave::wayland
