#!/usr/bin/env python3
"""Writes the small 24-bit bitmaps the skin tests load as resources.
Run from this folder; the output is committed, so tests need no generator."""
import struct

MAGENTA = (255, 0, 255)


def write_bmp(path, width, height, pixel):
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + image)


def solid(color):
    return lambda x, y: color


# Button faces: one colour per state, larger than the test buttons.
write_bmp("bitmaps/face_normal.bmp", 64, 48, solid((200, 0, 0)))
write_bmp("bitmaps/face_down.bmp", 64, 48, solid((0, 200, 0)))
write_bmp("bitmaps/face_hover.bmp", 64, 48, solid((0, 0, 200)))
write_bmp("bitmaps/face_disabled.bmp", 64, 48, solid((200, 200, 0)))
# Smaller than its button.
write_bmp("bitmaps/face_small.bmp", 4, 4, solid((0, 200, 200)))


# Background 60 x 40: a magenta frame two pixels wide around a grey face,
# with a magenta hole at (20..29, 10..19).
def background(x, y):
    if x < 2 or y < 2 or x >= 58 or y >= 38:
        return MAGENTA
    if 20 <= x < 30 and 10 <= y < 20:
        return MAGENTA
    return (90, 90, 90)


write_bmp("bitmaps/background.bmp", 60, 40, background)
write_bmp("bitmaps/all_key.bmp", 16, 16, solid(MAGENTA))
