// The narrow interface between the Linux program's entry and its two display systems: each host
// library (hosts/x11/, hosts/wayland/) gives its part of a run on the session, and only the entry
// asks for them.
#pragma once

#include "hosts/linux/session.hpp"

namespace lumenweave::linux {

// The X11 host's part of a run on SESSION, which outlives it.
display_host& x11_host(session_t& session);
// The Wayland host's part of a run on SESSION, which outlives it.
display_host& wayland_host(session_t& session);

}  // namespace lumenweave::linux
