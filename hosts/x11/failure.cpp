// The Linux program's failure texts, in one table, and the one way they are reported.
#include "hosts/linux/report.hpp"
#include "hosts/x11/host.hpp"

namespace lumenweave_x11 {
namespace {

struct failure_text_t {
    failure_kind kind;
    const char* text;
};

constexpr failure_text_t failure_texts[] = {
    {failure_kind::no_display, "cannot open the X display (is DISPLAY set?)"},
    {failure_kind::no_glx, "the X server has no GLX extension"},
    {failure_kind::bad_window_variable, "XSCREENSAVER_WINDOW is not a window id"},
    {failure_kind::no_such_window, "no such window"},
    {failure_kind::visual_without_gl, "the window's visual cannot do OpenGL"},
    {failure_kind::no_config, "no OpenGL frame-buffer configuration for a window"},
    {failure_kind::no_context, "cannot create an OpenGL context"},
    {failure_kind::cannot_make_current, "cannot draw into the window with OpenGL"},
    {failure_kind::cannot_create_window, "cannot create the window"},
    {failure_kind::x_request_failed, "an X request failed"},
    {failure_kind::connection_lost, "the connection to the X server was lost"},
    {failure_kind::script_unreadable, "cannot read the script; running the built-in one"},
    {failure_kind::script_has_problems,
     "the script has the problems above; running the built-in one"},
    {failure_kind::script_unwatched,
     "cannot watch the script's folder; changes to the script are not picked up"},
    {failure_kind::changed_script_unreadable,
     "cannot read the changed script; the running one goes on"},
    {failure_kind::changed_script_has_problems,
     "the changed script has the problems above; the running one goes on"},
};

}  // namespace

void report_failure(failure_kind kind, const char* detail) {
    lumenweave_linux::report_from(failure_texts, kind, detail);
}

}  // namespace lumenweave_x11
