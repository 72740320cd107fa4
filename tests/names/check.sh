#!/usr/bin/env bash
# Checks how names are written (.clang-tidy of each folder) in the core and the hosts: every
# translation unit of the native build there, and the Windows program's of the windows build when
# that build exists. Exits 1 on any misnamed identifier, naming it.
# usage: check.sh RUN_CLANG_TIDY SOURCE NATIVE_BUILD [WINDOWS_BUILD]
set -uo pipefail
tidy=$1 src=$2 native=$3 windows=${4:-}
folders='drawlist|engine|script|figure|frame|replay|png|offscreen|read_whole|sim_output|share_link|hosts'
status=0
# The layers' headers are copies inside the build; the source tree first finds each header in its
# own folder, whose .clang-tidy then applies.
"$tidy" -quiet -j 2 -p "$native" -extra-arg-before="-I$src" \
    "^$src/($folders)/" >"$native/names.log" 2>&1 || status=1
if [[ -n $windows && -f $windows/compile_commands.json ]]; then
    # clang reads the MinGW C++ library from the directories its own g++ uses, and takes its own
    # compiler headers for the rest.
    cxx=$(sed -n 's/^ *"command": "\([^ ]*g++[^ ]*\) .*/\1/p' "$windows/compile_commands.json" | head -1)
    includes=()
    while read -r dir; do
        [[ $dir == */include/c++* ]] && includes+=("-extra-arg-before=-isystem$dir")
    done < <("$cxx" -E -x c++ -v /dev/null 2>&1 | sed -n '/<...> search starts/,/End of search/p')
    "$tidy" -quiet -j 2 -p "$windows" -extra-arg-before=-nostdinc++ "${includes[@]}" \
        "^$src/hosts/windows/.*\\.cpp$" >>"$native/names.log" 2>&1 || status=1
fi
if ((status != 0)); then
    sed 's/\x1b\[[0-9;]*m//g' "$native/names.log" | grep -E 'warning:|error:' | sort -u
    echo "names: misnamed identifiers above (the log: $native/names.log)"
fi
exit $status
