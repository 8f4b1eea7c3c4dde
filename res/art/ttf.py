"""Reads glyph outlines from a TrueType file and turns text into coverage masks.

Only what the art needs: the Unicode BMP character map, horizontal metrics and
quadratic outlines (simple and composite glyphs); no hinting, no kerning.
"""

import struct


class Font:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.tables = self._read_directory()
        head = self._table("head")
        self.units_per_em = struct.unpack_from(">H", head, 18)[0]
        self.long_loca = struct.unpack_from(">h", head, 50)[0] == 1
        hhea = self._table("hhea")
        self.ascender, self.descender = struct.unpack_from(">hh", hhea, 4)
        self.num_hmetrics = struct.unpack_from(">H", hhea, 34)[0]
        self.cmap = self._read_cmap()

    def _read_directory(self):
        count = struct.unpack_from(">H", self.data, 4)[0]
        tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", self.data, 12 + 16 * i)
            tables[tag.decode("latin-1")] = (offset, length)
        return tables

    def _table(self, tag):
        offset, length = self.tables[tag]
        return self.data[offset : offset + length]

    def _read_cmap(self):
        cmap = self._table("cmap")
        count = struct.unpack_from(">H", cmap, 2)[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", cmap, 4 + 8 * i)
            if platform == 3 and encoding == 1 and struct.unpack_from(">H", cmap, offset)[0] == 4:
                return self._read_cmap_format4(cmap, offset)
        raise ValueError("font has no Unicode BMP character map")

    @staticmethod
    def _read_cmap_format4(cmap, offset):
        segments = struct.unpack_from(">H", cmap, offset + 6)[0] // 2
        ends = struct.unpack_from(">%dH" % segments, cmap, offset + 14)
        starts_at = offset + 16 + 2 * segments
        starts = struct.unpack_from(">%dH" % segments, cmap, starts_at)
        deltas = struct.unpack_from(">%dh" % segments, cmap, starts_at + 2 * segments)
        range_at = starts_at + 4 * segments
        ranges = struct.unpack_from(">%dH" % segments, cmap, range_at)
        mapping = {}
        for s in range(segments):
            for code in range(starts[s], min(ends[s], 0xFFFE) + 1):
                if ranges[s] == 0:
                    glyph = (code + deltas[s]) & 0xFFFF
                else:
                    at = range_at + 2 * s + ranges[s] + 2 * (code - starts[s])
                    glyph = struct.unpack_from(">H", cmap, at)[0]
                    if glyph:
                        glyph = (glyph + deltas[s]) & 0xFFFF
                if glyph:
                    mapping[code] = glyph
        return mapping

    def advance(self, glyph):
        hmtx_offset = self.tables["hmtx"][0]
        index = min(glyph, self.num_hmetrics - 1)
        return struct.unpack_from(">H", self.data, hmtx_offset + 4 * index)[0]

    def _glyph_range(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_loca:
            start, end = struct.unpack_from(">II", self.data, loca + 4 * glyph)
        else:
            start, end = (2 * v for v in struct.unpack_from(">HH", self.data, loca + 2 * glyph))
        base = self.tables["glyf"][0]
        return base + start, base + end

    def contours(self, glyph):
        """Closed contours in font units (y up), each a list of (x, y, on_curve)."""
        start, end = self._glyph_range(glyph)
        if start == end:
            return []
        count = struct.unpack_from(">h", self.data, start)[0]
        if count >= 0:
            return self._simple_contours(start, count)
        return self._composite_contours(start)

    def _simple_contours(self, at, count):
        d = self.data
        ends = struct.unpack_from(">%dH" % count, d, at + 10)
        p = at + 10 + 2 * count
        p += 2 + struct.unpack_from(">H", d, p)[0]  # skip the hinting program
        points = ends[-1] + 1 if count else 0
        flags = []
        while len(flags) < points:
            flag = d[p]
            p += 1
            flags.append(flag)
            if flag & 8:
                flags.extend([flag] * d[p])
                p += 1
        coords = []
        for short_bit, same_bit in ((2, 16), (4, 32)):
            value, values = 0, []
            for flag in flags:
                if flag & short_bit:
                    delta = d[p]
                    p += 1
                    value += delta if flag & same_bit else -delta
                elif not flag & same_bit:
                    value += struct.unpack_from(">h", d, p)[0]
                    p += 2
                values.append(value)
            coords.append(values)
        result, first = [], 0
        for last in ends:
            result.append([(coords[0][i], coords[1][i], flags[i] & 1) for i in range(first, last + 1)])
            first = last + 1
        return result

    def _composite_contours(self, at):
        d = self.data
        p = at + 10
        result = []
        while True:
            flags, glyph = struct.unpack_from(">HH", d, p)
            p += 4
            if flags & 1:
                dx, dy = struct.unpack_from(">hh", d, p)
                p += 4
            else:
                dx, dy = struct.unpack_from(">bb", d, p)
                p += 2
            xx, xy, yx, yy = 1.0, 0.0, 0.0, 1.0
            if flags & 8:
                xx = yy = struct.unpack_from(">h", d, p)[0] / 16384
                p += 2
            elif flags & 0x40:
                xx, yy = (v / 16384 for v in struct.unpack_from(">hh", d, p))
                p += 4
            elif flags & 0x80:
                xx, xy, yx, yy = (v / 16384 for v in struct.unpack_from(">hhhh", d, p))
                p += 8
            if not flags & 2:
                raise ValueError("composite glyphs placed by point numbers are not supported")
            for contour in self.contours(glyph):
                result.append([(x * xx + y * yx + dx, x * xy + y * yy + dy, on) for x, y, on in contour])
            if not flags & 0x20:
                return result

    def glyph(self, char):
        return self.cmap.get(ord(char), 0)


def _flatten(contour, steps=6):
    """Turns a quadratic B-spline contour into a polygon."""
    if not any(on for _, _, on in contour):
        contour = [((x0 + x1) / 2, (y0 + y1) / 2, 1) for (x0, y0, _), (x1, y1, _) in
                   zip(contour, contour[1:] + contour[:1])]
    while not contour[0][2]:
        contour = contour[1:] + contour[:1]
    points = []
    n = len(contour)
    x0, y0 = contour[0][0], contour[0][1]
    points.append((x0, y0))
    i = 1
    while i <= n:
        x1, y1, on1 = contour[i % n]
        if on1:
            points.append((x1, y1))
            x0, y0 = x1, y1
            i += 1
            continue
        x2, y2, on2 = contour[(i + 1) % n]
        if not on2:
            x2, y2 = (x1 + x2) / 2, (y1 + y2) / 2
            i += 1
        else:
            i += 2
        for s in range(1, steps + 1):
            t = s / steps
            u = 1 - t
            points.append((u * u * x0 + 2 * u * t * x1 + t * t * x2, u * u * y0 + 2 * u * t * y1 + t * t * y2))
        x0, y0 = x2, y2
    return points


def text_width(font, text, size, tracking=0.0):
    scale = size / font.units_per_em
    return sum(font.advance(font.glyph(c)) * scale for c in text) + tracking * max(len(text) - 1, 0)


def text_polygons(font, text, size, x, baseline, tracking=0.0):
    """Polygons of the text in pixel coordinates (y down), pen starting at x."""
    scale = size / font.units_per_em
    polygons = []
    pen = x
    for char in text:
        glyph = font.glyph(char)
        for contour in font.contours(glyph):
            polygons.append([(pen + px * scale, baseline - py * scale) for px, py in _flatten(contour)])
        pen += font.advance(glyph) * scale + tracking
    return polygons


def coverage_mask(polygons, subrows=16):
    """Rasterises polygons (non-zero winding) into (left, top, width, height, coverage list).

    Each pixel row is sampled on `subrows` lines; along a line the covered span
    is measured exactly, so horizontal edges are smooth too.
    """
    xs = [x for poly in polygons for x, _ in poly]
    ys = [y for poly in polygons for _, y in poly]
    if not xs:
        return 0, 0, 0, 0, []
    left, top = int(min(xs)) - 1, int(min(ys)) - 1
    width, height = int(max(xs)) + 2 - left, int(max(ys)) + 2 - top
    edges = []
    for poly in polygons:
        for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
            if y0 != y1:
                edges.append((x0 - left, y0 - top, x1 - left, y1 - top))
    cover = [0.0] * (width * height)
    for row in range(height):
        acc = [0.0] * (width + 1)
        for sub in range(subrows):
            y = row + (sub + 0.5) / subrows
            crossings = []
            for x0, y0, x1, y1 in edges:
                if (y0 <= y < y1) or (y1 <= y < y0):
                    crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1))
            crossings.sort()
            winding = 0
            for (xa, direction), (xb, _) in zip(crossings, crossings[1:]):
                winding += direction
                if winding != 0 and xb > xa:
                    _add_span(acc, xa, xb)
        base = row * width
        for i in range(width):
            cover[base + i] = min(1.0, acc[i] / subrows)
    return left, top, width, height, cover


def _add_span(acc, xa, xb):
    ia, ib = int(xa), int(xb)
    if ia == ib:
        acc[ia] += xb - xa
        return
    acc[ia] += ia + 1 - xa
    for i in range(ia + 1, ib):
        acc[i] += 1.0
    if ib < len(acc):
        acc[ib] += xb - ib
