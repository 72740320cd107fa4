// The Linux program's failure texts, for both display systems, in one table.
#include "hosts/linux/failure.hpp"

#include <cstdio>

#include "hosts/linux/enum_table.hpp"

namespace lumenweave::linux {
namespace {

struct failure_text_t {
    failure_kind kind;
    const char* text;
};

// In the order of failure_kind, so that a kind indexes its text.
constexpr failure_text_t failure_texts[] = {
    {failure_kind::script_unreadable, "cannot read the script; running the built-in one"},
    {failure_kind::script_has_problems,
     "the script has the problems above; running the built-in one"},
    {failure_kind::script_unwatched,
     "cannot watch the script's folder; changes to the script are not picked up"},
    {failure_kind::changed_script_unreadable,
     "cannot read the changed script; the running one goes on"},
    {failure_kind::changed_script_has_problems,
     "the changed script has the problems above; the running one goes on"},
    {failure_kind::not_a_link,
     "not a link of the Lumenweave playground (it has no #z= or #s= part)"},
    {failure_kind::damaged_link, "the link is cut short or damaged, so its script cannot be read"},
    {failure_kind::empty_link, "the link holds an empty script"},
    {failure_kind::long_link, "the link's script is too long to read"},
    {failure_kind::link_seed_refused,
     "the link's seed is not a whole number from 0 to 4294967295; it is left out"},
    {failure_kind::link_has_problems, "the link's script has the problems above"},
    {failure_kind::listed_script_unreadable, "cannot read the script; left out of the rotation"},
    {failure_kind::listed_script_has_problems,
     "the script has the problems above; left out of the rotation"},
    {failure_kind::empty_folder, "the folder holds no *.txt script"},
    {failure_kind::no_sound_script, "none of the scripts can run"},
    {failure_kind::no_context, "cannot create an OpenGL context"},
    {failure_kind::modes_need_x11, "--root and --window-id need X11"},
    {failure_kind::output_needs_wayland, "--output needs Wayland"},
    {failure_kind::lock_background_needs_wayland, "--lock-background needs Wayland"},
    {failure_kind::saver_running, "a saver is already running on this display"},
    {failure_kind::no_x_display, "cannot open the X display (is DISPLAY set?)"},
    {failure_kind::no_glx, "the X server has no GLX extension"},
    {failure_kind::bad_window_variable, "XSCREENSAVER_WINDOW is not a window id"},
    {failure_kind::no_such_window, "no such window"},
    {failure_kind::visual_without_gl, "the window's visual cannot do OpenGL"},
    {failure_kind::no_config, "no OpenGL frame-buffer configuration for a window"},
    {failure_kind::cannot_make_current, "cannot draw into the window with OpenGL"},
    {failure_kind::cannot_create_window, "cannot create the window"},
    {failure_kind::x_request_failed, "an X request failed"},
    {failure_kind::x_connection_lost, "the connection to the X server was lost"},
    {failure_kind::no_fixed_font, "no \"fixed\" font on the X server; no -fps readout"},
    {failure_kind::no_wayland_display,
     "cannot connect to the Wayland compositor (is WAYLAND_DISPLAY set?)"},
    {failure_kind::bad_wayland_socket,
     "WAYLAND_SOCKET names no open socket (it is a screen locker's connection)"},
    {failure_kind::no_layer_shell,
     "the Wayland compositor has no layer shell (zwlr_layer_shell_v1); "
     "--saver and --lock-background need it"},
    {failure_kind::no_xdg_shell, "the Wayland compositor has no xdg_wm_base for windows"},
    {failure_kind::no_compositor, "the Wayland compositor offers no wl_compositor"},
    {failure_kind::no_egl, "cannot start EGL with desktop OpenGL on the Wayland display"},
    {failure_kind::cannot_create_surface, "cannot draw into a Wayland surface with OpenGL"},
    {failure_kind::no_such_output, "no such output"},
    {failure_kind::output_awaited, "no such output yet; drawing once it comes"},
    {failure_kind::wayland_connection_lost, "the connection to the Wayland compositor was lost"},
};
static_assert(table_covers(failure_texts, failure_kind::wayland_connection_lost),
              "every failure_kind has its text, in order");

}  // namespace

void report_failure(failure_kind kind, const char* detail) {
    const char* text = failure_texts[static_cast<std::size_t>(kind)].text;
    if (detail != nullptr) {
        std::fprintf(stderr, "lumenweave: %s: %s\n", text, detail);
    } else {
        std::fprintf(stderr, "lumenweave: %s\n", text);
    }
}

}  // namespace lumenweave::linux
