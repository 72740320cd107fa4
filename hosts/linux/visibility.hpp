// Whether anyone can see what the Linux program draws, decided from what the X server says of the
// windows and the monitors' power, and the session's rest while nobody can (on both display
// systems): no drawing, no steps of the animation, no wake-ups but the display server's.
#pragma once

#include <cstdint>
#include <vector>

namespace lumenweave::linux {

struct session_t;

// A monitor's power: the power levels of the X server's DPMS extension.
enum class monitor_power { on, standby, suspend, off };

// The power level of the X DPMS extension's DPMSInfo and DPMSInfoNotify (0 on, 1 standby,
// 2 suspend, 3 off). A level it does not name counts as on: drawing for nobody costs less than a
// blank screen someone is looking at.
monitor_power power_from_dpms_level(uint16_t level);

// What the X server says of its monitors' power, which holds for every window at once.
struct dpms_facts_t {
    bool extension = false;  // the server has the DPMS extension (Xvfb has not)
    bool enabled = false;    // DPMS is enabled; while disabled the monitors stay on
    monitor_power level = monitor_power::on;
};

// What the X server says of one window the program draws into.
struct sight_t {
    bool viewable = true;    // mapped, and so is everything it stands in
    bool minimised = false;  // iconic: WM_STATE or _NET_WM_STATE_HIDDEN
    bool covered = false;    // fully obscured by other windows (VisibilityNotify)
};

// Whether any of SURFACES can be seen on monitors in the DPMS state DPMS.
bool anything_visible(const std::vector<sight_t>& surfaces, const dpms_facts_t& dpms);

// The session's part: call once a frame with whether anything can be seen, before any step.
// When that changes to nothing, the test build logs "paused STEP"; when it changes back,
// "resumed STEP", and the step clock starts afresh, so that the animation goes on from the step it
// stood at, without catching up the time it rested. Returns SEEN.
bool follow_sight(session_t& session, bool seen);

}  // namespace lumenweave::linux
