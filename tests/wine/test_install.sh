#!/usr/bin/env bash
# The installer in dist/ (bash tools/package.sh) in a fresh Wine prefix: silent install, the
# installed saver started as the desktop starts it, /ACTIVATE, an upgrade in place, and silent
# uninstalls that leave another chosen saver alone.
. "$(dirname "$0")/lib.sh"
begin_test "$@"

version=$(sed -n 's/^#define LUMENWEAVE_VERSION "\(.*\)"$/\1/p' "$build/generated/lumenweave/version.hpp")
setup=$here/../../dist/Lumenweave-$version-setup.exe
if [[ ! -f $setup ]]; then
    echo "SKIP: no installer at $setup (run: bash tools/package.sh)"
    exit 77
fi

export WINEPREFIX=$out/prefix
trap 'timeout 20 wineserver -k 2>/dev/null; cleanup' EXIT
make_prefix "$WINEPREFIX" "$DISPLAY" || fail "wineboot of a fresh prefix"
wineserver -p

system=$WINEPREFIX/drive_c/windows/system32
installed=$system/Lumenweave.scr
folder="$WINEPREFIX/drive_c/Program Files/Lumenweave"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenweave'
desktop_key='HKCU\Control Panel\Desktop'

install() {
    timeout 120 wine "$setup" /S "$@" || fail "setup.exe /S $*: exit code $?"
}

# Prints "NAME=VALUE" for each value of a registry key, sorted by name.
values() {
    timeout 60 wine reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    \(.*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p' | LC_ALL=C sort
}

value() { values "$1" | sed -n "s/^$2=//p"; }

# The uninstaller hands its work to a copy of itself and returns at once: wait for its folder to
# go, which it removes last.
uninstall() {
    timeout 120 wine "C:\\Program Files\\Lumenweave\\uninstall.exe" /S || fail "uninstall.exe /S"
    await "the uninstaller removing its folder" folder_gone
}
folder_gone() { [[ ! -e $folder ]]; }

install
cmp -s "$installed" "$saver" || fail "the installed Lumenweave.scr differs from the build's"
entry=$(values "$uninstall_key" | grep -v '^EstimatedSize=')
expected="DisplayIcon=C:\\windows\\system32\\Lumenweave.scr
DisplayName=Lumenweave
DisplayVersion=$version
InstallLocation=C:\\Program Files\\Lumenweave
NoModify=0x1
NoRepair=0x1
Publisher=the Lumenweave authors
QuietUninstallString=\"C:\\Program Files\\Lumenweave\\uninstall.exe\" /S
UninstallString=\"C:\\Program Files\\Lumenweave\\uninstall.exe\""
[[ $entry == "$expected" ]] || fail "uninstall entry:
$entry
expected:
$expected"
size=$(value "$uninstall_key" EstimatedSize)
(($(stat -c %s "$saver") / 1024 <= ${size:-0})) || fail "EstimatedSize $size KB is less than the program"
[[ -z $(value "$desktop_key" SCRNSAVE.EXE) ]] || fail "installing without /ACTIVATE chose a saver"
pass "silent install: the build's program in system32, the uninstall entry, no saver chosen"

start 'C:\windows\system32\Lumenweave.scr' /s
id=$(find_window "Lumenweave (master)" "$wait_bound") || fail "the installed saver opened no window"
expect_drawing "$id" "the installed saver"
press "Lumenweave (master)" space
expect_exit 0 "the installed saver, started as the desktop does, drew (mean $picture_mean) and a key"

# An older installation: its entry says another version and its program differs.
wine reg add "$uninstall_key" /v DisplayVersion /d 0.9.0 /f >/dev/null 2>&1
echo older >"$installed"
install /ACTIVATE
cmp -s "$installed" "$saver" || fail "the upgrade left the older program"
[[ $(value "$uninstall_key" DisplayVersion) == "$version" ]] || fail "the upgrade left the older version"
entries=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
    grep -ci lumenweave)
((entries == 1)) || fail "$entries uninstall entries after installing twice"
desktop=$(values "$desktop_key" | grep -E '^(SCRNSAVE\.EXE|ScreenSaveActive)=')
[[ $desktop == $'SCRNSAVE.EXE=C:\\windows\\system32\\Lumenweave.scr\nScreenSaveActive=1' ]] ||
    fail "/ACTIVATE set: $desktop"
pass "installing again with /ACTIVATE: upgraded in place, one entry, Lumenweave chosen"

# The user chose another saver since: the uninstaller must leave that choice alone.
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
uninstall
[[ ! -e $installed && ! -e $folder ]] || fail "uninstall left: $(ls -d "$installed" "$folder" 2>/dev/null)"
timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "uninstall left the entry"
[[ $(value "$desktop_key" SCRNSAVE.EXE) == 'C:\windows\system32\other.scr' ]] ||
    fail "uninstall changed another chosen saver"
pass "silent uninstall: program, uninstaller and entry gone, another chosen saver kept"

# Lumenweave chosen, its name written in another case: the uninstaller clears the choice.
install
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'c:\WINDOWS\System32\LUMENWEAVE.SCR' /f >/dev/null 2>&1
uninstall
[[ -z $(value "$desktop_key" SCRNSAVE.EXE) ]] || fail "uninstall left Lumenweave chosen"
pass "silent uninstall with Lumenweave chosen: the choice cleared"
