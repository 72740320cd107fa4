# X displays for the end-to-end tests of any host and for the scripts that run the program: X
# servers on free display numbers, a window manager, windows found by title, keys, "does it draw".
# Source it; it starts nothing by itself. Every wait is bounded; failures say why and return 1.
. "$(dirname "${BASH_SOURCE[0]}")/wait.sh"

# What start_x_server and start_window_manager started, in order; stop_displays ends them.
display_pids=()

# start_x_server VARIABLE SERVER ARGS...: starts an X server on a free display number and stores
# ":N" in VARIABLE. Call it directly, not in $(...), so that the pid reaches display_pids.
start_x_server() {
    # Underscored, so that no caller's VARIABLE is hidden by a local of the same name.
    local _variable=$1 _fifo_dir _number=
    shift
    _fifo_dir=$(mktemp -d /tmp/lumenweave-display.XXXXXX)
    mkfifo "$_fifo_dir/fd"
    # -displayfd makes the server choose a free number and write it once it accepts clients, so
    # that concurrent test runs never collide. -noreset keeps it from resetting whenever its last
    # client leaves: a client connecting meanwhile is refused (27 of 300 connections, beside a
    # client that came and went, as a test's polling does), which ended a program or the screen-
    # saver daemon at its start now and then.
    "$@" -noreset -displayfd 3 3>"$_fifo_dir/fd" >/dev/null 2>&1 &
    display_pids+=($!)
    read -r -t 60 _number <"$_fifo_dir/fd" || true
    rm -rf "$_fifo_dir"
    if [[ -z $_number ]]; then
        echo "display: $1 did not start (waited up to 60 s)" >&2
        return 1
    fi
    printf -v "$_variable" ':%s' "$_number"
}

# window_manager_running DISPLAY: whether a window manager has taken DISPLAY.
window_manager_running() {
    DISPLAY=$1 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# start_window_manager DISPLAY: starts openbox on DISPLAY and waits until it manages the screen.
# Every desktop has a window manager, and Wine behaves as on Windows only with one: without it
# X focus and the window Wine considers active drift apart (after N opened a clone, focusing the
# master and pressing alt+F4 closed the clone), and Wine waits about 4 s for an answer whenever a
# window is hidden (the clone of display mode 3 lingered 4.1 s after F; 0.03 s with openbox).
start_window_manager() {
    # The system-wide configuration, so that a user's own openbox settings cannot change a test.
    DISPLAY=$1 openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml >/dev/null 2>&1 &
    display_pids+=($!)
    within 60 manager_or_ended "$1"
    window_manager_running "$1" || {
        echo "display: openbox did not take $1 within 60 s" >&2
        return 1
    }
}
manager_or_ended() { window_manager_running "$1" || ! kill -0 "${display_pids[-1]}" 2>/dev/null; }

# stop_displays: ends what start_x_server and start_window_manager started, newest first.
stop_displays() {
    local i
    for ((i = ${#display_pids[@]} - 1; i >= 0; i--)); do
        kill "${display_pids[i]}" 2>/dev/null && wait "${display_pids[i]}" 2>/dev/null
    done
    display_pids=()
    return 0
}

# find_window TITLE [SECONDS]: prints the X id of a visible window titled exactly TITLE on
# $DISPLAY, waiting up to SECONDS (60: it only bounds a program that never shows the window).
find_window() {
    local pattern id
    pattern=$(sed 's/[][()|.*+?^$\\{}]/\\&/g' <<<"$1")
    within "${2:-60}" window_titled "^$pattern\$" && echo "$id"
}
window_titled() { id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]]; }

# activate_window WINDOW: makes WINDOW the active one as a user would; without a window manager,
# where activation is impossible, gives it the X focus.
activate_window() {
    if window_manager_running "$DISPLAY"; then
        timeout 30 xdotool windowactivate --sync "$1" >/dev/null 2>&1
    else
        xdotool windowfocus "$1" 2>/dev/null
    fi
}

# has_focus WINDOW: whether the X focus is on WINDOW or on a window inside it.
has_focus() {
    local focus level
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 1
    for ((level = 0; level < 8; level++)); do
        [[ $focus =~ ^(0x)?[0-9a-f]+$ ]] && ((focus > 1)) || return 1
        ((focus == $1)) && return 0
        focus=$(xwininfo -id "$focus" -tree 2>/dev/null | awk '/Parent window id/ { print $4 }')
    done
    return 1
}

# send_keys WINDOW KEYS...: activates WINDOW and, once the X focus is on it, types KEYS (xdotool
# names) through XTEST. The server delivers them after the focus change, so the program sees that
# first. Fails, with a line on standard error, if the focus does not come within 10 s.
send_keys() {
    local window=$1
    shift
    activate_window "$window" || true
    within 10 has_focus "$window" || {
        echo "display: the focus did not reach window $window within 10 s (it is on" \
            "$(xdotool getwindowfocus 2>&1)); $* not sent" >&2
        return 1
    }
    xdotool key "$@"
}

# brightness WINDOW FILE: captures WINDOW to FILE and prints its mean brightness, 0 for black.
brightness() {
    import -window "$1" "$2" 2>/dev/null || { echo 0; return 0; }
    identify -format '%[fx:mean]' "$2"
}

# is_drawing WINDOW [SECONDS]: whether WINDOW shows a picture that is not black and changes:
# captures it until one capture differs from the one before, for up to SECONDS (20). Leaves the
# mean brightness of the last capture in picture_mean and the normalised RMS difference of the
# last two in picture_change, for messages. On a whole screen the figure can light less than a
# thousandth of it, so any brightness at all counts as a picture.
is_drawing() {
    local dir drawing=0
    dir=$(mktemp -d /tmp/lumenweave-drawing.XXXXXX)
    picture_mean=$(brightness "$1" "$dir/1.png") picture_change=
    within "${2:-20}" picture_changes "$1" "$dir" || drawing=1
    rm -rf "$dir"
    return $drawing
}
# picture_changes WINDOW DIR: captures WINDOW again into DIR/2.png; whether something is lit and
# the picture differs from the one before (DIR/1.png), which the new one replaces otherwise.
picture_changes() {
    local before=$picture_mean
    picture_mean=$(brightness "$1" "$2/2.png")
    picture_change=$(compare -metric RMSE "$2/1.png" "$2/2.png" null: 2>&1 |
        sed -n 's/.*(\(.*\)).*/\1/p')
    # A figure just started may be dark in the first capture and lit in the next.
    awk -v a="$before" -v b="$picture_mean" -v d="${picture_change:-0}" \
        'BEGIN { exit !((a > 0.0001 || b > 0.0001) && d > 0) }' && return 0
    mv "$2/2.png" "$2/1.png" 2>/dev/null
    return 1
}
