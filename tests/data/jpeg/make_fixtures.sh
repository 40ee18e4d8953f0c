#!/bin/sh
# Remakes the JPEG test pictures and their reference decodes. Needs python3 with PIL,
# cjpeg/djpeg (libjpeg-turbo-progs) and ImageMagick's convert. The tests read only the
# committed files.
#
# Each <name>.jpg has <name>.ppm beside it: djpeg's decode with the accurate integer DCT
# and its default (fancy) upsampling. <name>.s2/.s4/.s8.ppm are the 1/2, 1/4, 1/8 scaled
# decodes, <name>.grey.pgm the grey-scale decode and <name>.q256.ppm the decode quantised
# to 256 colours (two-pass, Floyd-Steinberg).
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A synthetic picture with smooth gradients, hard edges and a little noise, so that
# colour conversion, upsampling and the IDCT all show in the pixels.
/usr/bin/python3 - "$tmp" <<'PY'
import random, sys
from PIL import Image
def picture(w, h, seed):
    rnd = random.Random(seed)
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            r = x * 255 // max(1, w - 1)
            g = y * 255 // max(1, h - 1)
            b = 220 if (x // 6 + y // 6) % 2 else 30
            if abs(x - 2 * y) < 2:
                r, g, b = 255, 255, 255
            n = rnd.randint(-12, 12)
            px[x, y] = tuple(max(0, min(255, c + n)) for c in (r, g, b))
    return img
picture(48, 40, 1).save(sys.argv[1] + "/src.ppm")
picture(37, 23, 2).save(sys.argv[1] + "/odd.ppm")
PY

cjpeg -quality 85 -sample 2x2 "$tmp/src.ppm" > baseline420.jpg
cjpeg -quality 85 -sample 1x1 "$tmp/src.ppm" > s444.jpg
cjpeg -quality 85 -sample 2x1 "$tmp/src.ppm" > s422.jpg
cjpeg -quality 85 -progressive "$tmp/src.ppm" > progressive.jpg
cjpeg -quality 85 -grayscale "$tmp/src.ppm" > grey.jpg
cjpeg -quality 85 -restart 1B "$tmp/src.ppm" > restart.jpg
cjpeg -quality 85 -arithmetic "$tmp/src.ppm" > arithmetic.jpg
cjpeg -quality 85 "$tmp/odd.ppm" > odd37x23.jpg
# ImageMagick writes CMYK as Adobe does: an APP14 marker and inverted ink values.
convert "$tmp/src.ppm" -colorspace CMYK -quality 85 cmyk.jpg

# CMYK without the Adobe marker: plain ink amounts. Four 8 x 8 blocks of inks
# (0,0,0,0) white, (255,0,0,0) cyan, (0,0,0,255) black and (55,205,255,225), which is
# RGB (24,6,0). PIL stores CMYK inverted with an APP14 marker, so it gets the complements
# and the marker is cut out afterwards.
/usr/bin/python3 - <<'PY'
from PIL import Image
import io
inks = [(0, 0, 0, 0), (255, 0, 0, 0), (0, 0, 0, 255), (55, 205, 255, 225)]
img = Image.new("CMYK", (32, 8))
for i, ink in enumerate(inks):
    img.paste(tuple(255 - v for v in ink), (8 * i, 0, 8 * i + 8, 8))
out = io.BytesIO()
img.save(out, "JPEG", quality=95, subsampling=0)
data = out.getvalue()
at = data.index(b"\xff\xee")
length = (data[at + 2] << 8) | data[at + 3]
open("cmyk_plain.jpg", "wb").write(data[:at] + data[at + 2 + length:])
PY

for f in baseline420 s444 s422 progressive restart arithmetic odd37x23 cmyk; do
    djpeg -dct int -pnm "$f.jpg" > "$f.ppm"
done
# Grey files come out as PGM by default; the picture decodes them to RGB.
djpeg -dct int -rgb -pnm grey.jpg > grey.ppm

for f in baseline420 odd37x23 progressive cmyk; do
    for s in 2 4 8; do
        djpeg -dct int -scale "1/$s" -pnm "$f.jpg" > "$f.s$s.ppm"
    done
done

# The grey-scale setting: libjpeg's luminance of a colour picture (a PGM file).
djpeg -dct int -grayscale -pnm baseline420.jpg > baseline420.grey.pgm

djpeg -dct int -colors 256 -pnm baseline420.jpg > baseline420.q256.ppm
djpeg -dct int -colors 256 -pnm odd37x23.jpg > odd37x23.q256.ppm

# The encoder's reference: cjpeg's defaults at quality 90.
cjpeg -quality 90 s444.ppm > s444.q90.jpg
