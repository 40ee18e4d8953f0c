#!/usr/bin/python3
"""Makes the GIF test fixtures with PIL and ImageMagick, and beside each one the
reference decode of a frame as a binary PPM: the logical screen filled with the
background colour (global table entry, black without a global table), with the
frame's opaque pixels drawn on it.

The frame's pixels come from PIL's decoder. Frame 0 is read as raw indexes (so
transparency is exact); later frames are read from PIL's composed RGB image inside
the frame's rectangle, so they must be opaque.

Run from anywhere: /usr/bin/python3 tests/data/gif/make_fixtures.py
"""
import os
import random
import struct
import subprocess
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def path(name):
    return os.path.join(HERE, name)


def palette_image(size, palette, seed, levels=None):
    """A P image with pseudo-random indexes below `levels` in smooth-ish runs."""
    rnd = random.Random(seed)
    levels = levels or len(palette) // 3
    im = Image.new("P", size)
    im.putpalette(palette)
    data = []
    value = 0
    for _ in range(size[0] * size[1]):
        if rnd.random() < 0.35:
            value = rnd.randrange(levels)
        data.append(value)
    im.putdata(data)
    return im


def ramp_palette(count, seed):
    rnd = random.Random(seed)
    return [rnd.randrange(256) for _ in range(count * 3)]


def parse(data):
    """Just enough GIF structure to compose a reference frame."""
    assert data[:3] == b"GIF"
    w, h, flags, bg, _ = struct.unpack("<HHBBB", data[6:13])
    pos = 13

    def table(pos, bits):
        n = 2 << bits
        return [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)], pos + 3 * n

    gct = None
    if flags & 0x80:
        gct, pos = table(pos, flags & 7)
    frames, gce = [], None
    while pos < len(data):
        b = data[pos]
        pos += 1
        if b == 0x3B:
            break
        if b == 0x21:
            label = data[pos]
            pos += 1
            blocks = []
            while data[pos]:
                blocks.append(data[pos + 1:pos + 1 + data[pos]])
                pos += 1 + data[pos]
            pos += 1
            if label == 0xF9:
                gce = blocks[0]
        elif b == 0x2C:
            left, top, fw, fh, ff = struct.unpack("<HHHHB", data[pos:pos + 9])
            pos += 9
            lct = None
            if ff & 0x80:
                lct, pos = table(pos, ff & 7)
            pos += 1
            while data[pos]:
                pos += 1 + data[pos]
            pos += 1
            trans = gce[3] if gce and gce[0] & 1 else None
            frames.append(dict(rect=(left, top, fw, fh), table=lct or gct, trans=trans))
            gce = None
        else:
            raise ValueError("unexpected block %r" % b)
    return dict(size=(w, h), gct=gct, bg=bg, frames=frames)


def write_reference(name, frame_index=0):
    data = open(path(name), "rb").read()
    info = parse(data)
    w, h = info["size"]
    gct = info["gct"]
    bg = gct[info["bg"]] if gct and info["bg"] < len(gct) else (0, 0, 0)
    pixels = [bg] * (w * h)
    frame = info["frames"][frame_index]
    left, top, fw, fh = frame["rect"]
    im = Image.open(path(name))
    im.seek(frame_index)
    im.load()
    if frame_index == 0:
        assert im.mode == "P", (name, im.mode)
        table = frame["table"] or []
    else:
        assert frame["trans"] is None, name
        im = im.convert("RGB")
    for y in range(top, min(top + fh, h)):
        for x in range(left, min(left + fw, w)):
            if frame_index == 0:
                index = im.getpixel((x, y))
                if index == frame["trans"]:
                    continue
                pixels[y * w + x] = table[index] if index < len(table) else (0, 0, 0)
            else:
                pixels[y * w + x] = im.getpixel((x, y))
    suffix = "" if frame_index == 0 else ".f%d" % frame_index
    out = path(name[:-4] + suffix + ".ppm")
    with open(out, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w, h))
        f.write(bytes(c for p in pixels for c in p))


def magick(*args):
    subprocess.run(["convert", *args], check=True)


