#!/usr/bin/env bash
# The real screen-saver daemon (xscreensaver) runs lumenweave --root: on -activate the figure is
# on the screen, and once the daemon's helper signals the program it is gone within 2 seconds,
# cycle after cycle. The daemon runs display programs only for a user other than root, so the
# test makes one.
#   test_daemon.sh [PROGRAM]   (default: the build's lumenweave; the package test passes its own)
# LUMENWEAVE_DAEMON_CYCLES sets the number of cycles (3); the stress label runs hundreds.
#
# The daemon itself sometimes misses a request: after -deactivate it may log the request and
# never unblank, or its helper (xscreensaver-gfx) may signal the program seconds late. So the
# test waits for the daemon to report the screen non-blanked, sending -deactivate again when it
# does not, and times the program from the helper's "killing pid N" line, not from the request.
source "$(dirname "$0")/lib.sh"
. "$here/../../tools/lib/saver-daemon.sh"
command -v xscreensaver >/dev/null || { echo "SKIP: no xscreensaver"; exit 77; }
((EUID == 0)) || { echo "SKIP: needs root to make the daemon's user"; exit 77; }

cycles=${LUMENWEAVE_DAEMON_CYCLES:-3}
resend_after=3000000  # microseconds without the daemon's answer before a request is sent again
max_sends=5           # requests of one kind in one cycle before the daemon is given up on
exit_limit=2000000    # microseconds from the helper's signal to the program's end
helper_wait=10        # seconds from the daemon's unblanking to the helper's signal

user=lumenweave-saver
id -u "$user" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$user" ||
    fail "cannot make the user $user"
# The program where that user can read and run it; its path also tells its processes apart.
saver=$out/bin/lumenweave
mkdir -m 755 "$out/bin" "$out/home"
install -m 755 "${1:-$program}" "$saver"
chown "$user" "$out/home"
daemon_settings "$out/home" "$saver --root"

