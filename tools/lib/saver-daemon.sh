# The X11 screen-saver daemon (xscreensaver) as the daemon test and the power measurement run it:
# its settings for one display program, and whether it takes requests yet. Sourced.

# daemon_settings HOME COMMAND: the daemon's settings in HOME/.xscreensaver, running COMMAND (a
# GL program) alone, at once, with no lock, splash or fade.
daemon_settings() {
    printf '%s\n' 'mode: one' 'selected: 0' 'lock: False' 'splash: False' 'fade: False' \
        'unfade: False' "programs: GL: $2" >"$1/.xscreensaver"
}

# daemon_window_up: whether the daemon's window, which carries its version, is up on $DISPLAY:
# the daemon takes requests from then on.
daemon_window_up() {
    local window
    for window in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
        xprop -id "$window" _SCREENSAVER_VERSION 2>/dev/null | grep -q '"' && return 0
    done
    return 1
}