def move_global_table_to_frame(src, dst):
    """Rewrites a single-frame GIF so its colour table is local to the frame."""
    data = bytearray(open(path(src), "rb").read())
    flags = data[10]
    assert flags & 0x80
    bits = flags & 7
    size = 3 * (2 << bits)
    table = data[13:13 + size]
    data[10] = flags & 0x70
    del data[13:13 + size]
    pos = 13
    while data[pos] == 0x21:  # skip extensions
        pos += 2
        while data[pos]:
            pos += 1 + data[pos]
        pos += 1
    assert data[pos] == 0x2C
    data[pos + 9] |= 0x80 | bits
    data[pos + 10:pos + 10] = table
    open(path(dst), "wb").write(bytes(data))


def main():
    tmp = tempfile.mkdtemp()

    def png(im, name):
        p = os.path.join(tmp, name)
        im.save(p)
        return p

    # GIF87a by ImageMagick, 7 colours, odd size.
    magick(png(palette_image((13, 9), ramp_palette(7, 1), 11), "a.png"), "GIF87:" + path("im_gif87a.gif"))
    write_reference("im_gif87a.gif")

    # GIF89a with a transparent index, by PIL.
    im = palette_image((12, 10), ramp_palette(16, 2), 12)
    for i in range(10):
        im.putpixel((i, i), 2)
        im.putpixel((11 - i, i), 2)
    im.save(path("pil_transparent.gif"), transparency=2, optimize=False)
    write_reference("pil_transparent.gif")

    # Interlaced: PIL interlaces pictures of 16 pixels and more; ImageMagick on request.
    palette_image((23, 19), ramp_palette(32, 3), 13).save(path("pil_interlaced.gif"), interlace=True)
    write_reference("pil_interlaced.gif")
    magick(png(palette_image((31, 17), ramp_palette(12, 4), 14), "b.png"), "-interlace", "GIF",
           path("im_interlaced.gif"))
    write_reference("im_interlaced.gif")

    # Two colours (LZW minimum code size 2), one pixel, a thin column and a long row.
    palette_image((19, 7), ramp_palette(2, 5), 21).save(path("bilevel.gif"))
    write_reference("bilevel.gif")
    palette_image((1, 1), ramp_palette(4, 6), 15).save(path("one_pixel.gif"))
    write_reference("one_pixel.gif")
    palette_image((1, 37), ramp_palette(8, 7), 16).save(path("thin_column.gif"), interlace=False)
    write_reference("thin_column.gif")
    palette_image((301, 1), ramp_palette(64, 8), 17).save(path("long_row.gif"), interlace=False)
    write_reference("long_row.gif")

    # Noise over 256 colours: the code table fills up and clear codes follow.
    rnd = random.Random(9)
    noise = Image.new("P", (64, 64))
    noise.putpalette(ramp_palette(256, 9))
    noise.putdata([rnd.randrange(256) for _ in range(64 * 64)])
    noise.save(path("noise256.gif"), interlace=False)
    write_reference("noise256.gif")

    # A frame smaller than the logical screen, placed inside it, on the background colour.
    magick(png(palette_image((11, 7), ramp_palette(8, 10), 18), "c.png"), "-background", "#3366cc",
           "-repage", "20x15+5+4", path("offset_frame.gif"))
    write_reference("offset_frame.gif")

    # Only a local colour table (derived from a PIL file).
    palette_image((9, 8), ramp_palette(16, 11), 19).save(os.path.join(tmp, "d.gif"))
    os.replace(os.path.join(tmp, "d.gif"), path("local_table.gif"))
    move_global_table_to_frame("local_table.gif", "local_table.gif")
    write_reference("local_table.gif")

    # Comments over two lines, by ImageMagick.
    magick("-comment", "Made for Pictavo\\nsecond line",
           png(palette_image((8, 6), ramp_palette(4, 12), 20), "e.png"), path("comments.gif"))
    write_reference("comments.gif")

    # Three frames looping for ever, each with its own colours (local tables after the
    # first), the last one smaller and placed inside the screen.
    frames = [png(palette_image((16, 12), ramp_palette(8, 20 + i), 30 + i), "f%d.png" % i) for i in range(2)]
    frames.append(png(palette_image((7, 5), ramp_palette(6, 22), 32), "f2.png"))
    magick("-delay", "10", "-loop", "0", frames[0], frames[1], "(", frames[2], "-repage", "16x12+3+2", ")",
           path("anim_loop.gif"))
    for i in range(3):
        write_reference("anim_loop.gif", i)


if __name__ == "__main__":
    main()
