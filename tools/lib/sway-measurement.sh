# The set-up the measuring scripts on Wayland share: a scratch folder, a headless sway of its own
# (headless-sway.sh) with one or two outputs, the program where sway's user can run it, and the
# end of all of it on exit. Sourced; the script then runs the program through sway_session.

# sway_measurement NAME PROGRAM OUTPUTS: checks that PROGRAM is built and the script runs as root,
# installs PROGRAM into $work/bin and starts sway with OUTPUTS (1 or 2) outputs. fail MESSAGE
# ends the script with "NAME: MESSAGE"; pid (the program's) and the pids in busy_pids are ended
# on exit, with sway.
sway_measurement() {
    measurement=$1
    [[ -x $2 ]] || fail "no $2 (cmake --build --preset native)"
    ((EUID == 0)) || fail "run it as root (sway needs a user of its own)"
    work=$(mktemp -d "/tmp/lumenweave-$1.XXXXXX")
    sway_dir=$work
    trap end_measurement EXIT
    trap 'exit 130' INT TERM
    mkdir -m 755 "$work/bin"
    install -m 755 "$2" "$work/bin/"
    start_sway '' || fail "no sway"
    (($3 < 2)) || add_sway_output || fail "no second output"
}
pid=
busy_pids=()
end_measurement() {
    [[ -z $pid ]] || kill "$pid" 2>/dev/null
    ((${#busy_pids[@]} == 0)) || kill "${busy_pids[@]}" 2>/dev/null
    stop_sway
    rm -rf "$work"
}
fail() {
    echo "$measurement: $*" >&2
    exit 1
}
. "$(dirname "${BASH_SOURCE[0]}")/headless-sway.sh"
