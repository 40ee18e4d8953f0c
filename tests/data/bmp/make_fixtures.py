#!/usr/bin/python3
"""Remakes the BMP test fixtures and their reference decodes.

Every fixture is written byte by byte here, so the header variant, compression and
row layout are exactly the ones under test. Each is then decoded by an independent
reader into NAME.ppm (binary P6, 8 bits per channel): Python PIL where it reads the
kind, ImageMagick for RLE (PIL 9.4 misreads RLE deltas and odd RLE4 absolute runs)
and for 16-bit pixels (PIL expands 5 and 6-bit channels by truncating v * 255 / max,
ImageMagick by bit replication, which is what our bitmaps do). Where both readers
handle a file the script checks they agree, apart from that 16-bit rounding.

Run from anywhere: /usr/bin/python3 tests/data/bmp/make_fixtures.py
"""

import io
import os
import random
import struct
import subprocess
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 13, 7  # odd width, so every depth needs row padding

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3


def info_header(size, width, height, bpp, compression, image_size, colours_used,
                masks=(0, 0, 0, 0)):
    h = struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, image_size,
                    2835, 2835, colours_used, 0)
    if size >= 52:
        h += struct.pack("<III", *masks[:3])
    if size >= 56:
        h += struct.pack("<I", masks[3])
    if size == 108 or size == 124:
        h += struct.pack("<I", 0x73524742)  # LCS_sRGB
        h += b"\0" * (size - len(h))
    return h + b"\0" * (size - len(h))


def core_header(width, height, bpp):
    return struct.pack("<IHHHH", 12, width, height, 1, bpp)


def bmp_file(header, pixels, palette=b"", after_header=b""):
    offset = 14 + len(header) + len(after_header) + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header +
            after_header + palette + pixels)


