#!/usr/bin/env bash
# The import check as ctest runs it, on the Windows build's output.
#   run.sh program WINDOWS_BUILD_DIR: Lumenweave.scr with the objects of its own sources.
#   run.sh refuses: a small program that uses the registry, the network and files must fail.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

case $1 in
program)
    build=$2
    program=$build/hosts/windows/Lumenweave.scr
    if [[ ! -f $program ]]; then
        echo "SKIP: no Windows build in $build"
        exit 77
    fi
    shopt -s nullglob
    objects=("$build"/hosts/windows/CMakeFiles/Lumenweave.dir/*.obj "$build"/liblumenweave_*.a)
    ((${#objects[@]} > 1)) || { echo "no objects of the program in $build"; exit 1; }
    exec bash "$here/check_imports.sh" "$program" "${objects[@]}"
    ;;
refuses)
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    x86_64-w64-mingw32-gcc -c "$here/forbidden.c" -o "$tmp/forbidden.o" 2>/dev/null &&
        x86_64-w64-mingw32-gcc "$tmp/forbidden.o" -o "$tmp/forbidden.exe" -ladvapi32 -lws2_32 ||
        { echo "cannot build the forbidden program"; exit 1; }
    bash "$here/check_imports.sh" "$tmp/forbidden.exe" "$tmp/forbidden.o" >"$tmp/out"
    code=$?
    cat "$tmp/out"
    ((code != 0)) || { echo "the check let the forbidden program pass"; exit 1; }
    for expected in "imports advapi32.dll" "imports ws2_32.dll" "imports WriteFile from" \
        "uses RegOpenKeyExW" "uses CreateFileW" "uses socket" "uses fopen"; do
        grep -q "$expected" "$tmp/out" || { echo "not reported: $expected"; exit 1; }
    done
    ;;
*)
    echo "usage: run.sh program WINDOWS_BUILD_DIR | run.sh refuses"
    exit 2
    ;;
esac
