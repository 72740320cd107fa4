// The narrow interface between the Linux program's entry and its two hosts: each host library
// (hosts/x11/, hosts/wayland/) defines its run function, and only the entry calls them.
#pragma once

#include "hosts/linux/options.hpp"

namespace lumenweave_linux {

// Runs the X11 host for OPTIONS (a drawing mode) until a stop; returns the exit code.
int run_x11_host(const options_t& options);
// Runs the Wayland host for OPTIONS (a drawing mode) until a stop; returns the exit code.
int run_wayland_host(const options_t& options);

}  // namespace lumenweave_linux