def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def pack_rows(rows, bpp, bottom_up=True):
    """rows: list (top to bottom) of lists of pixel values."""
    out = b""
    for row in (reversed(rows) if bottom_up else rows):
        if bpp < 8:
            bits = 0
            data = bytearray()
            acc = 0
            for v in row:
                acc = (acc << bpp) | v
                bits += bpp
                if bits == 8:
                    data.append(acc)
                    acc, bits = 0, 0
            if bits:
                data.append(acc << (8 - bits))
        else:
            data = b"".join(v.to_bytes(bpp // 8, "little") for v in row)
        out += bytes(data) + b"\0" * (stride(len(row), bpp) - len(data))
    return out


def palette_bytes(colours, quad=True):
    """colours as (r, g, b); stored B, G, R (+ reserved)."""
    return b"".join(bytes([b, g, r]) + (b"\x7f" if quad else b"") for r, g, b in colours)


def random_rows(rng, maximum):
    return [[rng.randrange(maximum + 1) for _ in range(W)] for _ in range(H)]


def distinct_palette(rng, n):
    return [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(n)]


def rle8(ops):
    return bytes(ops)


def fixtures():
    rng = random.Random(1642000)
    f = {}

    rows = random_rows(rng, 0xFFFFFF)
    f["bgr24"] = ("pil", bmp_file(info_header(40, W, H, 24, BI_RGB, stride(W, 24) * H, 0),
                                  pack_rows(rows, 24)))
    f["bgr24_topdown"] = ("pil", bmp_file(info_header(40, W, -H, 24, BI_RGB, 0, 0),
                                          pack_rows(rows, 24, bottom_up=False)))
    f["core_bgr24"] = ("pil", bmp_file(core_header(W, H, 24), pack_rows(rows, 24)))

    rows = random_rows(rng, 0xFFFFFFFF)
    f["bgrx32"] = ("pil", bmp_file(info_header(40, W, H, 32, BI_RGB, 0, 0), pack_rows(rows, 32)))
    # Standard masks with alpha, in a V5 header: the file's own layout.
    f["bgra32_v5"] = ("pil", bmp_file(
        info_header(124, W, H, 32, BI_BITFIELDS, 0, 0, (0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        pack_rows(rows, 32)))
    # Non-standard 8-bit masks: decoded through the generic mask path.
    f["xbgr32_v5"] = ("pil", bmp_file(
        info_header(124, W, -H, 32, BI_BITFIELDS, 0, 0, (0xFF000000, 0xFF0000, 0xFF00, 0)),
        pack_rows(rows, 32, bottom_up=False)))
    f["rgba32_v4"] = ("pil", bmp_file(
        info_header(108, W, H, 32, BI_BITFIELDS, 0, 0, (0xFF, 0xFF00, 0xFF0000, 0xFF000000)),
        pack_rows(rows, 32)))
    f["xbgr32_v3_56"] = ("im", bmp_file(
        info_header(56, W, H, 32, BI_BITFIELDS, 0, 0, (0xFF000000, 0xFF0000, 0xFF00, 0)),
        pack_rows(rows, 32)))
    f["xbgr32_v2_52"] = ("im", bmp_file(
        info_header(52, W, H, 32, BI_BITFIELDS, 0, 0, (0xFF000000, 0xFF0000, 0xFF00, 0)),
        pack_rows(rows, 32)))

    pal = distinct_palette(rng, 2)
    rows = random_rows(rng, 1)
    f["pal1"] = ("pil", bmp_file(info_header(40, W, H, 1, BI_RGB, 0, 2), pack_rows(rows, 1),
                                 palette_bytes(pal)))
    pal = distinct_palette(rng, 16)
    rows = random_rows(rng, 15)
    f["pal4"] = ("pil", bmp_file(info_header(40, W, H, 4, BI_RGB, 0, 0), pack_rows(rows, 4),
                                 palette_bytes(pal)))
    f["core_pal4"] = ("pil", bmp_file(core_header(W, H, 4), pack_rows(rows, 4),
                                      palette_bytes(pal, quad=False)))
    pal = distinct_palette(rng, 20)
    rows = random_rows(rng, 19)
    f["pal8_short"] = ("pil", bmp_file(info_header(40, W, H, 8, BI_RGB, 0, 20),
                                       pack_rows(rows, 8), palette_bytes(pal)))
    f["pal8_topdown"] = ("pil", bmp_file(info_header(40, W, -H, 8, BI_RGB, 0, 20),
                                         pack_rows(rows, 8, bottom_up=False), palette_bytes(pal)))
    f["pal8_os2_64"] = ("pil", bmp_file(info_header(64, W, H, 8, BI_RGB, 0, 20),
                                        pack_rows(rows, 8), palette_bytes(pal)))

    rows = random_rows(rng, 0xFFFF)
    f["rgb555"] = ("im", bmp_file(info_header(40, W, H, 16, BI_RGB, 0, 0), pack_rows(rows, 16)))
    f["rgb565_bitfields"] = ("im", bmp_file(info_header(40, W, H, 16, BI_BITFIELDS, 0, 0),
                                            pack_rows(rows, 16),
                                            after_header=struct.pack("<III", 0xF800, 0x7E0, 0x1F)))
    f["rgb555_v4_bitfields"] = ("im", bmp_file(
        info_header(108, W, H, 16, BI_BITFIELDS, 0, 0, (0x7C00, 0x3E0, 0x1F, 0)),
        pack_rows(rows, 16)))
    # Blue in the high bits: not a layout our bitmaps keep, so it becomes 32 bits.
    f["bgr565_bitfields"] = ("im", bmp_file(info_header(40, W, H, 16, BI_BITFIELDS, 0, 0),
                                            pack_rows(rows, 16),
                                            after_header=struct.pack("<III", 0x1F, 0x7E0, 0xF800)))

    # RLE8 (file rows bottom-up): encoded and absolute runs (odd length, padded), a row
    # left short by an end of line, a delta, and an end of bitmap before the top row.
    # Palette entry 0 is not black, so unwritten pixels show it.
    pal = distinct_palette(rng, 16)
    ops = [5, 1, 0, 5, 2, 3, 4, 5, 6, 0, 3, 7, 0, 0,           # row 0: 5 + 5 + 3
           4, 8, 0, 0,                                          # row 1: 4, rest unwritten
           0, 13] + [(i * 5) % 16 for i in range(13)] + [0, 0, 0,  # row 2: absolute 13
           2, 9, 0, 2, 4, 1, 3, 10, 0, 0,                       # row 3: 2, delta to row 4 x 6
           13, 11, 0, 0,                                        # row 5: full
           0, 1]                                                # end of bitmap, row 6 unwritten
    data = rle8(ops)
    f["rle8"] = ("im", bmp_file(info_header(40, W, H, 8, BI_RLE8, len(data), 16), data,
                                palette_bytes(pal)))
    # RLE4: odd-length encoded and absolute runs.
    ops = [5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 3, 0x89, 0, 0,  # row 0: 5 + 5 + 3
           0, 7, 0xAB, 0xCD, 0xEF, 0x10, 0, 0,                 # row 1: absolute 7, rest unwritten
           0, 2, 2, 2, 1, 0xF3, 0, 0,                          # delta row 2 -> row 4 x 2, one pixel
           13, 0x4E, 0, 0,                                     # row 5: full
           0, 1]
    data = rle8(ops)
    f["rle4"] = ("im", bmp_file(info_header(40, W, H, 4, BI_RLE4, len(data), 0), data,
                                palette_bytes(pal)))
    return f


def decode_pil(data):
    return Image.open(io.BytesIO(data)).convert("RGB")


def decode_im(data):
    # ImageMagick exits with "unexpected end-of-file" after an RLE end of bitmap that
    # comes before the last row, yet writes the whole image; the size check below
    # makes sure the picture is complete.
    run = subprocess.run(["convert", "bmp:-", "-depth", "8", "ppm:-"], input=data,
                         capture_output=True)
    image = Image.open(io.BytesIO(run.stdout)).convert("RGB")
    image.load()
    if image.size != (W, H):
        raise RuntimeError(run.stderr.decode())
    return image


KNOWN_DISAGREEMENTS = {
    "rgb555": "PIL truncates 5-bit channels",
    "rgb565_bitfields": "PIL truncates 5 and 6-bit channels",
    "rgb555_v4_bitfields": "PIL truncates 5-bit channels",
    "pal8_os2_64": "ImageMagick reads 3-byte palette entries after a 64-byte header",
    "rle8": "PIL 9.4 reads four bytes for a delta",
    "rle4": "PIL 9.4 reads four bytes for a delta and drops odd absolute pixels",
}


def main():
    ok = True
    for name, (reference, data) in fixtures().items():
        with open(os.path.join(HERE, name + ".bmp"), "wb") as out:
            out.write(data)
        decoders = {"pil": decode_pil, "im": decode_im}
        image = decoders[reference](data)
        image.save(os.path.join(HERE, name + ".ppm"))
        other = "im" if reference == "pil" else "pil"
        try:
            second = decoders[other](data)
        except Exception as e:  # PIL refuses some kinds
            print(f"{name}: {other} cannot read it ({e})")
            continue
        if list(second.getdata()) != list(image.getdata()):
            note = KNOWN_DISAGREEMENTS.get(name)
            if not note:
                ok = False
            print(f"{name}: {reference} and {other} disagree ({note or 'unexpected'})")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
