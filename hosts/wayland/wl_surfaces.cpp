// The surfaces the Wayland host draws into and EGL on them: layer surfaces covering the outputs
// for the saver, xdg toplevels for window mode, each with an EGL window surface sized by the
// compositor's configure, all sharing one desktop OpenGL context.
#include <algorithm>

#include "frame/window.hpp"
#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

// Sizes SURFACE's EGL window to WIDTH x HEIGHT compositor pixels, making it on the first
// configure. The buffer has the scale of the output the surface covers or was last shown on, so
// that a scaled output shows the figure at its own resolution rather than enlarged.
void apply_size(host_t& host, surface_t& surface, uint32_t width, uint32_t height) {
    const output_t* scaled_by = surface.output != nullptr ? surface.output : surface.shown_on;
    const int32_t scale = scaled_by != nullptr ? scaled_by->scale : 1;
    surface.logical_width = width;
    surface.logical_height = height;
    // Taken with the next commit, the swap that brings the buffer of the new size.
    if (scale != surface.scale &&
        wl_proxy_get_version(reinterpret_cast<wl_proxy*>(host.compositor)) >=
            WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) {
        wl_surface_set_buffer_scale(surface.surface, scale);
        surface.scale = scale;
    }
    width *= static_cast<uint32_t>(surface.scale);
    height *= static_cast<uint32_t>(surface.scale);
    surface.width = width;
    surface.height = height;
    if (surface.egl_window == nullptr) {
        surface.egl_window = wl_egl_window_create(surface.surface, static_cast<int>(width),
                                                  static_cast<int>(height));
        surface.egl_surface = eglCreateWindowSurface(
            host.egl_display, host.egl_config,
            reinterpret_cast<EGLNativeWindowType>(surface.egl_window), nullptr);
        if (surface.egl_surface == EGL_NO_SURFACE) {
            report_failure(failure_kind::cannot_create_surface);
            surface.closing = true;
            return;
        }
    } else {
        wl_egl_window_resize(surface.egl_window, static_cast<int>(width), static_cast<int>(height),
                             0, 0);
    }
    surface.configured = true;
    surface.picture_wanted = true;
    log_event(log_item::surface, "%s %s %ux%u scale %d", role_of(host, surface), label_of(surface),
              width, height, surface.scale);
}

host_t* the_host = nullptr;  // the one host record, for the surfaces' listeners

// A window takes the scale of the output it last entered; a saver surface has its own output.
void surface_enter(void* data, wl_surface*, wl_output* entered) {
    surface_t& surface = *static_cast<surface_t*>(data);
    for (const std::unique_ptr<output_t>& output : the_host->outputs) {
        if (output->output == entered) {
            surface.shown_on = output.get();
        }
    }
    if (surface.configured && surface.shown_on != nullptr &&
        surface.shown_on->scale != surface.scale) {
        apply_size(*the_host, surface, surface.logical_width, surface.logical_height);
    }
}
void surface_leave(void*, wl_surface*, wl_output*) {}

const wl_surface_listener surface_listener = {surface_enter, surface_leave};

void layer_configure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                     uint32_t height) {
    surface_t& surface = *static_cast<surface_t*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    // Anchored to all four edges, the compositor gives the output's size; never 0 then.
    apply_size(*the_host, surface, std::max(width, 1u), std::max(height, 1u));
}

void layer_closed(void* data, zwlr_layer_surface_v1*) {
    static_cast<surface_t*>(data)->closing = true;
}

const zwlr_layer_surface_v1_listener layer_listener = {layer_configure, layer_closed};

void toplevel_configure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                        wl_array* states) {
    surface_t& surface = *static_cast<surface_t*>(data);
    surface.fullscreen = false;
    const uint32_t* state = nullptr;
    for (state = static_cast<const uint32_t*>(states->data);
         reinterpret_cast<const char*>(state) <
         static_cast<const char*>(states->data) + states->size;
         ++state) {
        if (*state == XDG_TOPLEVEL_STATE_FULLSCREEN) {
            surface.fullscreen = true;
        }
    }
    // Kept in the surface's size until the xdg surface's configure applies it.
    surface.width = width > 0 ? static_cast<uint32_t>(width) : 0;
    surface.height = height > 0 ? static_cast<uint32_t>(height) : 0;
}

