#!/usr/bin/env bash
# Writes CHANGELOG.md as a Debian changelog on standard output, for the packages' changelog.gz:
# one entry for each "## VERSION — DATE" section, its paragraphs and list items as wrapped items;
# an "## Unreleased" section is left out.
#   debian-changelog.sh CHANGELOG.md "NAME <ADDRESS>"
set -euo pipefail
awk -v maintainer="$2" '
    # The item gathered so far, wrapped to 78 columns under "  * ".
    function flush(    words, n, i, line) {
        if (item == "") return
        n = split(item, words, " ")
        line = "  *"
        for (i = 1; i <= n; i++) {
            if (length(line) + 1 + length(words[i]) > 78) {
                print line
                line = "   "
            }
            line = line " " words[i]
        }
        print line
        item = ""
    }
    function close_entry(    command, stamp) {
        flush()
        if (version == "") return
        command = "LC_ALL=C date -u -R -d " date
        command | getline stamp
        close(command)
        printf "\n -- %s  %s\n", maintainer, stamp
    }
    # Work since the last release is no entry yet: a package is built of a released version.
    /^## Unreleased$/ { close_entry(); version = ""; next }
    /^## / {
        close_entry()
        if (entries++) print ""
        version = $2
        date = $NF
        if (date !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) {
            print "debian-changelog: no date in: " $0 >"/dev/stderr"
            exit 1
        }
        printf "lumenweave (%s) unstable; urgency=medium\n\n", version
        next
    }
    version == "" { next }
    /^- / { flush(); item = substr($0, 3); next }
    /^[ \t]*$/ { flush(); next }
    { sub(/^[ \t]+/, ""); item = item == "" ? $0 : item " " $0 }
    END { close_entry() }
' "$1"
