// Whether anything the Wayland host draws can be seen: the compositor stops asking for frames of a
// surface nobody sees (covered, on another workspace, on an output powered off), and the frame
// loop then rests, with no steps and no wake-ups of its own.
#include "hosts/linux/visibility.hpp"
#include "hosts/wayland/wl_host.hpp"

namespace lumenweave::wayland {
namespace {

// A run none of whose surfaces has been asked for a frame for this long counts as unseen and
// rests; frames come every 50 ms even from a slow compositor.
constexpr int64_t unasked_ns = 1'000'000'000;  // nanoseconds

}  // namespace

bool rest_unless_asked(host_t& host, bool asked) {
    const int64_t now = monotonic_ns();
    // Only once the compositor has asked again after the first frame: until it has first shown
    // the surfaces (configured, sized them) the wait is for that, not for a viewer.
    if (asked && host.session.engine_frame > 0) {
        host.asked_ns = now;
    }
    const bool unasked = !asked && host.asked_ns != 0 && now - host.asked_ns >= unasked_ns;
    if (linux::follow_sight(host.session, !unasked) && asked) {
        return false;
    }
    // Awaiting frame callbacks: until the second after which the surfaces count as unseen.
    const int64_t deadline = !unasked && host.asked_ns != 0 ? host.asked_ns + unasked_ns : 0;
    if (!wait_for_events(host, deadline, wait_end::first_events)) {
        end_on_lost_connection(host);
    }
    return true;
}

}  // namespace lumenweave::wayland
