#!/usr/bin/env bash
# The Debian package: cpack makes it from the build, it holds the program and the two files that
# tell screen-saver daemons and desktops about it, depends on what the program links, and the
# program unpacked from it runs under the real daemon.
source "$(dirname "$0")/lib.sh"
command -v dpkg-shlibdeps >/dev/null || { echo "SKIP: no dpkg-shlibdeps (dpkg-dev)"; exit 77; }

(cd "$build" && timeout 120 cpack -G DEB -B "$out/deb" >"$out/cpack.log" 2>&1) ||
    fail "cpack: $(<"$out/cpack.log")"
deb=$(ls "$out"/deb/lumenweave_*.deb) || fail "cpack wrote no .deb"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' ./usr/libexec/xscreensaver/lumenweave \
    ./usr/share/applications/screensavers/lumenweave.desktop \
    ./usr/share/xscreensaver/config/lumenweave.xml | sort)
[[ $files == "$expected" ]] || fail "files in the package: $files"
pass "the package holds the program, its daemon settings and its desktop entry"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libx11-6 libglx0 libwayland-client0 libegl1; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
pass "Depends: $depends"

dpkg-deb -x "$deb" "$out/root"
grep -qx 'Exec=/usr/libexec/xscreensaver/lumenweave --root' \
    "$out/root/usr/share/applications/screensavers/lumenweave.desktop" || fail "desktop entry: Exec"
grep -q '<command arg="--root"/>' "$out/root/usr/share/xscreensaver/config/lumenweave.xml" ||
    fail "daemon settings: command"
bash "$here/test_daemon.sh" "$out/root/usr/libexec/xscreensaver/lumenweave"
