#!/usr/bin/env bash
# Makes the pictures of the script documents with lumenweave-render: one strip a main actuator for
# docs/script-language.md (docs/actuators/) and one animated GIF an example script for
# docs/gallery.md (docs/gallery/), whose picture of the built-in script is the README's.
#   bash tools/make-script-pictures.sh     (needs the native build's lumenweave-render)
set -euo pipefail
cd "$(dirname "$0")/.."

render=build/native/tools/render/lumenweave-render
[[ -x $render ]] || cmake --build --preset native --target lumenweave-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs/actuators docs/gallery

# The base script of the strips, as shown in docs/script-language.md.
base='actset: 31, 0.06
actset: 38, 10
actset: 52, 40
actset: 130, 0.5
actset: 123, 0.6
actset: 18, 1
actset: 94, 1'

# strip NAME LINES... : the base plus each LINES (actset: lines, \n between them), after 200
# frames, side by side.
strip() {
    local name=$1 i=0 pictures=()
    shift
    for lines in "$@"; do
        printf '%s\n%b\n' "$base" "$lines" >"$work/$name-$i.txt"
        "$render" --script "$work/$name-$i.txt" --frames 200 --size 120x90 --out "$work/$name-$i.png"
        pictures+=("$work/$name-$i.png")
        i=$((i + 1))
    done
    # No time stamps, so that making them again changes no file.
    convert "${pictures[@]}" -bordercolor "#444444" -border 1 +append +repage \
        -define png:exclude-chunks=date,time "docs/actuators/$name.png"
}

strip zoom 'actset: 31, 0' 'actset: 31, 0.06' 'actset: 31, 0.3'
strip twist 'actset: 38, 0' 'actset: 38, 10' 'actset: 38, 60'
strip wings 'actset: 52, 5' 'actset: 52, 20' 'actset: 52, 60'
strip wheel 'actset: 73, 0' 'actset: 73, 0.3' 'actset: 73, 0.6'
strip spin 'actset: 80, 0' 'actset: 80, 1' 'actset: 80, 4'
strip flip 'actset: 87, 0' 'actset: 87, 5' 'actset: 87, 30'
strip arm 'actset: 94, 0' 'actset: 94, 0.5' 'actset: 94, 1.5'
strip wrist 'actset: 101, 0' 'actset: 101, 0.5' 'actset: 101, 1.5'
strip hue 'actset: 18, 0\nactset: 123, 0' 'actset: 18, 0\nactset: 123, 0.33' \
    'actset: 18, 0\nactset: 123, 0.8'
strip lightness 'actset: 130, 0.2' 'actset: 130, 0.5' 'actset: 130, 0.8'
strip outline 'actset: 18, 0' 'actset: 18, 1' 'actset: 18, 1\nactset: 130, 1'

# Ten seconds of each, every third frame kept: the commands docs/gallery.md shows.
for example in examples/*.txt; do
    "$render" --script "$example" --seed 1 --frames 600 --size 240x180 --every 3 \
        --out "docs/gallery/$(basename "$example" .txt).gif"
done
