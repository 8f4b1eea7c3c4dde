"""A small deterministic 2-D renderer and the BMP, ICO and PNG writers the art needs.

Shapes are signed distance functions: a pixel's coverage is how far its centre
lies inside the edge, clamped to one pixel, which anti-aliases every edge.
Colours are (r, g, b) tuples of 0..255 floats; "paint" is a colour or a
function of the pixel centre giving one, optionally with an opacity as a
fourth value.
"""

import math
import struct
import zlib


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hex_colour(text):
    return tuple(float(int(text[i : i + 2], 16)) for i in (1, 3, 5))


# --- shapes: each returns (signed distance function, bounding box)


def round_rect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return sdf, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r), (cx - r, cy - r, cx + r, cy + r)


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / length2)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r

    return sdf, (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)


def ring(shape, width):
    """The band of the given width just inside the shape's edge."""
    sdf, box = shape
    return (lambda x, y: max(sdf(x, y), -sdf(x, y) - width)), box


def union(*shapes):
    sdfs = [s for s, _ in shapes]
    boxes = [b for _, b in shapes]
    box = (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes), max(b[3] for b in boxes))
    return (lambda x, y: min(f(x, y) for f in sdfs)), box


# --- paints


def vertical(y0, y1, c0, c1):
    span = (y1 - y0) or 1.0
    return lambda x, y: mix(c0, c1, clamp((y - y0) / span))


def radial(cx, cy, r, stops):
    """stops: (position 0..1, colour) pairs, ascending."""

    def paint(x, y):
        t = clamp(math.hypot(x - cx, y - cy) / r)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if t <= p1:
                return mix(c0, c1, clamp((t - p0) / ((p1 - p0) or 1.0)))
        return stops[-1][1]

    return paint


class Canvas:
    """RGBA pixels, straight (not premultiplied) alpha, 0..255 colour floats."""

    def __init__(self, width, height, colour=(0.0, 0.0, 0.0), alpha=1.0):
        self.width, self.height = width, height
        self.rgb = [list(colour) for _ in range(width * height)]
        self.alpha = [alpha] * (width * height)

    def blend(self, x, y, colour, a):
        if a <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        i = y * self.width + x
        below = self.alpha[i]
        out = a + below * (1.0 - a)
        if out <= 0.0:
            return
        keep = below * (1.0 - a) / out
        take = a / out
        px = self.rgb[i]
        px[0] = colour[0] * take + px[0] * keep
        px[1] = colour[1] * take + px[1] * keep
        px[2] = colour[2] * take + px[2] * keep
        self.alpha[i] = out

    def fill(self, shape, paint, opacity=1.0, offset=(0.0, 0.0)):
        sdf, (x0, y0, x1, y1) = shape
        ox, oy = offset
        colour_at = paint if callable(paint) else (lambda x, y: paint)
        for y in range(max(0, int(y0 + oy) - 1), min(self.height, int(y1 + oy) + 2)):
            for x in range(max(0, int(x0 + ox) - 1), min(self.width, int(x1 + ox) + 2)):
                cx, cy = x + 0.5 - ox, y + 0.5 - oy
                cover = clamp(0.5 - sdf(cx, cy))
                if cover > 0.0:
                    colour = colour_at(cx, cy)
                    if len(colour) == 4:
                        cover *= colour[3]
                    self.blend(x, y, colour, cover * opacity)

    def fill_mask(self, mask, paint, opacity=1.0, offset=(0, 0), clip=None):
        """clip: (x0, y0, x1, y1), right and bottom exclusive, or None."""
        left, top, width, height, cover = mask
        colour_at = paint if callable(paint) else (lambda x, y: paint)
        x0, y0, x1, y1 = clip or (0, 0, self.width, self.height)
        for j in range(height):
            for i in range(width):
                c = cover[j * width + i]
                x, y = left + i + offset[0], top + j + offset[1]
                if c > 0.0 and x0 <= x < x1 and y0 <= y < y1:
                    self.blend(x, y, colour_at(x + 0.5, y + 0.5), c * opacity)

    def crop(self, x0, y0, width, height):
        out = Canvas(width, height)
        for y in range(height):
            for x in range(width):
                sx, sy = x0 + x, y0 + y
                if 0 <= sx < self.width and 0 <= sy < self.height:
                    i = sy * self.width + sx
                    out.rgb[y * width + x] = list(self.rgb[i])
                    out.alpha[y * width + x] = self.alpha[i]
        return out

    def paste(self, other, x0, y0, width=None, height=None):
        """Copies a block from other's top-left corner, as a blit does: no blending."""
        width = other.width if width is None else min(width, other.width)
        height = other.height if height is None else min(height, other.height)
        for y in range(height):
            for x in range(width):
                dx, dy = x0 + x, y0 + y
                if 0 <= dx < self.width and 0 <= dy < self.height:
                    self.rgb[dy * self.width + dx] = list(other.rgb[y * other.width + x])
                    self.alpha[dy * self.width + dx] = other.alpha[y * other.width + x]

    def pixel(self, x, y):
        """The pixel as 8-bit (r, g, b)."""
        return tuple(int(clamp(v, 0.0, 255.0) + 0.5) for v in self.rgb[y * self.width + x])

    def pixel_alpha(self, x, y):
        return int(clamp(self.alpha[y * self.width + x]) * 255 + 0.5)


# --- writers


def bmp24(canvas):
    """A 24-bit BI_RGB bottom-up Windows bitmap file."""
    stride = (canvas.width * 3 + 3) & ~3
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(bits), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return header + info + bits


def _icon_dib(canvas):
    """One icon image: 32-bit colour with alpha, then the 1-bit AND mask."""
    w, h = canvas.width, canvas.height
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b = canvas.pixel(x, y)
            colour += bytes((b, g, r, canvas.pixel_alpha(x, y)))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if canvas.pixel_alpha(x, y) == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico(canvases):
    images = [_icon_dib(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png(canvas):
    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            raw += bytes(canvas.pixel(x, y))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + \
        chunk(b"IEND", b"")