void toplevel_close(void* data, xdg_toplevel*) {
    surface_t& surface = *static_cast<surface_t*>(data);
    if (linux::close_window(the_host->session, is_master(*the_host, surface))) {
        surface.closing = true;
    }
}

// Only xdg_wm_base version 1 is bound: the later events never come.
const xdg_toplevel_listener toplevel_listener = {toplevel_configure, toplevel_close, nullptr,
                                                 nullptr};

void xdg_configure(void* data, xdg_surface* xdg, uint32_t serial) {
    surface_t& surface = *static_cast<surface_t*>(data);
    xdg_surface_ack_configure(xdg, serial);
    const uint32_t width = surface.width > 0 ? surface.width : frame::application_width;
    const uint32_t height = surface.height > 0 ? surface.height : frame::application_height;
    apply_size(*the_host, surface, width, height);
}

const xdg_surface_listener xdg_listener = {xdg_configure};

void destroy_surface(host_t& host, surface_t& surface) {
    if (surface.egl_surface != EGL_NO_SURFACE) {
        if (host.current == surface.egl_surface) {
            eglMakeCurrent(host.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, host.egl_context);
            host.current = EGL_NO_SURFACE;
        }
        eglDestroySurface(host.egl_display, surface.egl_surface);
    }
    if (surface.egl_window != nullptr) {
        wl_egl_window_destroy(surface.egl_window);
    }
    if (surface.frame_callback != nullptr) {
        wl_callback_destroy(surface.frame_callback);
    }
    if (surface.layer != nullptr) {
        zwlr_layer_surface_v1_destroy(surface.layer);
    }
    if (surface.toplevel != nullptr) {
        xdg_toplevel_destroy(surface.toplevel);
    }
    if (surface.xdg != nullptr) {
        xdg_surface_destroy(surface.xdg);
    }
    if (host.keyboard_focus == surface.surface) {
        host.keyboard_focus = nullptr;
    }
    if (host.pointer_focus == surface.surface) {
        host.pointer_focus = nullptr;
    }
    wl_surface_destroy(surface.surface);
}

}  // namespace

void follow_output_scale(output_t& output) {
    // Outputs are first described before any surface exists.
    if (the_host == nullptr) {
        return;
    }
    for (const auto& surface : the_host->surfaces) {
        const bool on_output = surface->output == &output || surface->shown_on == &output;
        if (on_output && surface->configured && surface->scale != output.scale) {
            apply_size(*the_host, *surface, surface->logical_width, surface->logical_height);
        }
    }
}

bool start_egl(host_t& host) {
    the_host = &host;
    host.egl_display = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(host.display));
    if (host.egl_display == EGL_NO_DISPLAY || !eglInitialize(host.egl_display, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API)) {
        report_failure(failure_kind::no_egl);
        return false;
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_WINDOW_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(host.egl_display, attributes, &host.egl_config, 1, &count) || count < 1) {
        report_failure(failure_kind::no_egl);
        return false;
    }
    // No attributes: Mesa gives a compatibility profile, which the draw list's replay needs.
    host.egl_context = eglCreateContext(host.egl_display, host.egl_config, EGL_NO_CONTEXT, nullptr);
    if (host.egl_context == EGL_NO_CONTEXT) {
        report_failure(failure_kind::no_context);
        return false;
    }
    return true;
}

