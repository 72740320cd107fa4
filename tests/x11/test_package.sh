#!/usr/bin/env bash
# The Linux packages: cpack makes the DEB and the RPM from the build's install rules. The DEB
# passes lintian, holds the program with a link on the PATH, its manual page, the files that tell
# screen-saver daemons and desktops about it and the documentation those name, and depends on
# what the program links; the RPM holds the same files, requires those libraries and installs;
# the program unpacked from the DEB runs under the real daemon.
source "$(dirname "$0")/lib.sh"
for tool in dpkg-shlibdeps lintian rpmbuild man; do
    command -v $tool >/dev/null || { echo "SKIP: no $tool (bash tools/install-deps.sh)"; exit 77; }
done

(cd "$build" && timeout 300 cpack -G 'DEB;RPM' -B "$out/packages" >"$out/cpack.log" 2>&1) ||
    fail "cpack: $(<"$out/cpack.log")"
deb=$(ls "$out"/packages/lumenweave_*.deb) || fail "cpack wrote no .deb"
rpm=$(ls "$out"/packages/lumenweave-*.rpm) || fail "cpack wrote no .rpm"

lintian=$(timeout 120 lintian "$deb" 2>&1)
! grep -E '^[EW]: ' <<<"$lintian" || fail "lintian: $lintian"
pass "lintian: no error, no warning"

doc=./usr/share/doc/lumenweave
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' ./usr/bin/lumenweave ./usr/libexec/xscreensaver/lumenweave \
    ./usr/share/man/man6/lumenweave.6.gz \
    ./usr/share/applications/screensavers/lumenweave.desktop \
    ./usr/share/xscreensaver/config/lumenweave.xml \
    $doc/copyright $doc/changelog.gz $doc/script-language.md \
    $(cd "$here/../.." && printf "$doc/%s\n" examples/*) \
    $(cd "$here/../../docs" && printf "$doc/%s\n" actuators/*) | sort)
[[ $files == "$expected" ]] || fail "files in the package: $files"
pass "the package holds the program, its link, manual page, daemon settings, desktop entry," \
    "licence, changelog, script reference with its pictures and examples"

root=$out/root
dpkg-deb -x "$deb" "$root"
# Every link of the installed script reference to a file leads to one in the package.
for link in $(grep -oE '\]\([^)#:]+\)' "$root/$doc/script-language.md" | sed 's/^](//; s/)$//'); do
    [[ -e $root/$doc/$link ]] || fail "the installed script reference links to $link, not installed"
done
pass "the installed script reference's links lead to installed files"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libx11-6 libglx0 libwayland-client0 libegl1 libsystemd0 zlib1g; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
pass "Depends: $depends"

"$root/usr/bin/lumenweave" --help >"$out/help" || fail "lumenweave --help through the link"
grep -qx 'Exec=/usr/libexec/xscreensaver/lumenweave --root' \
    "$root/usr/share/applications/screensavers/lumenweave.desktop" || fail "desktop entry: Exec"
grep -q '<command arg="--root"/>' "$root/usr/share/xscreensaver/config/lumenweave.xml" ||
    fail "daemon settings: command"

# The manual page renders without a warning, names every flag of --help (parenthesised remarks
# aside), and every installed path it or the daemon's settings name is in the package.
man_page=$root/usr/share/man/man6/lumenweave.6.gz
warnings=$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "man: $warnings"
MANWIDTH=200 man -l "$man_page" 2>/dev/null | col -b >"$out/man.txt"
for flag in $(sed 's/([^)]*)//g' "$out/help" | grep -oE '(^|[][ ,|])--?[a-z][a-z-]*' |
    grep -oE -- '-.*' | sort -u); do
    grep -qF -- "$flag" "$out/man.txt" || fail "the manual page does not name $flag"
done
for path in $(cat "$out/man.txt" "$root/usr/share/xscreensaver/config/lumenweave.xml" |
    grep -oE '/usr/[A-Za-z0-9/._-]*[A-Za-z0-9/]' | sort -u); do
    [[ -e $root$path ]] || fail "the manual page or the daemon's settings name $path, not installed"
done
# Its example script (the first example block) checks clean, where the build has the checker.
sim=$build/tools/sim/lumenweave-sim
if [[ -x $sim ]]; then
    zcat "$man_page" | awk '/^\.EX/ { n++; show = n == 1; next } /^\.EE/ { show = 0 } show' |
        sed 's/\\-/-/g' >"$out/example.txt"
    grep -q '^act' "$out/example.txt" || fail "no example script in the manual page"
    "$sim" --check "$out/example.txt" >"$out/check.log" 2>&1 ||
        fail "the manual page's example script: $(<"$out/check.log")"
fi
pass "manual page: no warning, every flag, installed paths, example script"

# The RPM: the same files, its requirements found by rpmbuild, and it installs.
rpm_files=$(rpm -qp --qf '[%{FILEMODES:perms} %{FILENAMES}\n]' "$rpm" 2>/dev/null |
    awk '$1 !~ /^d/ { print "." $2 }' | sort)
[[ $rpm_files == "$files" ]] || fail "the RPM's files differ from the DEB's: $rpm_files"
requires=$(rpm -qpR "$rpm" 2>/dev/null)
for library in 'libc.so.6' 'libX11.so.6' 'libGLX.so.0' 'libsystemd.so.0' 'libz.so.1'; do
    grep -qF "$library()(64bit)" <<<"$requires" ||
        fail "the RPM does not require $library: $requires"
done
rpm --root "$out/rpm-root" --nodeps -i "$rpm" >"$out/rpm.log" 2>&1 ||
    fail "rpm -i: $(<"$out/rpm.log")"
[[ $("$out/rpm-root/usr/bin/lumenweave" --version) == "lumenweave "* ]] ||
    fail "the program installed from the RPM"
pass "RPM: the DEB's files, requires the libraries it links, installs"

bash "$here/test_daemon.sh" "$root/usr/libexec/xscreensaver/lumenweave"
