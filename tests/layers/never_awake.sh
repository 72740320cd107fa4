#!/usr/bin/env bash
# never_awake.sh PROGRAM: the Linux program cannot keep the machine awake: it imports no X call
# that holds off, resets, forces or reconfigures the screen saver or the monitors' power, carries
# no Wayland idle-inhibit protocol and names no desktop screen-saver service (whose Inhibit call
# does the same over D-Bus). That it asks a compositor for no inhibitor at run time is for the
# Wayland tests, from the protocol log.
set -euo pipefail
program=$1
forbidden='^(XScreenSaverSuspend|XResetScreenSaver|XForceScreenSaver|XActivateScreenSaver|XSetScreenSaver|DPMSDisable|DPMSForceLevel|DPMSSetTimeouts)$'
calls=$(nm -D --undefined-only --format=just-symbols "$program" | sed 's/@.*//' |
    grep -E "$forbidden" | sort -u || true)
[[ -z $calls ]] || { echo "FAIL: the program calls $(tr '\n' ' ' <<<"$calls")"; exit 1; }
names=$(grep -a -o -E 'idle_inhibit[a-z_0-9]*|org\.freedesktop\.ScreenSaver' "$program" | sort -u || true)
[[ -z $names ]] || { echo "FAIL: the program carries $(tr '\n' ' ' <<<"$names")"; exit 1; }
echo "PASS: no screen-saver or monitor-power call among $(nm -D --undefined-only "$program" | wc -l) imports, no idle inhibitor"
