# A headless sway of its own for the scripts that run the Linux program on Wayland: sway refuses
# root, so it and every client run as an unprivileged user in a runtime folder of their own.
# Sourced; the caller runs as root, sets sway_dir (a folder the user can enter) and ends what it
# started with stop_sway.
. "$(dirname "${BASH_SOURCE[0]}")/wait.sh"

sway_user=lumenweave-saver
sway_pid=
sway_display=wayland-1

# sway_user_ready: the user exists (made if not) and $sway_dir/run is its runtime folder.
sway_user_ready() {
    id -u "$sway_user" >/dev/null 2>&1 ||
        useradd --no-create-home --shell /usr/sbin/nologin "$sway_user" || return 1
    chmod 755 "$sway_dir"
    mkdir -p -m 700 "$sway_dir/run" && chown "$sway_user" "$sway_dir/run"
}

# as_sway_user COMMAND...: COMMAND as the user in the compositor's session. Extra variables go
# in sway_env. In the background, run "${sway_prefix[@]}" COMMAND instead after calling
# sway_session: setpriv and env exec the command, so that $! is its own pid.
sway_env=()
sway_session() {
    sway_prefix=(setpriv --reuid="$sway_user" --regid="$sway_user" --clear-groups env -i
        PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$sway_dir/run" WAYLAND_DISPLAY="$sway_display"
        ${sway_socket:+SWAYSOCK="$sway_socket"} "${sway_env[@]}")
}
as_sway_user() {
    sway_session
    "${sway_prefix[@]}" "$@"
}

# start_sway CONFIG_TEXT: a headless sway (pixman renderer, no input devices) with one output
# (HEADLESS-1); waits up to 60 s until it answers, and says on standard error why it did not.
start_sway() {
    sway_user_ready || return 1
    printf '%s\n' "$1" >"$sway_dir/sway.conf"
    chmod 644 "$sway_dir/sway.conf"
    sway_socket=
    sway_session
    "${sway_prefix[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$sway_dir/sway.conf" >"$sway_dir/sway.log" 2>&1 &
    sway_pid=$!
    sway_socket=$sway_dir/run/sway-ipc.$(id -u "$sway_user").$sway_pid.sock
    within 60 sway_answers_or_ended
    sway_answers || {
        echo "sway did not start: $(tail -3 "$sway_dir/sway.log")" >&2
        return 1
    }
}
sway_answers() {
    [[ -S $sway_dir/run/$sway_display ]] && as_sway_user swaymsg -t get_outputs >/dev/null 2>&1
}
sway_answers_or_ended() { sway_answers || ! kill -0 "$sway_pid" 2>/dev/null; }

# sway_outputs: "NAME X Y WIDTH HEIGHT SCALE" of each output (compositor pixels), one a line.
sway_outputs() {
    as_sway_user swaymsg -t get_outputs -r |
        python3 -c 'import json, sys
for o in json.load(sys.stdin):
    r = o["rect"]
    print(o["name"], r["x"], r["y"], r["width"], r["height"], o["scale"])'
}

# add_sway_output: one more headless output; waits up to 60 s until sway lists it.
add_sway_output() {
    local count
    count=$(sway_outputs | wc -l)
    as_sway_user swaymsg create_output >/dev/null || return 1
    within 60 outputs_more_than "$count"
}
outputs_more_than() { (($(sway_outputs | wc -l) > $1)); }

stop_sway() {
    [[ -n $sway_pid ]] || return 0
    kill "$sway_pid" 2>/dev/null && timeout 10 tail --pid="$sway_pid" -f /dev/null
    sway_pid=
}