bool add_layer_surface(host_t& host, output_t& output) {
    auto surface = std::make_unique<surface_t>();
    surface->role = surface_role::layer;
    surface->output = &output;
    surface->surface = wl_compositor_create_surface(host.compositor);
    const uint32_t layer = host.session.options.layer == linux::saver_layer::background
                               ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND
                               : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY;
    surface->layer = zwlr_layer_shell_v1_get_layer_surface(host.layer_shell, surface->surface,
                                                           output.output, layer, "lumenweave");
    zwlr_layer_surface_v1_add_listener(surface->layer, &layer_listener, surface.get());
    zwlr_layer_surface_v1_set_anchor(
        surface->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                            ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(surface->layer, 0, 0);
    // -1: drawn over panels too, and moving nothing else aside.
    zwlr_layer_surface_v1_set_exclusive_zone(surface->layer, -1);
    if (layer == ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY) {
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            surface->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        // A wallpaper: keys stay with the windows, and pointer moves and clicks go to the desktop
        // under it through an empty input region.
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            surface->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
        wl_region* nowhere = wl_compositor_create_region(host.compositor);
        wl_surface_set_input_region(surface->surface, nowhere);
        wl_region_destroy(nowhere);
    }
    // Committed without a buffer: the compositor answers with the size.
    wl_surface_commit(surface->surface);
    host.surfaces.push_back(std::move(surface));
    return true;
}

bool add_toplevel(host_t& host, bool master) {
    auto surface = std::make_unique<surface_t>();
    surface->role = surface_role::toplevel;
    surface->surface = wl_compositor_create_surface(host.compositor);
    wl_surface_add_listener(surface->surface, &surface_listener, surface.get());
    surface->xdg = xdg_wm_base_get_xdg_surface(host.wm_base, surface->surface);
    xdg_surface_add_listener(surface->xdg, &xdg_listener, surface.get());
    surface->toplevel = xdg_surface_get_toplevel(surface->xdg);
    xdg_toplevel_add_listener(surface->toplevel, &toplevel_listener, surface.get());
    xdg_toplevel_set_title(surface->toplevel, linux::window_title(master));
    xdg_toplevel_set_app_id(surface->toplevel, "lumenweave");
    wl_surface_commit(surface->surface);
    host.surfaces.push_back(std::move(surface));
    return true;
}

void toggle_fullscreen(surface_t& surface) {
    if (surface.fullscreen) {
        xdg_toplevel_unset_fullscreen(surface.toplevel);
    } else {
        // The compositor picks the output the window is on.
        xdg_toplevel_set_fullscreen(surface.toplevel, nullptr);
    }
}

void remove_closed_surfaces(host_t& host) {
    for (const std::unique_ptr<surface_t>& surface : host.surfaces) {
        if (surface->output != nullptr && surface->output->removed) {
            surface->closing = true;
        }
        if (surface->shown_on != nullptr && surface->shown_on->removed) {
            surface->shown_on = nullptr;
        }
        if (surface->closing) {
            destroy_surface(host, *surface);
        }
    }
    host.surfaces.erase(
        std::remove_if(host.surfaces.begin(), host.surfaces.end(),
                       [](const std::unique_ptr<surface_t>& s) { return s->closing; }),
        host.surfaces.end());
    for (const std::unique_ptr<output_t>& output : host.outputs) {
        if (output->removed) {
            if (output->xdg_output != nullptr) {
                zxdg_output_v1_destroy(output->xdg_output);
            }
            wl_output_destroy(output->output);
        }
    }
    host.outputs.erase(
        std::remove_if(host.outputs.begin(), host.outputs.end(),
                       [](const std::unique_ptr<output_t>& o) { return o->removed; }),
        host.outputs.end());
}

surface_t* surface_of(host_t& host, wl_surface* surface) {
    for (const std::unique_ptr<surface_t>& candidate : host.surfaces) {
        if (candidate->surface == surface) {
            return candidate.get();
        }
    }
    return nullptr;
}

bool make_current(host_t& host, const surface_t& surface) {
    if (host.current == surface.egl_surface) {
        return true;
    }
    if (!eglMakeCurrent(host.egl_display, surface.egl_surface, surface.egl_surface,
                        host.egl_context)) {
        return false;
    }
    host.current = surface.egl_surface;
    // The compositor's frame callbacks pace the surfaces; a swap never waits for one.
    eglSwapInterval(host.egl_display, 0);
    return true;
}

void stop_egl(host_t& host) {
    for (const std::unique_ptr<surface_t>& surface : host.surfaces) {
        destroy_surface(host, *surface);
    }
    host.surfaces.clear();
    if (host.egl_display != EGL_NO_DISPLAY) {
        eglMakeCurrent(host.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (host.egl_context != EGL_NO_CONTEXT) {
            eglDestroyContext(host.egl_display, host.egl_context);
        }
        eglTerminate(host.egl_display);
    }
}

}  // namespace lumenweave::wayland
