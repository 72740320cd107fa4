#!/usr/bin/env bash
# On battery the program draws at its battery rate: a stand-in UPower (python3-dbusmock's
# template) on a private system bus goes from mains to battery and back while the program runs,
# and the rate the test build's frame lines carry (their last field) follows it. Without a system
# bus the program runs as on mains.
source "$(dirname "$0")/lib.sh"

/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || { echo "SKIP: no python3-dbusmock"; exit 77; }
command -v dbus-daemon >/dev/null && command -v dbus-send >/dev/null ||
    { echo "SKIP: no dbus-daemon or dbus-send (dbus)"; exit 77; }

start_display

# No system bus, as in a container: mains, one line, and the program draws on.
DBUS_SYSTEM_BUS_ADDRESS=unix:path=$out/no-bus start "$test_program" --x11 --seed 7
await_line "without a system bus" '^power mains \(system bus'
after=$(log_length)
await_line "without a system bus, drawing" '^frame master .* 60$' "$after"
kill "$pid"
expect_exit 0 "without a system bus, a stop"

# The private bus, with the system bus's type and an allow-all policy.
cat >"$out/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$out/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
bus_pid=$(dbus-daemon --config-file="$out/bus.conf" --fork --print-pid) || fail "no private bus"
started+=("$bus_pid")
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$out/system_bus_socket
/usr/bin/python3 -m dbusmock --system --template upower >"$out/upower.log" 2>&1 &
started+=("$!")

# upower PROPERTIES-METHOD ARGS...: a call to the stand-in's properties.
upower() {
    timeout 10 dbus-send --system --print-reply --dest=org.freedesktop.UPower \
        /org/freedesktop/UPower "org.freedesktop.DBus.Properties.$1" \
        string:org.freedesktop.UPower string:OnBattery "${@:2}" >/dev/null 2>&1
}
upower_answers() { upower Get || { seen=$(tail -n 3 "$out/upower.log" | paste -sd'|'); false; }; }
await "the stand-in UPower answering" upower_answers

# expect_rate SUPPLY RATE WHAT: past the log's first $after lines, the line for SUPPLY and after
# it frames drawn at RATE.
expect_rate() {
    local at
    await_line "$3" "^power $1\$" "$after"
    at=$(tail -n +$((after + 1)) "$out/stdout" | grep -n -m1 "^power $1\$" | cut -d: -f1)
    await_line "$3" "^frame master .* $2\$" $((after + at))
    pass "$3: $2 frames a second"
}

start "$test_program" --x11 --seed 7
after=0
expect_rate mains 60 "on mains"
after=$(log_length)
upower Set variant:boolean:true || fail "the stand-in did not go on battery"
expect_rate battery 30 "on battery"
after=$(log_length)
upower Set variant:boolean:false || fail "the stand-in did not go back on mains"
expect_rate mains 60 "back on mains"

kill "$pid"
expect_exit 0 "a stop"

# --battery-frame-rate 0 on battery from the start: the picture shows and stands still, and a new
# size gets it drawn again at that size, the same engine frame.
upower Set variant:boolean:true || fail "the stand-in did not go on battery"
start "$test_program" --x11 --seed 7 --battery-frame-rate 0 --script "$square_script"
await_line "still on battery" '^power battery$'
master=$(find_window Lumenweave) || fail "no window titled Lumenweave"
expect_centred "$master" 640 480 "still on battery"
after=$(log_length)
timeout 10 xdotool windowsize --sync "$master" 400 300 || fail "the window could not be resized"
await_line "still on battery, resized" '^frame master .* 0$' "$after"
expect_centred "$master" 400 300 "still on battery, resized"
steps=$(awk "$frame_fields"'is_frame() && frame_role() == "master" && frame_rate() == 0 {
    print frame_step() }' "$out/stdout" | sort -u | paste -sd' ')
[[ $steps =~ ^[0-9]+$ ]] || fail "still on battery: engine frames $steps drawn, steps taken while still"
pass "still on battery: engine frame $steps drawn again, no step taken"
kill "$pid"
expect_exit 0 "still on battery, a stop"
expect_no_x_dump "battery"
