// The stop signals of the Linux program: SIGTERM, SIGINT and SIGHUP end a run at once, on X11 and
// on Wayland alike, and a run that does not end promptly is ended all the same.
#pragma once

namespace lumenweave::linux {

// Blocks the stop signals in this thread and every later one and starts the thread that waits
// for them. Call it before any library starts a thread of its own.
void install_stop_signals();
// Whether a stop signal has come.
bool stop_requested();
// A descriptor that turns readable once a stop signal has come, for the session's wait.
int stop_fd();

}  // namespace lumenweave::linux
