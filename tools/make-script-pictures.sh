#!/usr/bin/env bash
# Makes the pictures of the script documents with lumenweave-render: one strip a main actuator for
# docs/script-language.md (docs/actuators/) and one animated GIF an example script for
# docs/gallery.md (docs/gallery/), whose picture of the built-in script is the README's.
#   bash tools/make-script-pictures.sh     (needs the native build's lumenweave-render and -sim)
set -euo pipefail
cd "$(dirname "$0")/.."

render=build/native/tools/render/lumenweave-render
sim=build/native/tools/sim/lumenweave-sim
[[ -x $render && -x $sim ]] || cmake --build --preset native --target lumenweave-render lumenweave-sim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs/actuators docs/gallery

# The actuators' numbers by name, as the engine has them.
declare -A act
actuators=$("$sim" --list-actuators)
while read -r index name; do
    act[$name]=$index
done <<<"$actuators"

# set_lines NAME VALUE [NAME VALUE...]: an actset: line for each pair.
set_lines() {
    while (($#)); do
        [[ -n ${act[$1]:-} ]] || { echo "make-script-pictures: no actuator $1" >&2; exit 1; }
        printf 'actset: %s, %s\n' "${act[$1]}" "$2"
        shift 2
    done
}

# The base script of the strips, as shown in docs/script-language.md.
base=$(set_lines zoom 0.06 twist 10 wings 40 lightness 0.5 hue 0.6 outline 1 arm 1)

# strip NAME PAIRS... : the base plus each PAIRS (NAME VALUE pairs for set_lines), after 200
# frames, side by side.
strip() {
    local name=$1 i=0 pictures=() pairs lines
    shift
    for pairs in "$@"; do
        # shellcheck disable=SC2086 # the pairs are words
        lines=$(set_lines $pairs)
        printf '%s\n%s\n' "$base" "$lines" >"$work/$name-$i.txt"
        "$render" --script "$work/$name-$i.txt" --frames 200 --size 120x90 --out "$work/$name-$i.png"
        pictures+=("$work/$name-$i.png")
        i=$((i + 1))
    done
    # No time stamps, so that making them again changes no file.
    convert "${pictures[@]}" -bordercolor "#444444" -border 1 +append +repage \
        -define png:exclude-chunks=date,time "docs/actuators/$name.png"
}

strip zoom 'zoom 0' 'zoom 0.06' 'zoom 0.3'
strip twist 'twist 0' 'twist 10' 'twist 60'
strip wings 'wings 5' 'wings 20' 'wings 60'
strip wheel 'wheel 0' 'wheel 0.3' 'wheel 0.6'
strip spin 'spin 0' 'spin 1' 'spin 4'
strip flip 'flip 0' 'flip 5' 'flip 30'
strip arm 'arm 0' 'arm 0.5' 'arm 1.5'
strip wrist 'wrist 0' 'wrist 0.5' 'wrist 1.5'
strip hue 'outline 0 hue 0' 'outline 0 hue 0.33' 'outline 0 hue 0.8'
strip lightness 'lightness 0.2' 'lightness 0.5' 'lightness 0.8'
strip outline 'outline 0' 'outline 1' 'outline 1 lightness 1'

# Ten seconds of each, every third frame kept: the commands docs/gallery.md shows.
for example in examples/*.txt; do
    "$render" --script "$example" --seed 1 --frames 600 --size 240x180 --every 3 \
        --out "docs/gallery/$(basename "$example" .txt).gif"
done