XVFB_ARGS=-ac start_display
as_user() { timeout 20 runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$out/home" "$@"; }
daemon_exit() { as_user xscreensaver-command -exit >/dev/null 2>&1; }
# Wall-clock times are whole microseconds since the epoch, so that shell arithmetic takes them.
now() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((10#$t))
}
seconds() { awk -v d="$1" 'BEGIN { printf "%.3f", d / 1e6 }'; }

# The daemon's verbose log, each line stamped with the wall-clock time it arrived: its own lines
# carry whole seconds only. The program's standard error lands here too.
log=$out/daemon.log
mkfifo "$out/daemon.fifo"
while IFS= read -r line; do printf '%s %s\n' "${EPOCHREALTIME//[.,]/}" "$line"; done \
    <"$out/daemon.fifo" >"$log" 2>/dev/null &
reader=$!
started+=("$reader")
runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$out/home" xscreensaver -no-splash -verbose \
    >"$out/daemon.fifo" 2>&1 &
daemon=$!
started+=("$daemon")
trap 'daemon_exit; cleanup' EXIT

# The test asks nothing of the daemon until its window, which carries its version, is up, looked
# up in the X server. On a loaded machine the start can take long; a daemon that ended is told at
# once. (A daemon that ended at start with status 1 and nothing in its log, 3 starts in 65
# here, was refused its connection by an X server resetting as the test's last client left:
# start_x_server's -noreset.)
# The daemon's last words reach the log once the reader has drained the pipe.
daemon_ended() {
    wait "$daemon"
    local status=$? server=running
    timeout 2 tail --pid="$reader" -f /dev/null
    kill -0 "$xvfb_pid" 2>/dev/null || server=gone
    fail "the daemon ended at start with status $status (X server $server): $(<"$log")"
}
daemon_answers() {
    daemon_window_up && as_user xscreensaver-command -time >/dev/null 2>&1 && return 0
    kill -0 "$daemon" 2>/dev/null || daemon_ended
    seen=$(tail -n 3 "$log" | paste -sd'|')
    return 1
}
await "the daemon answering" daemon_answers

# The stamp of the first log line matching the extended regular expression, if any.
log_stamp() { grep -E -m1 "$1" "$log" | cut -d' ' -f1; }

# request COMMAND DONE WHAT: sends xscreensaver-command COMMAND until the shell condition DONE
# holds, again after 3 s without it (resend_after) or when the command itself fails, at most
# max_sends times. Sets sends.
request() {
    local command=$1 done=$2 what=$3 sent= reply status
    sends=0
    until eval "$done"; do
        if [[ -z $sent ]] || (($(now) > sent + resend_after)); then
            ((sends < max_sends)) || fail "cycle $cycle: the daemon did not $what after" \
                "$sends $command: $(tail -n 25 "$log")"
            ((sends == 0)) || echo "note: cycle $cycle: $command sent again"
            reply=$(as_user xscreensaver-command "$command" 2>&1)
            status=$?
            sent=$(now)
            ((++sends))
            # Sent again at once, and told, since this is not the daemon ignoring a request.
            if ((status != 0)); then
                echo "note: cycle $cycle: $command ended with $status: $reply"
                sent=0
            fi
        fi
        sleep 0.1
    done
}

# The pid of the newest program the helper started in this cycle, if any.
forks() { grep -F "forked \"$saver --root\" in pid" "$log"; }
forked_pid() {
    saver_pid=$(forks | tail -n +$((forks_before + 1)) | sed -n '$s/.* in pid \([0-9]*\).*/\1/p')
    [[ -n $saver_pid ]]
}
non_blanked() { as_user xscreensaver-command -time 2>/dev/null | grep -q 'non-blanked'; }
running() { [[ -e /proc/$1 ]] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null; }
has_ended() { ! running "$1"; }
# is_saver PID: whether PID runs the program yet (the helper logs its fork; the exec may come a
# moment later); leaves its command line in args.
is_saver() {
    args=$(tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline") && [[ $args == *"$saver "* ]] && return 0
    seen=$(tail -n 3 "$log" | paste -sd'|')
    running "$1" || fail "pid $1 ended without running lumenweave; the daemon's log ends: $seen"
}
# signalled_or_ended PID: whether the daemon's helper has signalled PID (its log line's stamp in
# killed), or PID has ended.
signalled_or_ended() { killed=$(log_stamp "$signal_line") && [[ -n $killed ]] || ! running "$1"; }

# CPU time and time spent waiting for a CPU of the program's main thread, and the time the
# machine's virtual CPUs were held back by its host (steal), in seconds.
cpu_times() {
    awk '{ printf "on a CPU %.3f s, waiting for one %.3f s", $1 / 1e9, $2 / 1e9 }' \
        "/proc/$1/task/$1/schedstat" 2>/dev/null
    awk '/^cpu / { printf ", host steal %.2f s over all CPUs", $9 / 100 }' /proc/stat
}
# The time the program's main thread has waited for a CPU so far, in microseconds; fails once
# the program is gone.
cpu_wait() {
    local run wait rest
    read -r run wait rest <"/proc/$1/task/$1/schedstat" 2>/dev/null || return 1
    echo $((wait / 1000))
}
# Samples the main thread's scheduling state (R running, S sleeping, D blocked) into states.
sample_state() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/task/$1/stat" 2>/dev/null) || return 0
    [[ $state != D ]] || state="D($(<"/proc/$1/task/$1/wchan"))"
    states+=("$state")
}

# What the program was doing when it should have ended: its signal masks, each thread's state,
# scheduling and kernel stack, and every thread's user stack through gdb, taken while it is
# stopped; then whether it ends at all once it goes on.
stuck_report() {
    local task
    kill -STOP "$1"
    echo "--- /proc/$1/status (stopped for this report)"
    grep -E '^(Name|State|PPid|Threads|SigQ|SigPnd|ShdPnd|SigBlk|SigIgn|SigCgt):' "/proc/$1/status"
    echo "main thread at $signaller: $cpu_at_signal; now: $(cpu_times "$1")"
    echo "main thread's states seen since the signal: $(printf '%s\n' "${states[@]}" | sort |
        uniq -c | awk '{ printf "%s %s, ", $2, $1 }')"
    for task in /proc/"$1"/task/*; do
        echo "--- thread ${task##*/} ($(<"$task/comm")), wchan $(<"$task/wchan")," \
            "schedstat $(<"$task/schedstat")"
        grep -E '^(State|SigPnd|SigBlk):' "$task/status"
        cat "$task/stack" 2>/dev/null
    done
    echo "--- stacks"
    timeout 60 gdb -batch -nx -p "$1" -ex 'thread apply all bt' 2>&1 |
        grep -vE '^\[(New|Thread debugging)|^Using host libthread_db'
    echo "--- the daemon's log"
    tail -n 25 "$log"
    kill -CONT "$1"
    if within 20 has_ended "$1"; then
        echo "--- ended $(seconds $(($(now) - killed))) s after $signaller"
    else
        echo "--- still running 20 s later; killed"
        kill -KILL "$1"
    fi
}

