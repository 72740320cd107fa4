#!/usr/bin/env bash
# The real screen-saver daemon (xscreensaver) runs lumenweave --root: on -activate the figure is
# on the screen, on -deactivate the program is gone within 2 seconds, cycle after cycle. The
# daemon runs display programs only for a user other than root, so the test makes one.
#   test_daemon.sh [PROGRAM]   (default: the build's lumenweave; the package test passes its own)
source "$(dirname "$0")/lib.sh"
command -v xscreensaver >/dev/null || { echo "SKIP: no xscreensaver"; exit 77; }
((EUID == 0)) || { echo "SKIP: needs root to make the daemon's user"; exit 77; }

user=lumenweave-saver
id -u "$user" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$user" ||
    fail "cannot make the user $user"
# The program where that user can read and run it; its path also tells its processes apart.
saver=$out/bin/lumenweave
mkdir -m 755 "$out/bin" "$out/home"
install -m 755 "${1:-$program}" "$saver"
chown "$user" "$out/home"
cat >"$out/home/.xscreensaver" <<CONF
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
programs: GL: $saver --root
CONF

XVFB_ARGS=-ac start_display
as_user() { timeout 20 runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$out/home" "$@"; }
daemon_exit() { as_user xscreensaver-command -exit >/dev/null 2>&1; }
runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$out/home" xscreensaver -no-splash \
    >"$out/daemon.log" 2>&1 &
started+=($!)
trap 'daemon_exit; cleanup' EXIT
deadline=$((SECONDS + 20))
until as_user xscreensaver-command -time >/dev/null 2>&1; do
    ((SECONDS < deadline)) || fail "the daemon did not start: $(<"$out/daemon.log")"
    sleep 0.5
done

saver_pids() { pgrep -u "$user" -f "^$saver " || true; }

for cycle in 1 2 3; do
    as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "cycle $cycle: -activate failed"
    deadline=$((SECONDS + 20))
    until [[ -n $(saver_pids) ]]; do
        ((SECONDS < deadline)) || fail "cycle $cycle: the daemon started no lumenweave"
        sleep 0.2
    done
    args=$(tr '\0' ' ' <"/proc/$(saver_pids | head -1)/cmdline")
    expect_drawing root "cycle $cycle: under the daemon ($args)"
    as_user xscreensaver-command -deactivate >/dev/null 2>&1 ||
        fail "cycle $cycle: -deactivate failed"
    deadline=$(($(date +%s%N) + 2000000000))
    while [[ -n $(saver_pids) ]]; do
        (($(date +%s%N) < deadline)) || fail "cycle $cycle: lumenweave still runs 2 s after -deactivate"
        sleep 0.05
    done
    pass "cycle $cycle: gone after -deactivate"
done
daemon_exit
[[ -z $(saver_pids) ]] || fail "a lumenweave process is left behind"
! grep -qE 'X Error|XIO' "$out/daemon.log" || fail "X errors: $(<"$out/daemon.log")"
pass "no lumenweave process left"
