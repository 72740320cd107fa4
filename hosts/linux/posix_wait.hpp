// The one wait of the Linux session, for both hosts: over the display connection, the stop
// signals, the user's script and the power supply, until a deadline.
#pragma once

#include <cstdint>

#include "hosts/linux/session.hpp"

namespace lumenweave::linux_session {

// What ended a wait.
enum class wake_reason {
    deadline,      // the deadline passed with nothing to read
    display,       // the connection has something to read (or its end, which reading finds)
    display_lost,  // the connection broke with nothing left to read
    stop,          // a stop signal came
    paced,         // the frame rate changed meanwhile (set_frame_rate): the deadline is stale
};

// Waits until DEADLINE_NS on the monotonic clock (0: no deadline) for the first of: something to
// read on DISPLAY_FD, a stop signal, a change of the frame rate (as a change of power supply
// between mains and battery brings, which the wait follows). A script saved meanwhile runs (or is
// reported) without ending the wait. A deadline already past still looks at each once.
wake_reason wait_for(session_t& session, int display_fd, int64_t deadline_ns);

}  // namespace lumenweave::linux_session
