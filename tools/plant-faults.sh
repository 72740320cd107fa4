#!/usr/bin/env bash
# Measures how many one-line faults the fast tests catch: plants each fault of the table below
# into the Linux program, the script checker, the frame driver, the browser playground and the
# Windows program, one at a time, rebuilds what the tests need, runs them, puts the file back and
# prints caught/planted. For developers only.
#   bash tools/plant-faults.sh [GROUP|NUMBER...]   (groups: logic x11 script frame web wayland
#   wine; default all)
# Needs the native build (cmake --preset native), and for wine the windows one. It rewrites files
# of this tree while it runs and restores them on any exit, so do not edit or build in this tree
# meanwhile.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/native
if [[ -n ${CI:-} ]]; then
    echo "plant-faults: not in CI: it rewrites sources while it runs" >&2
    exit 2
fi
[[ -d $build ]] || { echo "plant-faults: no $build (cmake --preset native)" >&2; exit 1; }

# group | file | text as it is | text with the fault | what the fault is. Texts match exactly
# once; \n stands for a line feed.
faults=(
    'logic|hosts/linux/options.cpp|0x1fffffffULL|0x20000000ULL|a window id of 30 bits is taken'
    'logic|hosts/linux/options.cpp| \|\| is_flag(argument, "h")||-h is no longer help'
    'logic|hosts/linux/options.cpp|    {"delay", [](const char*, options_t\&) { return true; }, argument_fault::none},\n||-delay takes no value'
    'logic|hosts/linux/options.cpp|value * scale < min_every \|\||false \|\||--every 0 taken'
    'logic|hosts/linux/rotation.cpp|order[0] == *last|order[1] == *last|a shuffled round may start with the script just shown'
    'logic|share_link/share_link.cpp|result == Z_STREAM_END \&\& stream.avail_in == 0|result == Z_STREAM_END|bytes past a link'"'"'s compressed text taken'
    'logic|hosts/linux/session.cpp|session.engine_frame >= turn|session.engine_frame > turn|a turn of the rotation a step too long'
    'x11|hosts/linux/stop_signals.cpp|    sigaddset(\&set, SIGHUP);\n||SIGHUP left to its default action'
    'x11|hosts/linux/stop_signals.cpp|    sigaddset(\&set, SIGINT);\n||SIGINT left to its default action'
    'x11|hosts/x11/x11_daemon_window.cpp|surface.height = static_cast<uint32_t>(event.xconfigure.height)|surface.height = static_cast<uint32_t>(event.xconfigure.width)|saver: the width read for the height on a resize'
    'x11|hosts/x11/x11_window.cpp|surface->height = static_cast<uint32_t>(event.xconfigure.height)|surface->height = static_cast<uint32_t>(event.xconfigure.width)|window: the width read for the height on a resize'
    'x11|hosts/x11/x11_window.cpp|        case XK_q:\n||Q no longer closes'
    'x11|hosts/x11/x11_window.cpp|        case XK_Escape:\n||Escape no longer closes'
    'x11|hosts/x11/x11_frame_loop.cpp|            if (surface.master \&\& !held) {\n                linux::draw_next_frame(session, steps, surface.width, surface.height);\n            } else {\n                linux::draw_last_frame(session, surface.width, surface.height);\n            }\n            if (surface.master) {\n                draw_fps_readout(readout, session.fps, surface.width, surface.height);\n            }|            if (surface.master) {\n                draw_fps_readout(readout, session.fps, surface.width, surface.height);\n            }\n            if (surface.master \&\& !held) {\n                linux::draw_next_frame(session, steps, surface.width, surface.height);\n            } else {\n                linux::draw_last_frame(session, surface.width, surface.height);\n            }|the readout drawn before the frame'
    'x11|hosts/x11/x11_frame_loop.cpp|                linux::draw_last_frame(session, surface.width, surface.height);|                linux::draw_next_frame(session, 1, surface.width, surface.height);|clones draw frames of their own'
    'x11|hosts/linux/script.cpp|    return !hasErrors(problems);|    return !hasErrors(problems) \|\| problems.size() == 1;|a script with one problem runs'
    "x11|hosts/x11/x11_daemon_window.cpp| \\|\\| variable[0] == '\\0'||an empty XSCREENSAVER_WINDOW taken for a window id"
    'x11|packaging/linux/lumenweave.xml|arg-set="--fps"|arg-set="--show-fps"|the daemon settings pass --show-fps, which the program refuses'
    'x11|packaging/linux/lumenweave.xml|arg="--seed %"|arg="--seed=%"|the daemon settings pass --seed=N, which the program refuses'
    'x11|frame/saver_input.cpp|    } else {\n        place_pointer(watch, x, y);\n    }|    }|savers measure moves from the first instead of following the small ones'
    'x11|frame/saver_input.cpp|    if (distance > saver_move_allowance) {|    if (distance > saver_move_allowance + 1) {|savers survive a 5 px move'
    'x11|hosts/x11/x11_saver_windows.cpp|            case KeyPress:\n||a key no longer ends --saver'
    'x11|hosts/linux/stop_signals.cpp|    _exit(0);|    return nullptr;|a stop during a long frame waits for the frame to end'
    'x11|hosts/linux/session.cpp|    replay::setupView(width, height);\n    replay::renderFrame|    replay::setupView(width, width);\n    replay::renderFrame|the width passed for the height to the view'
    'x11|hosts/x11/x11_fps_readout.cpp|static_cast<GLint>(height) - baseline_from_top|static_cast<GLint>(width) - baseline_from_top|the readout placed by the width'
    'x11|hosts/x11/x11_fps_readout.cpp|left_margin + start * readout.advance|left_margin + start * (readout.advance - 1)|the readout one pixel narrow a glyph'
    'x11|hosts/linux/script_watch.cpp|IN_CLOSE_WRITE \| IN_MOVED_TO|IN_CLOSE_WRITE|a script renamed into place is not read'
    'x11|hosts/linux/script.cpp|        initEngineWithScript(session.engine, session.seed, script->c_str());\n    }\n}\n|    }\n}\n|a changed script is checked but not run'
    'x11|hosts/linux/options.cpp|argument_fault::bad_window_id},|argument_fault::missing_value},|a malformed window id called missing'
    'script|script/check.cpp|index >= 0 \&\& index < engine::bankSize|index >= 0 \&\& index <= engine::bankSize|actuator 1024 reaches a slot'
    'script|script/check.cpp|        case codeActreset:\n||actreset: no longer checked for its actuator'
    'script|script/check.cpp|c.value < 0.0f \|\| c.value > 1.0f|c.value < 0.0f \|\| c.value >= 1.0f|variance 1 refused'
    'script|script/check.cpp|            if (c.value < 1.0f) {|            if (c.value <= 1.0f) {|duration 1 reported'
    'script|script/check.cpp|            if (c.value < 0.0f) {|            if (c.value <= 0.0f) {|randdelay 0 reported'
    'script|script/check.cpp| \|\| type == codeSeqkill \|\|| \|\||seqkill: asks for an actuator number'
    'script|script/check.cpp|c.type == codeSeqdo \|\| c.type == codeSeqstop \|\| c.type == codeSeqkill;|c.type == codeSeqdo \|\| c.type == codeSeqkill;|seqstop: of a missing sequence passes'
    'script|script/check.cpp|p = words.restBegin + kept;|p = words.restBegin + kept + 1;|the first character lost to the cut not looked at'
    'script|script/check.cpp|s.loopLength + longestDelayBefore(delays, s, i) <= 0.0f|s.loopLength + longestDelayBefore(delays, s, i) < 0.0f|a loop of no time passes'
    'script|script/check.cpp|c.frame + longestDelayBefore(delays, s, i) < 0.5f|c.frame + longestDelayBefore(delays, s, i) <= 0.5f|a restart half a frame on reported'
    'script|script/check.cpp|(n == kn \|\| n + 1 == kn)|(n == kn)|no suggestion for a keyword without its colon'
    'script|script/check.cpp|ch >= 0x20 \&\& ch < 0x7f|ch >= 0x20 \&\& ch <= 0x7f|DEL quoted as it is'
    'script|script/check.cpp|out.size() < quotedLength|out.size() <= quotedLength|41 characters quoted'
    'script|script/syntax.cpp|    {"actstopall:", codeActstopall, Args::none},\n||actstopall: dropped from the keywords'
    'script|script/syntax.cpp|        cursor.relFrame += v;\n        cursor.parseFrame = cursor.absFrame + cursor.relFrame;|        cursor.parseFrame = cursor.absFrame + cursor.relFrame;\n        cursor.relFrame += v;|the time stamped before the step'
    'script|script/syntax.cpp|        cursor.absFrame = v;\n        cursor.relFrame = 0.0f;|        cursor.absFrame = v;|absframe: keeps the relative time'
    'frame|frame/frame.cpp|st.slotFraction + valueOf(bank, engine::paceIndex) >= 1.0f|st.slotFraction + valueOf(bank, engine::paceIndex) > 1.0f|the ring waits a frame at pace 1'
    'frame|frame/frame.cpp|    if (hue >= 1.0f) {|    if (hue > 1.0f) {|hue 1 kept'
    'frame|frame/frame.cpp|    advanceAndSample(engine);\n    figure::drawFigure(engine.history, engine.historyState, list);|    figure::drawFigure(engine.history, engine.historyState, list);\n    advanceAndSample(engine);|the figure drawn before the step'
    'frame|frame/pacing.cpp|next > t0 \&\&|next >= t0 \&\&|a deadline that has come is kept'
    'frame|frame/pacing.cpp|    const int64_t due = ahead / period + 1;|    const int64_t due = ahead / period;|a step that has come is not taken'
    'frame|frame/frame.cpp|valueOf(bank, engine::outlineIndex) > 0.0f|valueOf(bank, engine::outlineIndex) >= 0.0f|outline 0 drawn'
    'frame|frame/frame.cpp|        sequencerPass(engine.sequencer, engine.bank, engine.randomState);\n        startMotions(engine.bank, engine.randomState);|        startMotions(engine.bank, engine.randomState);\n        sequencerPass(engine.sequencer, engine.bank, engine.randomState);|motions start before the script runs'
    'frame|frame/frame.cpp|    engine.sequencer.currentFrame = 0.0f;\n||a second start keeps the clock'
    "web|web/src/shared/share.ts|text.replace(/-/g, '+').replace(/_/g, '/')|text.replace(/-/g, '/').replace(/_/g, '+')|a shared link's - and _ swapped in decoding"
    'web|web/src/playground/main.ts|settings.seed ?? randomSeed()|randomSeed()|the seed in the address ignored'
    'web|web/src/playground/problems.ts|        fill(list, now, update.view);|        fill(list, [], update.view);|the problems list not shown'
    'web|web/src/playground/saver.ts|        leave();\n        swallowing = true;|        swallowing = true;|full screen not left on a key'
    'web|web/src/shared/loop.ts|running.paused \|\| running.seekingTo|running.seekingTo|Pause does not stop the figure'
    'web|web/src/shared/loop.ts|        if (running.frame < frame) {\n          step();\n        }|        step();\n        step();|an addressed frame shown one late'
    'web|web/src/windows-saver.ts|bytes.length > capacity|bytes.length > capacity + 1|a script one byte longer than the saver'"'"'s space placed'
    'web|web/src/wallpaper/loop.ts|    if (!drawDue(gate, now)) {|    if (!drawDue(gate, now) \&\& false) {|the wallpaper ignores the frame-rate limit'
    'web|web/src/wallpaper/loop.ts|        cancelAnimationFrame(request);\n        request = null;|        request = null;|the paused wallpaper goes on asking for animation frames'
    'web|web/src/wallpaper/loop.ts|    lastNow = null;\n    gate.next = null;\n    pace.deadline = null;|    gate.next = null;|the resumed wallpaper makes up the paused time'
    'web|web/src/wallpaper/host-settings.ts|return examples[value - (carried ? 1 : 0)]?.[0];|return examples[value - (carried ? 0 : 1)]?.[0];|Lively'"'"'s example index read from 1'
    'web|web/src/wallpaper/main.ts| ?? clean(carried?.text) ?? | ?? |the wallpaper zip'"'"'s own script ignored'
    'web|web/src/shared/rotation.ts|      return (current + 1) % count;|      return current;|a rotation that never goes on to the next script'
    "web|web/tools/serve.py|ancestors = \"*\" if path in FRAMED_ANYWHERE else \"'none'\"|ancestors = \"*\"|the playground may be framed by any site"
    'web|web/src/shared/service-worker.ts|{ ignoreSearch: true }|{}|offline, a page with settings in its address is not found'
    "web|web/src/embed/main.ts|  let script = link.kind === 'script' ? link.text : engine.builtinScript;|  let script = engine.builtinScript;|the embeddable figure shows the built-in script, not its link's"
    'web|web/src/export/dialog.ts|frames.next(stepsPerSecond / rate);|frames.next(stepsPerSecond / 60);|a clip'"'"'s frames one animation step apart whatever the rate'
    'web|web/src/export/dialog.ts|const total = seconds * rate;|const total = seconds * rate - 1;|a clip one frame short'
    'web|web/src/playground/autosave.ts|    if (timer !== undefined) {\n      save();|    if (timer === null) {\n      save();|what was typed just before the page was left not saved'
    'web|web/src/export/gif.ts|const delay = 1000 / shape.rate;|const delay = 100 / shape.rate;|a GIF'"'"'s frame delay in hundredths where milliseconds are meant'
    'web|web/src/export/frames.ts|engine.mesh(canvas.width, canvas.height, 1)|engine.mesh(canvas.height, canvas.width, 1)|an exported frame drawn with its width and height swapped'
    'wayland|hosts/wayland/wl_input.cpp|surface->output->y + static_cast<int>(std::lround(wl_fixed_to_double(y)))|surface->output->x + static_cast<int>(std::lround(wl_fixed_to_double(y)))|the pointer y on an output taken from the output x'
    'wayland|hosts/wayland/wl_input.cpp|    if (step.ends_saver()) {\n        host.session.quit = quit_reason::input;\n|    if (step.ends_saver()) {\n|a large pointer move no longer ends the saver'
    'wayland|hosts/wayland/wl_input.cpp|if (keyboard \&\& host.keyboard == nullptr) {|if (keyboard \&\& host.keyboard == nullptr \&\& !host.started) {|a keyboard that appears after the start is ignored'
    'wayland|hosts/wayland/wl_globals.cpp|        if (surface->output == \&output) {|        if (surface->output != nullptr) {|an output counted as covered once any is: the others stay empty'
    'wayland|hosts/wayland/wl_globals.cpp|    return wanted == nullptr \|\| output.label == wanted;|    return true;|--output ignored: every output covered'
    'wayland|hosts/wayland/wl_globals.cpp|                host.session.quit = quit_reason::output_gone;\n||a saver whose output is unplugged goes on, covering nothing'
    'wayland|hosts/linux/posix_wait.cpp|{sources.script, POLLIN, 0}|{-1, POLLIN, 0}|a saved script is no longer read'
    'wayland|hosts/wayland/wl_fps_readout.cpp|glOrtho(0.0, width, height, 0.0, -1.0, 1.0)|glOrtho(0.0, width, 0.0, height, -1.0, 1.0)|the readout in the bottom corner'
    'wayland|hosts/wayland/wl_globals.cpp|->scale = std::max(factor, 1);|->scale = 1;|an output scale ignored: the figure enlarged by the compositor'
    'x11|hosts/x11/x11_visibility.cpp|iconic = iconic \|\| states[i] == host.sight.net_wm_state_hidden;|iconic = states[i] == host.sight.net_wm_state_hidden;|only the last atom of _NET_WM_STATE counts: a hidden window listed before another draws on'
    'x11|hosts/x11/x11_visibility.cpp|dpms_polled ? watch.dpms_asked_ns + dpms_poll_ns : 0|dpms_polled ? watch.dpms_asked_ns : 0|the monitors off without notifications: the rest ends at the last ask, and the program spins'
    'wayland|hosts/wayland/wl_globals.cpp|    output.label = name;\n    cover_output(*the_globals_host, output);\n|    output.label = name;\n|--output NAME: an output that comes after the start is never covered once its name arrives'
    'web|web/src/playground/autosave.ts|    if (timer !== undefined) {\n      save();|    if (timer === undefined) {\n      save();|what was typed just before the page is left is not saved'
    'wine|frame/saver_input.cpp|if (distance > saver_move_allowance) {|if (distance >= saver_move_allowance) {|the saver ends on a move of 4 pixels'
    'wine|hosts/windows/windows.cpp|        case WM_KEYDOWN:\n||a key no longer ends the saver'
    'wine|hosts/windows/render_thread.cpp|        test::wait_to_run(run_event, record.master);\n||the render threads no longer pause: they draw while minimised'
    'wine|hosts/windows/render_thread.cpp|                replay::replay_draw_list(draw_list);\n            }\n            shown|            }\n            shown|a clone no longer replays the master'"'"'s frame'
    'wine|hosts/windows/windows.cpp|const bool saver_full_screen = screensaver \&\& host.preview_parent == nullptr;|const bool saver_full_screen = screensaver;|the preview ends on a click'
    'wine|hosts/windows/render_thread.cpp|FALSE, INFINITE, QS_SENDMESSAGE)|FALSE, INFINITE, 0)|a close while a window starts hangs the program'
    'wine|hosts/windows/main.cpp|if (host.display_mode == display_kind::windowed) {|if (host.display_mode != display_kind::virtual_screen) {|N opens a clone in display mode 1'
    'wine|hosts/windows/script_space.cpp|reading.length > space_capacity|reading.length > space_capacity + 1|a space one byte above its capacity is read'
    'wine|hosts/windows/script_space.cpp|    if (reading.text_crc != reading.crc) {|    if (reading.text_crc != reading.crc \&\& reading.length == 0) {|the script space'"'"'s CRC-32 no longer checked'
)