# The helper did not signal the program within helper_wait seconds of the daemon's unblanking:
# says what the helper was doing, ends it, and sends the program the helper's SIGTERM; sets killed.
helper_missed() {
    local helper
    helper=$(sed -n 's/.* pid \([0-9]*\): killing xscreensaver-gfx$/\1/p' "$log" | tail -n 1)
    echo "note: cycle $cycle: the daemon unblanked, but its helper (pid ${helper:-unknown}) did" \
        "not signal lumenweave within $helper_wait s; the test sends SIGTERM instead"
    if [[ -n $helper && -e /proc/$helper ]]; then
        grep -E '^(State|SigPnd|ShdPnd|SigBlk|SigCgt):' "/proc/$helper/status" | tr '\n' ' '
        echo "wchan $(<"/proc/$helper/wchan")"
        timeout 60 gdb -batch -nx -p "$helper" -ex 'thread apply all bt' 2>&1 | grep -E '^#'
        kill -KILL "$helper"
    fi
    kill -TERM "$1"
    killed=$(now)
    ((++helper_misses))
    tail -n 8 "$log"
}

activate_sends=0 deactivate_sends=0 helper_misses=0 helper_delays=() exit_delays=() cpu_waits=()
misses=()  # the cycles whose program did not end in time; the test fails after the last cycle
for ((cycle = 1; cycle <= cycles; cycle++)); do
    forks_before=$(forks | wc -l)
    request -activate forked_pid "start lumenweave"
    ((activate_sends += sends - 1))
    # The helper logs the fork; the exec may come a moment later.
    await "cycle $cycle: pid $saver_pid becoming lumenweave" is_saver "$saver_pid"
    expect_drawing root "cycle $cycle: under the daemon (${args% })"

    request -deactivate non_blanked "report the screen non-blanked"
    ((deactivate_sends += sends - 1))
    # The helper's signal may come seconds after the daemon unblanked, or never: then the test
    # signals the program itself, as the helper should have, and still times it.
    signaller="the helper's signal"
    signal_line="killing pid $saver_pid \\("
    if ! within "$helper_wait" signalled_or_ended "$saver_pid"; then
        helper_missed "$saver_pid"
        signaller="the test's signal"
    fi
    [[ -n $killed ]] || killed=$(log_stamp "$signal_line")
    if [[ -z $killed ]]; then
        pass "cycle $cycle: ended before the helper's signal ($sends -deactivate)"
        continue
    fi
    unblanked=$(grep -E '^[0-9]+ xscreensaver: .*: unblanking$' "$log" |
        awk -v k="$killed" '$1 <= k { s = $1 } END { print s }')
    helper_delay=$(seconds $((killed - ${unblanked:-$killed})))
    [[ $signaller == "the test's signal" ]] || helper_delays+=("$helper_delay")
    cpu_at_signal=$(cpu_times "$saver_pid")

    # The time the program's main thread waits for a CPU is the machine's load, not the program:
    # on a busy machine it can reach seconds, so it does not count towards the limit.
    waited_at_signal=$(cpu_wait "$saver_pid") waited=0 states=()
    while running "$saver_pid"; do
        sample_state "$saver_pid"
        if wait_now=$(cpu_wait "$saver_pid"); then
            waited=$((wait_now - waited_at_signal))
        fi
        if (($(now) - killed - waited > exit_limit)); then
            misses+=("cycle $cycle: lumenweave (pid $saver_pid) still ran $(seconds $exit_limit) s\
 after $signaller, not counting $(seconds $waited) s it waited for a CPU")
            echo "FAIL: ${misses[-1]}"
            stuck_report "$saver_pid"
            continue 2
        fi
        sleep 0.02
    done
    # An upper bound: the program may have ended before this loop first looked.
    exit_delays+=("$(seconds $(($(now) - killed)))")
    cpu_waits+=("$(seconds $waited)")
    pass "cycle $cycle: gone within ${exit_delays[-1]} s of $signaller (${cpu_waits[-1]} s" \
        "waiting for a CPU), which came $helper_delay s after the daemon unblanked" \
        "($sends -deactivate)"
done

daemon_exit
[[ -z $(pgrep -u "$user" -f "^$saver " || true) ]] || fail "a lumenweave process is left behind"
! grep -qE 'X Error|XIO' "$log" || fail "X errors: $(<"$log")"
pass "no lumenweave process left"

# Summary: how often the daemon needed a request again, and how late its helper was.
spread() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    printf "min %.3f, median %.3f, 95th %.3f, max %.3f s", v[1], v[int((NR + 1) / 2)],
        v[int(NR * 0.95 + 0.999)], v[NR] }'; }
echo "daemon: $cycles cycles; -activate sent again $activate_sends times, -deactivate" \
    "$deactivate_sends times; the helper never signalled the program $helper_misses times"
echo "daemon: helper's signal after unblanking: $(spread "${helper_delays[@]}")"
echo "daemon: program gone within (after the signal): $(spread "${exit_delays[@]}")"
echo "daemon: of which its main thread waited for a CPU: $(spread "${cpu_waits[@]}")"
((${#misses[@]} == 0)) || fail "${#misses[@]} of $cycles cycles: the program did not end in time:" \
    "$(printf '\n  %s' "${misses[@]}")"
