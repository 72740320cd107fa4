# What a process costs over a stretch of time, for tools/measure-power.sh: CPU time and minor
# page faults from the kernel's accounting, frames from the test build's log. Sourced.
. "$(dirname "${BASH_SOURCE[0]}")/test-log.sh"

# proc_counters PID: "TICKS MINFLT" of the process (all its threads): user plus system CPU time in
# clock ticks and minor page faults, from /proc/PID/stat; nothing if it has gone.
proc_counters() {
    local stat fields
    stat=$(<"/proc/$1/stat") 2>/dev/null || return 1
    read -r -a fields <<<"${stat##*) }"
    # After the command name: minflt is the 10th field of the line, utime the 14th, stime the 15th.
    echo "$((fields[11] + fields[12])) ${fields[7]}"
}

# frame_counts LOG: one line per surface of the test build's frame log, "ROLE WHERE FRAMES".
frame_counts() {
    awk "$frame_fields"'is_frame() { n[frame_role() " " frame_where()]++ }
        END { for (s in n) print s, n[s] }' "$1" | sort
}

# await_log_frames LOG PID N SECONDS: until LOG holds N frame lines; false after SECONDS or once
# PID has ended.
await_log_frames() { log=$1 pid=$2 wait_frames "$3" "$4" any; }

# power_row LABEL LOG SECONDS PID [COMPOSITOR_PID]: measures PID for SECONDS and prints one row of
# the table: CPU % of one core, frames drawn a second on each surface, CPU ms per drawn frame
# (all surfaces), the compositor's CPU % and minor page faults a second. LOG is the program's
# frame log ("-" when frames are counted elsewhere).
power_row() {
    local label=$1 log=$2 seconds=$3 pid=$4 compositor=${5:-} a b ca= cb= f0= f1= t0 t1
    a=$(proc_counters "$pid") || { echo "| $label | (the program had ended) | | | | |"; return 1; }
    [[ -z $compositor ]] || ca=$(proc_counters "$compositor")
    [[ $log == - ]] || f0=$(frame_counts "$log")
    t0=$EPOCHREALTIME
    sleep "$seconds"
    b=$(proc_counters "$pid") || { echo "| $label | (the program ended while measured) | | | | |"; return 1; }
    [[ -z $compositor ]] || cb=$(proc_counters "$compositor")
    [[ $log == - ]] || f1=$(frame_counts "$log")
    t1=$EPOCHREALTIME
    python3 - "$label" "$(getconf CLK_TCK)" "$t0" "$t1" "$a" "$b" "$ca" "$cb" "$f0" "$f1" <<'PY'
import sys
label, tck, t0, t1, a, b, ca, cb, f0, f1 = sys.argv[1:]
tck, wall = int(tck), float(t1) - float(t0)
(ta, ma), (tb, mb) = (map(int, s.split()) for s in (a, b))
cpu = (tb - ta) / tck
def counts(text):
    return {" ".join(l.split()[:2]): int(l.split()[2]) for l in text.splitlines() if l.strip()}
before, after = counts(f0), counts(f1)
# Surfaces that drew in the stretch (a window's first surface may be renamed once it is placed).
per_surface = [n for n in (after[s] - before.get(s, 0) for s in sorted(after)) if n > 0]
drawn = sum(per_surface)
fps = " + ".join(f"{n / wall:.1f}" for n in per_surface) if per_surface else "0"
per_frame = f"{cpu / drawn * 1000:.2f}" if drawn else "—"
comp = ""
if ca and cb:
    comp = f"{(int(cb.split()[0]) - int(ca.split()[0])) / tck / wall * 100:.1f}"
print(f"| {label} | {cpu / wall * 100:.1f} | {fps} | {per_frame} | {comp} | {(mb - ma) / wall:.0f} |")
PY
}

# The table's head, which power_row's rows follow.
power_table_head() {
    echo "| mode | CPU, % of one core | frames/s (each surface) | ms CPU a frame | compositor CPU % | minor faults/s |"
    echo "|---|---|---|---|---|---|"
}