targets_of() {
    case $1 in
        logic) echo lumenweave_linux_tests ;;
        x11) echo lumenweave lumenweave-test lumenweave-x11tool lumenweave-fake-dpms lumenweave_linux_tests ;;
        script) echo lumenweave_tests ;;
        frame) echo lumenweave_tests lumenweave_glcall_tests lumenweave_trace_tests ;;
        web) echo lumenweave-sim lumenweave-render ;;
        wayland) echo lumenweave lumenweave-test lumenweave-vinput ;;
        wine) echo Lumenweave Lumenweave-test wintool ;;
    esac
}

# Builds what the group's tests need: its native targets, and the site for the browser tests.
build_group() {
    local folder=$build
    [[ $1 != wine ]] || folder=$root/build/windows
    # shellcheck disable=SC2046
    nice cmake --build "$folder" --target $(targets_of "$1") || return 1
    [[ $1 != web ]] || nice bash tools/playground.sh build
}

# Runs the group's tests; prints the first that failed and returns 1, or returns 0.
run_tests() {
    local t limit=120
    local -a tests
    case $1 in
        logic) tests=("$build/tests/linux/lumenweave_linux_tests") ;;
        x11) tests=("$build/tests/linux/lumenweave_linux_tests" "bash tests/x11/test_saver.sh"
            "bash tests/x11/test_window.sh" "bash tests/x11/test_monitors.sh"
            "bash tests/x11/test_dpms.sh") ;;
        script) tests=("$build/tests/lumenweave_tests") ;;
        frame) tests=("$build/tests/lumenweave_tests" "$build/tests/gl/lumenweave_glcall_tests"
            "$build/tests/lumenweave_trace_tests") ;;
        # Each of the page's waits is bounded at two minutes, for software WebGL on a busy machine.
        web) tests=("node --test tests/web/pacing.test.mjs" "node --test tests/web/windows-saver.test.mjs"
            "node --test tests/web/page.test.mjs" "node --test tests/web/install.test.mjs")
            limit=1200
            export LUMENWEAVE_SIM=$build/tools/sim/lumenweave-sim
            export LUMENWEAVE_RENDER=$build/tools/render/lumenweave-render ;;
        # Each wait of these has a bound of a minute, for a busy machine.
        wayland) tests=("bash tests/wayland/test_saver.sh" "bash tests/wayland/test_window.sh"
            "bash tests/wayland/test_output.sh" "bash tests/wayland/test_lock_background.sh")
            limit=900 ;;
        # Each brings up its own Windows environments; each wait has a bound of a minute.
        wine) tests=("bash tests/wine/test_screensaver.sh" "bash tests/wine/test_application.sh"
            "bash tests/wine/test_preview.sh" "bash tests/wine/test_close_while_starting.sh"
            "bash tests/wine/test_script_space.sh")
            limit=900 ;;
    esac
    for t in "${tests[@]}"; do
        # shellcheck disable=SC2086
        if ! LUMENWEAVE_NATIVE_BUILD_DIR=$build timeout "$limit" $t >"$work/test.log" 2>&1; then
            echo "${t##*/} ($(grep -m1 '^FAIL' "$work/test.log" || tail -1 "$work/test.log"))"
            return 1
        fi
    done
    return 0
}

