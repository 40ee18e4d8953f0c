#!/bin/sh
# Remakes claims16000.jpg and the flat pictures below: a 16 x 16 picture of 291 bytes (ImageMagick, quality 10) whose
# frame header is patched to claim 16000 x 16000 pixels. libjpeg alone decodes it to a
# grey picture of 768 MB; the reader must refuse it at once. Needs python3 and
# ImageMagick's convert.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 16x16 gradient:red-blue -quality 10 "$tmp/small.jpg"
python3 - "$tmp/small.jpg" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
sof = data.index(b"\xff\xc0")
data[sof + 5:sof + 9] = (16000).to_bytes(2, "big") * 2  # height, then width
open("claims16000.jpg", "wb").write(data)
PY

# The smallest honest files of a large picture must still load: a flat grey 1024 x 1024
# picture at quality 1, Huffman-coded as small as cjpeg makes it (optimised progressive,
# about two bits per 8 x 8 block), and arithmetic-coded (a few dozen bytes).
python3 - "$tmp/flat.pgm" <<'PY'
import sys
open(sys.argv[1], "wb").write(b"P5\n1024 1024\n255\n" + bytes([128]) * (1024 * 1024))
PY
cjpeg -quality 1 -progressive -optimize "$tmp/flat.pgm" > flat1024.q1.jpg 2>/dev/null
cjpeg -quality 1 -arithmetic "$tmp/flat.pgm" > flat1024.arith.jpg 2>/dev/null
