#!/usr/bin/env bash
# Makes hosts/windows/lumenweave.ico from a frame of the figure itself: lumenweave-render draws
# it, and ImageMagick cuts it to 16x16 and 32x32 at 4, 8 and 32 bits per pixel (six images).
#   bash tools/make-icon.sh     (needs the native build's lumenweave-render)
set -euo pipefail
cd "$(dirname "$0")/.."

render=build/native/tools/render/lumenweave-render
[[ -x $render ]] || cmake --build --preset native --target lumenweave-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Two seconds into seed 7 the column is a tight, colourful ring near the middle.
"$render" --seed 7 --frames 120 --size 256x256 --out "$work/frame.png"
magick=/usr/bin/convert
"$magick" "$work/frame.png" -gravity center -crop 120x120+0+0 +repage "$work/square.png"
for size in 16 32; do
    "$magick" "$work/square.png" -resize ${size}x$size -alpha off "$work/$size-32.png"
    # ImageMagick writes a palette image of fewer than 16 colours at 4 bits, of fewer than 256 at
    # 8 bits (a full palette goes up a size).
    "$magick" "$work/$size-32.png" -dither None -colors 15 -type Palette "$work/$size-4.png"
    "$magick" "$work/$size-32.png" -dither None -colors 255 -type Palette "$work/$size-8.png"
    "$magick" "$work/$size-32.png" -alpha on -type TrueColorAlpha "PNG32:$work/$size-32a.png"
done
images=()
for image in 16-4 32-4 16-8 32-8 16-32a 32-32a; do
    "$magick" "$work/$image.png" "$work/$image.ico"
    images+=("$work/$image.ico")
done
# ImageMagick may change an image's depth when it writes several at once, so each is written
# alone and the six are joined into one icon directory here.
python3 - hosts/windows/lumenweave.ico "${images[@]}" <<'JOIN'
import struct, sys
entries, blobs = [], []
for name in sys.argv[2:]:
    data = open(name, "rb").read()
    entry = data[6:22]
    size, offset = struct.unpack("<II", entry[8:16])
    entries.append(entry[:8])
    blobs.append(data[offset:offset + size])
offset = 6 + 16 * len(blobs)
out = struct.pack("<HHH", 0, 1, len(blobs))
for entry, blob in zip(entries, blobs):
    out += entry + struct.pack("<II", len(blob), offset)
    offset += len(blob)
open(sys.argv[1], "wb").write(out + b"".join(blobs))
JOIN
echo "hosts/windows/lumenweave.ico written"