work=$(mktemp -d /tmp/lumenweave-faults.XXXXXX)
planted_file=
restore() {
    if [[ -n $planted_file ]]; then
        cp "$work/original" "$root/$planted_file"
        planted_file=
    fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP

# plant FILE OLD NEW: replaces the one occurrence of OLD; false if it is not there exactly once.
plant() {
    python3 - "$root/$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1:]
unescape = lambda s: s.replace("\\n", "\n").replace("\\|", "|").replace("\\&", "&")
old, new = unescape(old), unescape(new)
text = open(path).read()
if text.count(old) != 1:
    sys.exit(1)
open(path, "w").write(text.replace(old, new))
PY
}

wanted() {
    local group=$1 number=$2 w
    (($# > 2)) || return 0
    for w in "${@:3}"; do
        [[ $w == "$group" || $w == "$number" ]] && return 0
    done
    return 1
}

groups=()
for entry in "${faults[@]}"; do
    group=${entry%%|*}
    [[ " ${groups[*]} " == *" $group "* ]] || groups+=("$group")
done

# The tests must pass on the tree as it is, or no catch would mean anything.
for group in "${groups[@]}"; do
    wanted "$group" 0 "$@" || continue
    build_group "$group" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
    if failed=$(run_tests "$group"); then
        echo "baseline $group: the tests pass"
    else
        echo "baseline $group: $failed fails without a fault:"
        tail -20 "$work/test.log"
        exit 1
    fi
done

planted=0
caught=0
touched=()
number=0
# Split on unescaped bars only.
for entry in "${faults[@]}"; do
    number=$((number + 1))
    mapfile -t fields < <(python3 -c 'import re, sys; print("\n".join(re.split(r"(?<!\\)\|", sys.argv[1])))' "$entry")
    group=${fields[0]} file=${fields[1]} old=${fields[2]} new=${fields[3]} what=${fields[4]}
    wanted "$group" "$number" "$@" || continue
    cp "$root/$file" "$work/original"
    planted_file=$file
    if ! plant "$file" "$old" "$new"; then
        restore
        echo "not planted $number ($file): its text is not there exactly once"
        continue
    fi
    [[ " ${touched[*]} " == *" $group "* ]] || touched+=("$group")
    if ! build_group "$group" >"$work/build.log" 2>&1; then
        restore
        echo "not planted $number ($file): it does not build"
        continue
    fi
    planted=$((planted + 1))
    if failed=$(run_tests "$group"); then
        echo "MISSED $number $group: $what ($file)"
    else
        caught=$((caught + 1))
        echo "caught $number $group: $what ($file), by $failed"
    fi
    restore
done
# Leave the build as the tree is, for the groups a fault was planted in.
for group in "${touched[@]}"; do
    build_group "$group" >/dev/null 2>&1
done
echo "caught $caught of $planted planted"
