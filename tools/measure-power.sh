#!/usr/bin/env bash
# Measures what Lumenweave costs while it runs, the same way for every host: each mode runs for
# SECONDS after it has drawn its first frames, and one table row says the program's CPU time as
# a percentage of one core, the frames it drew a second (each surface), its CPU time per drawn
# frame, the compositor's CPU (Wayland) and its minor page faults a second. A measuring script:
# it prints figures and asserts nothing (docs/performance.md, "Power").
#   bash tools/measure-power.sh [SECONDS [MODE...]]     (20 s; every mode)
# MODE: x11-window x11-minimised x11-covered x11-saver x11-root wayland-saver wayland-saver-2
# wayland-window wayland-hidden page. Where the build has --frame-rate, each program mode runs at
# every rate in POWER_RATES ("60 30"); where it has --battery-frame-rate, x11-battery and
# wayland-battery run once, at the rate the program chooses, on a stand-in UPower
# (python3-dbusmock on a private system bus) that says the machine is on battery.
# Runs as root (sway and the screen-saver daemon run as an unprivileged user). Needs the native
# build (lumenweave-test) and, for the page, the site (bash tools/playground.sh build).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. "$root/tools/lib/display.sh"
. "$root/tools/lib/power.sh"
. "$root/tools/lib/headless-sway.sh"
. "$root/tools/lib/saver-daemon.sh"
seconds=${1:-20}
shift $(($# > 0 ? 1 : 0))
modes=("$@")
((${#modes[@]})) || modes=(x11-window x11-minimised x11-covered x11-saver x11-root x11-battery
    wayland-saver wayland-saver-2 wayland-window wayland-hidden wayland-battery page)
program=$root/build/native/hosts/linux/lumenweave-test
cover=$root/build/native/tests/x11/lumenweave-x11tool
[[ -x $program ]] || { echo "measure-power: no $program (cmake --build --preset native)" >&2; exit 1; }
((EUID == 0)) || { echo "measure-power: run it as root (sway and the daemon need a user)" >&2; exit 1; }
help=$("$program" --help 2>&1)
rates=(default)
grep -q -- --frame-rate <<<"$help" && read -r -a rates <<<"${POWER_RATES:-60 30}"
has_battery=0
grep -q -- --battery-frame-rate <<<"$help" && has_battery=1
# Frames a mode draws before it is measured: the start (shader compiling, first configure) left out.
settle=30

work=$(mktemp -d /tmp/lumenweave-power.XXXXXX)
sway_dir=$work
pid=
extra_pids=()
bus_pid=
cleanup() {
    local p
    for p in $pid "${extra_pids[@]}"; do
        kill "$p" 2>/dev/null && timeout 10 tail --pid="$p" -f /dev/null
    done
    stop_sway
    stop_displays
    [[ -z $bus_pid ]] || kill "$bus_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The program where the unprivileged user can run it, its logs where that user can write.
mkdir -m 755 "$work/bin"
mkdir -m 777 "$work/logs"
chmod 755 "$work"
install -m 755 "$program" "$work/bin/"
program=$work/bin/lumenweave-test

rate_args() { [[ $1 == default ]] || echo "--frame-rate $1"; }
rate_label() { [[ $1 == default ]] || echo ", --frame-rate $1"; }

end_program() {
    kill "$pid" 2>/dev/null && timeout 20 tail --pid="$pid" -f /dev/null
    pid=
}

# --- X11: one Xvfb of 1920 x 1080 with openbox, open to the daemon's user (-ac) ---
x11_up=0
x11_ready() {
    ((x11_up)) && return 0
    unset WAYLAND_DISPLAY
    start_x_server DISPLAY Xvfb -screen 0 1920x1080x24 -nolisten tcp -ac || return 1
    export DISPLAY
    start_window_manager "$DISPLAY" || return 1
    x11_up=1
}

# x11_run LABEL STATE ARGS...: the program on X11 with ARGS; STATE is how its window is put once
# it draws (shown, minimised, covered).
x11_run() {
    local label=$1 state=$2 log=$work/logs/x11.log window
    shift 2
    x11_ready || { echo "| $label | (no X display) | | | | |"; return 1; }
    "$program" --seed 1 "$@" >"$log" 2>"$work/stderr" &
    pid=$!
    await_log_frames "$log" "$pid" "$settle" 120 || {
        echo "| $label | (no frames: $(head -c 200 "$work/stderr")) | | | | |"
        end_program
        return 1
    }
    window=$(find_window Lumenweave 30)
    case $state in
    minimised) xdotool windowminimize --sync "$window" ;;
    covered)
        # A plain window over it, raised by the window manager; 100 px wider on every side, so
        # that the frames the window manager adds cannot leave a strip of it showing.
        coproc cover_fd { "$cover" 840 680; }
        extra_pids+=("$cover_fd_PID")
        local id
        read -r -t 30 id <&"${cover_fd[0]}"
        eval "$(xdotool getwindowgeometry --shell "$window")"
        xdotool windowmove --sync "$id" $((X - 100)) $((Y - 100)) windowactivate --sync "$id" \
            >/dev/null 2>&1
        ;;
    esac
    power_row "$label" "$log" "$seconds" "$pid"
    end_program
    if [[ $state == covered ]]; then
        kill "$cover_fd_PID" 2>/dev/null
        wait "$cover_fd_PID" 2>/dev/null
    fi
}

# daemon_started_program: asks the daemon to start the program, once a second at most, until it
# has.
daemon_started_program() {
    [[ -s $work/logs/root.pid ]] && return 0
    runuser -u "$sway_user" -- env DISPLAY="$DISPLAY" HOME="$work/home" \
        xscreensaver-command -activate >/dev/null 2>&1
    sleep 1
    [[ -s $work/logs/root.pid ]]
}

# x11_root LABEL ARGS...: the daemon (xscreensaver, run as the user) starts the program with --root
# in its own window on -activate.
x11_root() {
    local label=$1 log=$work/logs/root.log daemon
    shift
    x11_ready && sway_user_ready || { echo "| $label | (no X display) | | | | |"; return 1; }
    command -v xscreensaver >/dev/null || { echo "| $label | (no xscreensaver) | | | | |"; return 1; }
    mkdir -p -m 755 "$work/home"
    chown "$sway_user" "$work/home"
    # The daemon runs the command through the shell; the wrapper leaves the program's pid.
    cat >"$work/bin/root-saver" <<SH
#!/bin/sh
echo \$\$ >$work/logs/root.pid
exec $program --root $* >$log 2>$work/logs/root.err
SH
    chmod 755 "$work/bin/root-saver"
    daemon_settings "$work/home" "$work/bin/root-saver"
    rm -f "$work/logs/root.pid"
    runuser -u "$sway_user" -- env DISPLAY="$DISPLAY" HOME="$work/home" xscreensaver -no-splash \
        >"$work/daemon.log" 2>&1 &
    daemon=$!
    extra_pids+=("$daemon")
    # The daemon takes requests once its window, which carries its version, is up.
    within 120 daemon_window_up || {
        echo "| $label | (the daemon did not start: $(tail -c 300 "$work/daemon.log")) | | | | |"
        return 1
    }
    within 120 daemon_started_program ||
        { echo "| $label | (the daemon started no program) | | | | |"; return 1; }
    pid=$(<"$work/logs/root.pid")
    if await_log_frames "$log" "$pid" "$settle" 120; then
        power_row "$label" "$log" "$seconds" "$pid"
    else
        echo "| $label | (no frames: $(head -c 200 "$work/logs/root.err")) | | | | |"
    fi
    runuser -u "$sway_user" -- env DISPLAY="$DISPLAY" HOME="$work/home" xscreensaver-command -exit \
        >/dev/null 2>&1
    timeout 20 tail --pid="$daemon" -f /dev/null || kill "$daemon" 2>/dev/null
    [[ -z $pid ]] || timeout 20 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null
    pid=
}

# --- Wayland: a headless sway, outputs of 1920 x 1080 ---
# wayland_run LABEL OUTPUTS STATE ARGS...: the program in a fresh sway with OUTPUTS outputs; STATE
# shown, or hidden (its workspace left for an empty one).
wayland_run() {
    local label=$1 count=$2 state=$3 log=$work/logs/wayland.log i
    shift 3
    start_sway 'output * mode 1920x1080' || { echo "| $label | (no sway) | | | | |"; return 1; }
    for ((i = 1; i < count; i++)); do add_sway_output; done
    sway_session
    "${sway_prefix[@]}" "$program" --seed 1 "$@" >"$log" 2>"$work/stderr" &
    pid=$!
    if ! await_log_frames "$log" "$pid" "$settle" 120; then
        echo "| $label | (no frames: $(head -c 200 "$work/stderr")) | | | | |"
    else
        [[ $state != hidden ]] || as_sway_user swaymsg workspace 9 >/dev/null
        power_row "$label ($(sway_outputs | awk '{ print $4 "x" $5 }' | paste -sd+))" "$log" \
            "$seconds" "$pid" "$sway_pid"
    fi
    end_program
    stop_sway
}

# --- on battery: a stand-in UPower on a private system bus ---
# on_battery true|false: what the stand-in says, started at the first call.
on_battery() {
    battery_bus && gdbus call --system --dest org.freedesktop.UPower \
        --object-path /org/freedesktop/UPower --method org.freedesktop.DBus.Properties.Set \
        org.freedesktop.UPower OnBattery "<$1>" >/dev/null
}
battery_bus() {
    [[ -n $bus_pid ]] && return 0
    local dir=$work/bus
    mkdir -p -m 755 "$dir"
    cat >"$dir/bus.conf" <<XML
<busconfig><type>system</type><listen>unix:path=$dir/system_bus_socket</listen>
<auth>EXTERNAL</auth><policy context="default"><allow user="*"/><allow own="*"/>
<allow send_type="method_call"/><allow send_type="signal"/><allow receive_type="method_call"/>
<allow receive_type="signal"/><allow send_type="method_return"/><allow send_type="error"/>
<allow receive_type="method_return"/><allow receive_type="error"/></policy></busconfig>
XML
    bus_pid=$(dbus-daemon --config-file="$dir/bus.conf" --fork --print-pid) || return 1
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/system_bus_socket
    /usr/bin/python3 -m dbusmock --system --template upower >/dev/null 2>&1 &
    extra_pids+=($!)
    within 60 gdbus call --system --dest org.freedesktop.UPower --object-path /org/freedesktop/UPower \
        --method org.freedesktop.DBus.Properties.Get org.freedesktop.UPower OnBattery \
        >/dev/null 2>&1 || return 1
    chmod 777 "$dir/system_bus_socket"
    sway_env=(DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SYSTEM_BUS_ADDRESS")
}

echo "measure-power: $seconds s a mode; load average $(cut -d' ' -f1-3 /proc/loadavg); $(date -u '+%F %H:%M UTC')"
power_table_head
for mode in "${modes[@]}"; do
    for rate in "${rates[@]}"; do
        # shellcheck disable=SC2046
        case $mode in
        x11-window) x11_run "X11 window 640 × 480$(rate_label "$rate")" shown $(rate_args "$rate") ;;
        x11-minimised) x11_run "X11 window minimised$(rate_label "$rate")" minimised $(rate_args "$rate") ;;
        x11-covered)
            [[ -x $cover ]] || { echo "| X11 window covered | (no $cover) | | | | |"; continue; }
            x11_run "X11 window fully covered$(rate_label "$rate")" covered $(rate_args "$rate")
            ;;
        x11-saver) x11_run "X11 --saver 1920 × 1080$(rate_label "$rate")" shown --saver $(rate_args "$rate") ;;
        x11-root) x11_root "X11 --root in the daemon's window 1920 × 1080$(rate_label "$rate")" $(rate_args "$rate") ;;
        x11-battery)
            # Once, at the rate the program chooses on battery.
            ((has_battery)) && [[ $rate == "${rates[0]}" ]] || continue
            on_battery true || { echo "| X11 window on battery | (no stand-in UPower) | | | | |"; continue; }
            x11_run "X11 window 640 × 480 on battery" shown
            on_battery false
            ;;
        wayland-saver) wayland_run "Wayland --saver, one output$(rate_label "$rate")" 1 shown --saver $(rate_args "$rate") ;;
        wayland-saver-2) wayland_run "Wayland --saver, two outputs$(rate_label "$rate")" 2 shown --saver $(rate_args "$rate") ;;
        wayland-window) wayland_run "Wayland window$(rate_label "$rate")" 1 shown $(rate_args "$rate") ;;
        wayland-hidden) wayland_run "Wayland window on a workspace not shown$(rate_label "$rate")" 1 hidden $(rate_args "$rate") ;;
        wayland-battery)
            ((has_battery)) && [[ $rate == "${rates[0]}" ]] || continue
            on_battery true || { echo "| Wayland --saver on battery | (no stand-in UPower) | | | | |"; continue; }
            wayland_run "Wayland --saver, one output, on battery" 1 shown --saver
            on_battery false
            ;;
        page)
            [[ $rate == "${rates[0]}" ]] || continue
            node "$root/tools/lib/page-power.mjs" "$seconds"
            ;;
        *) echo "measure-power: no mode $mode" >&2 ;;
        esac
    done
done
