// GLX: the frame-buffer configuration matching a window's visual, the one context every window
// is drawn with in turn, and the swap interval.
#include <cstring>

#include "hosts/x11/x11_host.hpp"

namespace lumenweave::x11 {
namespace {

int config_attribute(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

bool has_extension(const host_t& host, const char* name) {
    const char* extensions = glXQueryExtensionsString(host.display, host.screen);
    if (extensions == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr;
         at = std::strstr(at + length, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool choose_config_for_visual(host_t& host, VisualID visual) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(host.display, host.screen, &count);
    GLXFBConfig chosen = nullptr;
    bool chosen_double = false;
    for (int i = 0; i < count; ++i) {
        Display* d = host.display;
        if (static_cast<VisualID>(config_attribute(d, configs[i], GLX_VISUAL_ID)) != visual ||
            !(config_attribute(d, configs[i], GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) ||
            !(config_attribute(d, configs[i], GLX_RENDER_TYPE) & GLX_RGBA_BIT)) {
            continue;
        }
        // Double buffering keeps a half-drawn frame off the screen; single will do otherwise.
        const bool is_double = config_attribute(d, configs[i], GLX_DOUBLEBUFFER) != 0;
        if (chosen == nullptr || (is_double && !chosen_double)) {
            chosen = configs[i];
            chosen_double = is_double;
        }
    }
    if (configs != nullptr) {
        XFree(configs);
    }
    host.config = chosen;
    return chosen != nullptr;
}

bool choose_config_for_new_windows(host_t& host) {
    const int attributes[] = {GLX_X_RENDERABLE,
                              True,
                              GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_X_VISUAL_TYPE,
                              GLX_TRUE_COLOR,
                              GLX_DOUBLEBUFFER,
                              True,
                              GLX_RED_SIZE,
                              8,
                              GLX_GREEN_SIZE,
                              8,
                              GLX_BLUE_SIZE,
                              8,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(host.display, host.screen, attributes, &count);
    host.config = count > 0 ? configs[0] : nullptr;
    if (configs != nullptr) {
        XFree(configs);
    }
    return host.config != nullptr;
}

bool create_context(host_t& host) {
    host.context = glXCreateNewContext(host.display, host.config, GLX_RGBA_TYPE, nullptr, True);
    if (host.context == nullptr) {
        return false;
    }
    host.swap_interval_ext = has_extension(host, "GLX_EXT_swap_control");
    // The Mesa form sets the interval of whatever drawable is current, once, for the context.
    if (!host.swap_interval_ext && has_extension(host, "GLX_MESA_swap_control")) {
        using swap_interval_mesa_t = int (*)(unsigned);
        const auto set = reinterpret_cast<swap_interval_mesa_t>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set != nullptr && !host.surfaces.empty() && make_current(host, host.surfaces[0])) {
            set(1);
        }
    }
    return true;
}

bool create_drawable(host_t& host, surface_t& surface) {
    surface.drawable = glXCreateWindow(host.display, host.config, surface.window, nullptr);
    return surface.drawable != 0 && take_x_error(host.display).code == 0;
}

Window create_gl_window(host_t& host, int x, int y, uint32_t width, uint32_t height,
                        XSetWindowAttributes attributes, unsigned long mask) {
    XVisualInfo* visual = glXGetVisualFromFBConfig(host.display, host.config);
    if (visual == nullptr) {
        return 0;
    }
    const Window root = RootWindow(host.display, host.screen);
    if (host.colormap == 0) {
        host.colormap = XCreateColormap(host.display, root, visual->visual, AllocNone);
    }
    attributes.colormap = host.colormap;
    attributes.background_pixel = BlackPixel(host.display, host.screen);
    attributes.border_pixel = 0;
    const Window window =
        XCreateWindow(host.display, root, x, y, width, height, 0, visual->depth, InputOutput,
                      visual->visual, mask | CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XFree(visual);
    return window;
}

bool add_own_surface(host_t& host, Window window, bool master, uint32_t width, uint32_t height) {
    surface_t surface;
    surface.window = window;
    surface.master = master;
    surface.owned = true;
    surface.width = width;
    surface.height = height;
    if (!create_drawable(host, surface)) {
        XDestroyWindow(host.display, window);
        return false;
    }
    host.surfaces.push_back(surface);
    set_swap_interval(host, host.surfaces.back());
    return true;
}

void destroy_drawable(host_t& host, surface_t& surface) {
    if (surface.drawable != 0) {
        glXDestroyWindow(host.display, surface.drawable);
        surface.drawable = 0;
    }
}

void set_swap_interval(host_t& host, const surface_t& surface) {
    if (!host.swap_interval_ext) {
        return;
    }
    using swap_interval_ext_t = void (*)(Display*, GLXDrawable, int);
    const auto set = reinterpret_cast<swap_interval_ext_t>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (set != nullptr) {
        set(host.display, surface.drawable, 1);
    }
}

bool make_current(host_t& host, const surface_t& surface) {
    // Each change costs the GL library a round trip to the server; one window never changes.
    if (host.current == surface.drawable) {
        return true;
    }
    if (!glXMakeContextCurrent(host.display, surface.drawable, surface.drawable, host.context)) {
        host.current = 0;
        return false;
    }
    host.current = surface.drawable;
    return true;
}

void destroy_context(host_t& host) {
    if (host.context == nullptr) {
        return;
    }
    glXMakeContextCurrent(host.display, None, None, nullptr);
    host.current = 0;
    glXDestroyContext(host.display, host.context);
    host.context = nullptr;
}

}  // namespace lumenweave::x11
