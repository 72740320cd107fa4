#!/usr/bin/env bash
# What the screensaver may touch: reads a Windows program's import table and its own object
# files' undefined symbols, and fails on any DLL beyond the platform interfaces the screensaver
# needs and on any registry, network, file-writing or process-starting function.
# usage: check_imports.sh PROGRAM.scr OBJECT_OR_ARCHIVE...
# The statically linked C runtime imports some functions of its own (descriptor reads and
# closes, its stdio), so the program's own code is judged by the objects built from its
# sources, and the import table by the DLLs and the functions that nothing but the program's own
# code would bring in.
set -uo pipefail

program=$1
shift
objdump=x86_64-w64-mingw32-objdump
nm=x86_64-w64-mingw32-nm
failures=0
problem() {
    echo "FORBIDDEN: $*"
    failures=$((failures + 1))
}

# The platform interfaces: OpenGL, windows and messages, GDI, kernel, multimedia timer, and the
# C runtime.
allowed_dll='^(opengl32|user32|gdi32|kernel32|winmm|msvcrt)\.dll$|^api-ms-win-crt-[a-z0-9-]+\.dll$'

# Registry, network, internet, files created, written, moved or removed, other programs started.
forbidden_function='^(Reg(Open|Create|Set|Query|Delete|Enum|Close|Get|Save|Load|Replace|Restore|Flush|Notify|Connect|Copy|Rename|Override|Unload|DisablePredefined)[A-Za-z]*|SHReg[A-Za-z]*|SH(Get|Set)Value[AW]?|WSA[A-Za-z]*|socket|connect|bind|listen|accept|send|sendto|recv|recvfrom|gethostbyname|getaddrinfo|GetAddrInfo[A-Za-z]*|Internet[A-Za-z]*|WinHttp[A-Za-z]*|URLDownload[A-Za-z]*|CreateFile[A-Za-z0-9]*|OpenFile|_lcreat|_lopen|WriteFile[A-Za-z]*|DeleteFile[AW]?|MoveFile[A-Za-z]*|CopyFile[A-Za-z0-9]*|ReplaceFile[AW]?|CreateDirectory[A-Za-z]*|RemoveDirectory[AW]?|SetFileAttributes[AW]?|WritePrivateProfile[A-Za-z]*|WriteProfile[A-Za-z]*|ShellExecute[A-Za-z]*|CreateProcess[A-Za-z]*|WinExec|fopen|fopen_s|_wfopen|_wfopen_s|freopen|_wfreopen|_open|_wopen|_sopen|_wsopen|_sopen_s|_wsopen_s|_creat|_wcreat|remove|_wremove|rename|_wrename|_unlink|_wunlink|_mkdir|_wmkdir|_rmdir|_wrmdir|system|_wsystem|_popen|_wpopen|_spawn[a-z]*|_wspawn[a-z]*|_exec[a-z]*|_wexec[a-z]*)$'

# Libraries loaded by name as well, in the program's own code. The C runtime's rand_s loads one
# for its random source, so the import table may hold LoadLibraryW for the runtime's sake.
forbidden_own=${forbidden_function%)\$}'|LoadLibrary[A-Za-z]*|LdrLoadDll)$'

[[ -f $program ]] || { echo "no program at $program"; exit 2; }

# objdump -p gives "DLL Name: X", a column header, then "<tab>vma<tab> hint  name" lines up
# to an empty line.
imports=$("$objdump" -p "$program" | awk '
    /DLL Name:/ { dll = tolower($3); print "dll " dll; next }
    /^$/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ { print "fn " dll " " $NF }')
[[ -n $imports ]] || { echo "cannot read the import table of $program"; exit 2; }

dlls=0
functions=0
while read -r kind dll function; do
    if [[ $kind == dll ]]; then
        dlls=$((dlls + 1))
        [[ $dll =~ $allowed_dll ]] || problem "$program imports $dll"
    else
        functions=$((functions + 1))
        [[ $function =~ $forbidden_function ]] && problem "$program imports $function from $dll"
    fi
done <<<"$imports"

# The program's own code: undefined symbols of its objects, with the import prefix taken off.
symbols=0
for object in "$@"; do
    [[ -f $object ]] || { echo "no object at $object"; exit 2; }
    while read -r symbol; do
        symbols=$((symbols + 1))
        name=${symbol#__imp_}
        [[ $name =~ $forbidden_own ]] && problem "$(basename "$object") uses $name"
    done < <("$nm" -u "$object" 2>/dev/null | awk 'NF == 2 && $1 == "U" { print $2 }')
done

echo "$dlls DLLs, $functions imported functions and $symbols undefined symbols of $# objects checked, $failures forbidden"
((failures == 0))
