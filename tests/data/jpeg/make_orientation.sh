#!/bin/sh
# Remakes the orientation test pictures: orient1.jpg .. orient8.jpg hold one and the same
# small sideways-asymmetric JPEG picture (21 x 13, 4:2:0) and differ only in the Exif
# orientation tag, 1 to 8 (little-endian Exif for odd values, big-endian for even ones,
# the tag after two other entries as cameras write it). orient<N>.ppm is the upright
# picture: djpeg's decode of the stored pixels turned by ImageMagick's -auto-orient.
# Needs python3, cjpeg/djpeg (libjpeg-turbo-progs) and ImageMagick's convert. The tests
# read only the committed files.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Gradients in two directions and a diagonal line, so every turn and mirror shows.
python3 - "$tmp/stored.ppm" <<'PY'
import sys
w, h = 21, 13
rows = []
for y in range(h):
    for x in range(w):
        r, g, b = x * 255 // (w - 1), y * 255 // (h - 1), 40 + (x * y) % 180
        if x == 2 * y:
            r, g, b = 255, 255, 255
        rows += [r, g, b]
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (w, h) + bytes(rows))
PY
cjpeg -quality 90 -sample 2x2 "$tmp/stored.ppm" > "$tmp/stored.jpg"

python3 - "$tmp/stored.jpg" <<'PY'
import struct, sys
jpeg = open(sys.argv[1], "rb").read()
assert jpeg[:2] == b"\xff\xd8"
for n in range(1, 9):
    e = "<" if n % 2 else ">"
    order = b"II" if n % 2 else b"MM"
    # IFD0 at offset 8: Make (ASCII, stored after the directory), XResolution (RATIONAL,
    # likewise), Orientation (SHORT, in the entry), then the next-directory offset 0.
    entries = 3
    data_at = 8 + 2 + 12 * entries + 4
    make = b"Pictavo\0"
    ifd = struct.pack(e + "H", entries)
    ifd += struct.pack(e + "HHII", 0x010F, 2, len(make), data_at)
    ifd += struct.pack(e + "HHII", 0x011A, 5, 1, data_at + len(make))
    ifd += struct.pack(e + "HHIHH", 0x0112, 3, 1, n, 0)
    ifd += struct.pack(e + "I", 0)
    tiff = order + struct.pack(e + "HI", 42, 8) + ifd + make + struct.pack(e + "II", 72, 1)
    body = b"Exif\0\0" + tiff
    app1 = b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body
    open("orient%d.jpg" % n, "wb").write(jpeg[:2] + app1 + jpeg[2:])
PY

djpeg -dct int -pnm orient1.jpg > "$tmp/stored_decoded.ppm"
n=1
for name in TopLeft TopRight BottomRight BottomLeft LeftTop RightTop RightBottom LeftBottom; do
    convert "$tmp/stored_decoded.ppm" -orient "$name" -auto-orient "orient$n.ppm"
    n=$((n + 1))
done
