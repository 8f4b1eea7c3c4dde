#!/usr/bin/env python3
"""Draws every picture of the main window: the face, the button faces, the lamps
and the icon, plus preview.png, the face with the controls laid on it.

Usage: make_art.py            write the pictures beside this script
       make_art.py --check    only compare them with what this script draws

Needs Python 3 and Tahoma from Wine's fonts (Debian package fonts-wine). The
output depends on nothing else, so the same script gives the same bytes.

The face is drawn around the controls' pixel rectangles in control_pixels.inc.
Buttons are blitted from their bitmap's top-left corner at the control's size,
so each face is drawn to look complete within that size, on a copy of the face
that lies under it: the seams then cannot show.
"""

import math
import os
import re
import sys

sys.dont_write_bytecode = True  # keep the art folder free of caches

import raster as r  # noqa: E402
import ttf  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/wine/fonts"

FACE_SIZE = (414, 369)
MAGENTA = (255.0, 0.0, 255.0)

ROUND_SIZE = (30, 30)
ON_SIZE = (71, 29)
OFF_SIZE = (70, 29)
COMMAND_SIZE = (77, 29)
LAMP_SIZE = (12, 23)

# Outlines of the lettered keys inside their pictures (left, top, right, bottom),
# within the part the control shows.
ON_KEY = (2, 2, 66, 26)
OFF_KEY = (1, 2, 66, 26)
COMMAND_KEY = (1, 1, 74, 27)

# Control identifiers, as in resource.h.
HIDE, QUIT, ON, OFF, RESET, APPLY, CLOSE = 1000, 1001, 1043, 1044, 1004, 1005, 1006
LABEL, YES, NO = 1009, 1007, 1008
LAMPS = list(range(1024, 1038))

C = r.hex_colour
INK = C("#dfe3e8")
ORANGE = C("#ff8a1e")
RIM = C("#08090a")
HIGHLIGHT = C("#50565f")
SOCKET = C("#070708")
BUTTON_FACE = (240.0, 240.0, 240.0)  # Windows' default; 212/208/200 in the classic look, 245 in Wine
# The switch bezel's right side shows the system's button-face grey, so the
# bezel is drawn in the most usual one.
BEZEL = BUTTON_FACE
HEADER_BOTTOM = 88


def read_control_rects():
    with open(os.path.join(HERE, "control_pixels.inc")) as f:
        rows = re.findall(r"\{(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)\}", f.read())
    return {int(i): (int(x), int(y), int(w), int(h)) for i, x, y, w, h in rows}


def load_font(name):
    path = os.path.join(FONT_DIR, name)
    if not os.path.exists(path):
        raise SystemExit("make_art: %s is missing; install the package fonts-wine" % path)
    return ttf.Font(path)


def read_resource_number(name):
    with open(os.path.join(HERE, "..", "resource.h")) as f:
        return int(re.search(r"#define %s (\d+)" % name, f.read()).group(1))


RECTS = read_control_rects()
# The program widens the question's control to its text, up to the divider.
DIVIDER_X = read_resource_number("NT_FACE_AUTOSTART_DIVIDER_X")
QUESTION = "Run Tallo Utility when the system starts"
QUESTION_SIZE = 15  # bold 11 points at 96 DPI
REGULAR = load_font("tahoma.ttf")
BOLD = load_font("tahomabd.ttf")


def noise(x, y):
    n = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0 - 0.5


def brushed(paint, strength):
    """Horizontal brushed-metal grain over a paint."""

    def grained(x, y):
        base = paint(x, y)
        g = strength * (noise(int(x) // 23, int(y)) + 0.6 * noise(int(x), int(y)))
        return tuple(v + g for v in base)

    return grained


def fading(colour, y0, y1, a0, a1):
    """The colour with an opacity that runs from a0 at y0 to a1 at y1."""
    return lambda x, y: colour + (a0 + (a1 - a0) * r.clamp((y - y0) / (y1 - y0)),)


def cap_height(size):
    return 0.727 * size  # Tahoma's capitals are 1489 of 2048 units tall


def text(canvas, font, content, size, x, baseline, paint, tracking=0.0, opacity=1.0, offset=(0, 0), clip=None):
    mask = ttf.coverage_mask(ttf.text_polygons(font, content, size, x, baseline, tracking))
    canvas.fill_mask(mask, paint, opacity, offset, clip)


def wrapped_text(canvas, font, content, size, rect, paint):
    """Text broken at spaces to fit the rectangle's width and cut at its edges,
    as a static control with word wrapping shows it."""
    x, y, w, h = rect
    line_height = round(size * (font.ascender - font.descender) / font.units_per_em)
    lines, line = [], ""
    for word in content.split(" "):
        candidate = (line + " " + word).strip()
        if line and ttf.text_width(font, candidate, size) > w:
            lines.append(line)
            line = word
        else:
            line = candidate
    lines.append(line)
    ascent = round(size * font.ascender / font.units_per_em)
    for k, line in enumerate(lines):
        text(canvas, font, line, size, x, y + ascent + k * line_height, paint, clip=(x, y, x + w, y + h))


def centred_text(canvas, font, content, size, box, paint, tracking=0.0, opacity=1.0):
    """Centres capitals-height text in box = (x0, y0, x1, y1)."""
    width = ttf.text_width(font, content, size, tracking)
    x = round((box[0] + box[2] - width) / 2)
    baseline = round((box[1] + box[3] + cap_height(size)) / 2)
    text(canvas, font, content, size, x, baseline, paint, tracking, opacity)


def fill_hard(canvas, shape, colour):
    """Fills without anti-aliasing, for the window's outline: the pixels
    outside stay pure key colour, the ones inside get no key colour mixed in."""
    sdf, (x0, y0, x1, y1) = shape
    for y in range(max(0, int(y0)), min(canvas.height, int(y1) + 1)):
        for x in range(max(0, int(x0)), min(canvas.width, int(x1) + 1)):
            if sdf(x + 0.5, y + 0.5) < 0.0:
                canvas.rgb[y * canvas.width + x] = list(colour)


def recess(canvas, x0, y0, x1, y1, radius, floor):
    """A pocket pressed into the panel: dark edge, shaded top, lit lower lip."""
    canvas.fill(r.round_rect(x0, y0, x1, y1 + 1, radius), HIGHLIGHT, 0.8)
    canvas.fill(r.round_rect(x0, y0, x1, y1, radius), RIM)
    inner = r.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1)
    canvas.fill(inner, floor)
    canvas.fill(r.ring(inner, 2.5), fading((0.0, 0.0, 0.0), y0, y0 + (y1 - y0) * 0.6, 0.55, 0.0))


def groove(canvas, x0, x1, y):
    """A horizontal parting line: dark cut with a lit edge below."""
    canvas.fill(r.round_rect(x0, y, x1, y + 1, 0.5), RIM, 0.9)
    canvas.fill(r.round_rect(x0, y + 1, x1, y + 2, 0.5), HIGHLIGHT, 0.7)


def screw(canvas, cx, cy):
    canvas.fill(r.circle(cx, cy + 0.7, 5.5), HIGHLIGHT, 0.7)
    canvas.fill(r.circle(cx, cy, 5.5), RIM)
    canvas.fill(r.circle(cx, cy, 4.6), r.radial(cx - 1.5, cy - 1.5, 6.5, [(0, C("#8a9099")), (1, C("#3a3e44"))]))
    canvas.fill(r.capsule(cx - 3.2, cy + 1.6, cx + 3.2, cy - 1.6, 0.7), C("#1a1c1f"))


def draw_face():
    w, h = FACE_SIZE
    face = r.Canvas(w, h, MAGENTA)
    fill_hard(face, r.round_rect(0, 0, w, h, 22), RIM)
    body = r.round_rect(1.5, 1.5, w - 1.5, h - 1.5, 20.5)
    face.fill(body, brushed(r.vertical(0, h, C("#3b3f46"), C("#1c1e22")), 3.0))
    face.fill(r.ring(body, 1.2), fading(C("#7b828c"), 0, 90, 0.9, 0.0))

    draw_header(face)
    draw_switch_row(face)
    draw_lamp_row(face)
    draw_autostart_panel(face)
    draw_footer(face)
    return face


def draw_header(face):
    text(face, BOLD, "NORVIK", 24, 24, 44, INK, tracking=1.6)
    x = 24 + ttf.text_width(BOLD, "NORVIK", 24, 1.6) + 9
    text(face, BOLD, "TALLO", 24, x, 44, ORANGE, tracking=1.6)
    text(face, BOLD, "AUTO PWM SWITCH UTILITY", 10, 25, 64, C("#8c939c"), tracking=2.2)
    # The pod behind the two round buttons.
    hide, quit_ = RECTS[HIDE], RECTS[QUIT]
    recess(face, hide[0] - 4, hide[1] - 2, quit_[0] + quit_[2] + 3, hide[1] + 29, 15, C("#16171a"))
    groove(face, 14, FACE_SIZE[0] - 14, HEADER_BOTTOM)
    face.fill(r.round_rect(24, HEADER_BOTTOM - 1, 96, HEADER_BOTTOM + 2, 1.5), ORANGE)


def caption(face, content, rect):
    """A row caption at the left edge, centred on the row of the given control."""
    mid = rect[1] + rect[3] / 2
    face.fill(r.circle(28.5, mid, 2.6), ORANGE)
    face.fill(r.circle(28.0, mid - 0.6, 1.0), C("#ffd2a6"), 0.8)
    text(face, BOLD, content, 12, 36, round(mid + cap_height(12) / 2), INK)


def draw_switch_row(face):
    """The On and Off keys in one pocket with a light bezel. The Off control is
    wider than its pictures and the button fills the columns they leave with
    the system's button-face grey, so the bezel's right side lies exactly there
    and any light grey looks like part of it."""
    on, off = RECTS[ON], RECTS[OFF]
    caption(face, "Auto PWM switch", on)
    bezel = off[2] - OFF_SIZE[0]
    floor = 4
    x1 = off[0] + off[2]
    x0 = on[0] + ON_KEY[0] - floor - bezel
    y0, y1 = on[1] + ON_KEY[1] - floor - bezel, on[1] + ON_KEY[3] + floor + bezel
    # Square enough that the right side runs straight over the control's height.
    radius = min(on[1] - y0, y1 - (off[1] + off[3]))
    face.fill(r.round_rect(x0 - 1, y0 - 1, x1 + 1, y1 + 2, radius + 1), HIGHLIGHT, 0.8)
    face.fill(r.round_rect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, radius + 1), RIM)
    face.fill(r.round_rect(x0, y0, x1, y1, radius), BEZEL)
    inner = r.round_rect(x0 + bezel, y0 + bezel, x1 - bezel, y1 - bezel, radius - bezel)
    face.fill(inner, C("#101113"))
    face.fill(r.ring(inner, 2.5), fading((0.0, 0.0, 0.0), y0, y0 + (y1 - y0) * 0.6, 0.55, 0.0))


def draw_lamp_row(face):
    first, last = RECTS[LAMPS[0]], RECTS[LAMPS[-1]]
    caption(face, "PWM status", first)
    recess(face, first[0] - 8, first[1] - 7, last[0] + last[2] + 8, first[1] + first[3] + 7, 6, C("#0b0c0d"))
    for lamp in LAMPS:
        x, y, lw, lh = RECTS[lamp]
        face.fill(r.round_rect(x - 1, y - 1, x + lw + 1, y + lh + 1, 3), C("#2a2d32"))
        face.fill(r.round_rect(x, y, x + lw, y + lh, 2.5), SOCKET)
        face.fill(r.round_rect(x + 1, y + 1, x + lw - 1, y + lh - 1, 2), C("#141518"))


def draw_autostart_panel(face):
    label, yes, no = RECTS[LABEL], RECTS[YES], RECTS[NO]
    x0, y0, x1, y1 = 14, yes[1] - 6, FACE_SIZE[0] - 14, no[1] + no[3] + 8
    face.fill(r.round_rect(x0, y0, x1, y1 + 1, 7), HIGHLIGHT, 0.9)
    face.fill(r.round_rect(x0, y0, x1, y1, 7), C("#1a1b1e"))
    plate = r.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 6)
    face.fill(plate, brushed(r.vertical(y0, y1, C("#f1f3f5"), C("#d3d7dc")), 1.6))
    face.fill(r.ring(plate, 1), fading((255.0, 255.0, 255.0), y0, y1, 0.9, 0.2))
    question_end = label[0] + math.ceil(ttf.text_width(BOLD, QUESTION, QUESTION_SIZE))
    if not question_end < DIVIDER_X < yes[0]:
        raise SystemExit("make_art: the divider at %d is not between the question and Yes" % DIVIDER_X)
    sx = DIVIDER_X
    face.fill(r.round_rect(sx, y0 + 7, sx + 1, y1 - 7, 0.5), C("#aab0b8"))
    face.fill(r.round_rect(sx + 1, y0 + 7, sx + 2, y1 - 7, 0.5), (255.0, 255.0, 255.0), 0.9)


def draw_footer(face):
    reset, close = RECTS[RESET], RECTS[CLOSE]
    groove(face, 14, FACE_SIZE[0] - 14, reset[1] - 22)
    recess(face, reset[0] - 5, reset[1] - 5, close[0] + close[2] + 5, reset[1] + reset[3] + 5, 9, C("#111214"))
    top, bottom = reset[1] + 3, reset[1] + reset[3] - 3
    for x in range(30, reset[0] - 14, 8):
        face.fill(r.capsule(x, top, x, bottom, 2.2), HIGHLIGHT, 0.8, offset=(0, 1))
        face.fill(r.capsule(x, top, x, bottom, 2.2), RIM)
    bottom_y = FACE_SIZE[1] - 20
    screw(face, 20, bottom_y)
    screw(face, FACE_SIZE[0] - 20, bottom_y)
    width = ttf.text_width(BOLD, "NORVIK VGA", 10, 2.5)
    x = round((FACE_SIZE[0] - width) / 2)
    text(face, BOLD, "NORVIK VGA", 10, x, bottom_y + 4, RIM, tracking=2.5, opacity=0.9)
    text(face, BOLD, "NORVIK VGA", 10, x, bottom_y + 4, C("#5f666f"), tracking=2.5, offset=(0, 1), opacity=0.6)


# --- button faces

KEY_STATES = ("normal", "down", "hover", "disabled")


def key_face(face, rect, size, key, label, state):
    """A lettered key. rect: the control's pixel rectangle on the face; key: the
    key's outline inside the bitmap; the letters are centred on the key."""
    out = face.crop(rect[0], rect[1], size[0], size[1])
    x0, y0, x1, y1 = key
    outline = r.round_rect(x0, y0, x1, y1, 5)
    body = r.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 4)
    box = (x0, y0, x1, y1)
    if state == "normal":
        out.fill(outline, RIM)
        out.fill(body, r.vertical(y0, y1, C("#4d535b"), C("#2b2e33")))
        out.fill(r.ring(body, 1), fading(C("#8a919b"), y0, y1, 0.8, 0.0))
        centred_text(out, BOLD, label, 12, (x0, y0 + 1, x1, y1 + 1), RIM, opacity=0.6)
        centred_text(out, BOLD, label, 12, box, INK)
    elif state == "hover":
        out.fill(outline, ORANGE)
        out.fill(body, r.vertical(y0, y1, C("#5a6069"), C("#33373c")))
        out.fill(r.ring(body, 1), fading(C("#9aa1ab"), y0, y1, 0.8, 0.0))
        centred_text(out, BOLD, label, 12, (x0, y0 + 1, x1, y1 + 1), RIM, opacity=0.6)
        centred_text(out, BOLD, label, 12, box, (255.0, 255.0, 255.0))
    elif state == "down":
        out.fill(outline, C("#5a2600"))
        out.fill(body, r.vertical(y0, y1, C("#f07a12"), C("#ffa04a")))
        out.fill(r.ring(body, 2), fading((60.0, 20.0, 0.0), y0, y1, 0.45, 0.0))
        centred_text(out, BOLD, label, 12, (x0 + 1, y0 + 2, x1 + 1, y1 + 2), C("#ffd4a8"), opacity=0.5)
        centred_text(out, BOLD, label, 12, (x0 + 1, y0 + 1, x1 + 1, y1 + 1), C("#2a1200"))
    else:
        out.fill(outline, C("#1e2023"))
        out.fill(body, C("#3a3d42"))
        centred_text(out, BOLD, label, 12, box, C("#6c7178"))
    return out


def round_face(face, rect, symbol, state):
    out = face.crop(rect[0], rect[1], *ROUND_SIZE)
    cx, cy = rect[2] / 2, rect[3] / 2
    press = 1 if state == "down" else 0
    out.fill(r.circle(cx, cy, 12.0), RIM)
    body = r.circle(cx, cy, 11.0)
    if state == "normal":
        out.fill(body, r.radial(cx - 3, cy - 4, 15, [(0, C("#5c626b")), (1, C("#202326"))]))
        ink = INK
    elif state == "hover":
        out.fill(body, r.radial(cx - 3, cy - 4, 15, [(0, C("#ffc078")), (0.45, C("#ff9530")), (1, C("#d8660a"))]))
        ink = (255.0, 255.0, 255.0)
    elif state == "down":
        out.fill(body, r.radial(cx + 2, cy + 3, 15, [(0, C("#ff9a3a")), (1, C("#b9560a"))]))
        out.fill(r.ring(body, 2), fading((70.0, 25.0, 0.0), cy - 11, cy + 11, 0.5, 0.0))
        ink = C("#fff3e6")
    else:
        out.fill(body, C("#55595f"))
        ink = C("#85898f")
    if state in ("normal", "hover"):
        out.fill(r.ring(body, 1), fading((255.0, 255.0, 255.0), cy - 11, cy + 4, 0.35, 0.0))
    arm = 4.2
    if symbol == "minus":
        strokes = [r.capsule(cx - arm, cy + press, cx + arm, cy + press, 1.2)]
    else:
        d = arm * 0.8
        strokes = [r.capsule(cx - d, cy - d + press, cx + d, cy + d + press, 1.2),
                   r.capsule(cx - d, cy + d + press, cx + d, cy - d + press, 1.2)]
    for stroke in strokes:
        out.fill(stroke, ink)
    return out


LAMP_COLOURS = {
    # name: (rim, core, mid, edge); grey is the unlit lamp
    "grey": None,
    "green": (C("#0c4a18"), C("#e2ffd8"), C("#3be35c"), C("#129a30")),
    "red": (C("#5c0a06"), C("#ffd9cf"), C("#ff4a3a"), C("#c01a10")),
    "amber": (C("#5a3300"), C("#fff0c8"), C("#ffb423"), C("#c47800")),
    "blue": (C("#0a2a66"), C("#d8ecff"), C("#4a94ff"), C("#1650c4")),
    "white": (C("#4a525c"), C("#ffffff"), C("#eef3f8"), C("#a9b3bf")),
}


def lamp_face(face, name):
    lamp = RECTS[LAMPS[0]]
    out = face.crop(lamp[0], lamp[1], *LAMP_SIZE)
    lw, lh = lamp[2], lamp[3]
    lens = r.round_rect(1, 1, lw - 1, lh - 1, 2)
    colours = LAMP_COLOURS[name]
    if colours is None:
        out.fill(lens, r.vertical(1, lh - 1, C("#33373c"), C("#1d1f22")))
        out.fill(r.ring(lens, 1), C("#42464c"), 0.8)
    else:
        rim, core, mid, edge = colours
        out.fill(lens, rim)
        inner = r.round_rect(1.8, 1.8, lw - 1.8, lh - 1.8, 1.5)
        out.fill(inner, r.radial(lw / 2, lh / 2, lh * 0.55, [(0, core), (0.45, mid), (1, edge)]))
    shine = 0.14 if colours is None else 0.4
    out.fill(r.round_rect(2.5, 2, lw - 2.5, lh * 0.4, 1.5), fading((255.0, 255.0, 255.0), 2, lh * 0.4, shine, 0.0))
    return out


def check_lamp_sockets(face):
    """Every lamp uses the same bitmap, so the face must be alike under all of them."""
    reference = face.crop(RECTS[LAMPS[0]][0], RECTS[LAMPS[0]][1], *LAMP_SIZE)
    for lamp in LAMPS[1:]:
        x, y = RECTS[lamp][:2]
        under = face.crop(x, y, LAMP_SIZE[0], RECTS[lamp][3])
        for j in range(RECTS[lamp][3]):
            for i in range(LAMP_SIZE[0]):
                if under.pixel(i, j) != reference.pixel(i, j):
                    raise SystemExit("make_art: the face differs under lamp %d" % lamp)


# --- icon


# Per size, on whole pixels so that the small icons stay crisp: bar left edge,
# bar width, gap, floor, bar heights, and the orange line's top and height.
ICON_LAYOUTS = {
    48: (9, 6, 2, 36, (14, 19, 24, 29), 39, 2),
    32: (6, 4, 1, 24, (9, 12, 15, 18), 26, 2),
    16: (3, 3, 1, 12, (4, 6, 8), 13, 1),
}


def icon(size):
    """A graphite tile with a level meter of lamps, the last one red."""
    left, bar_w, gap, floor, heights, line_y, line_h = ICON_LAYOUTS[size]
    out = r.Canvas(size, size, (0.0, 0.0, 0.0), alpha=0.0)
    radius = size * 0.19
    out.fill(r.round_rect(0, 0, size, size, radius), RIM)
    body = r.round_rect(1, 1, size - 1, size - 1, radius - 1)
    out.fill(body, r.vertical(0, size, C("#4a5058"), C("#1b1d21")))
    out.fill(r.ring(body, 1), fading(C("#8a919b"), 0, size * 0.6, 0.8, 0.0))
    corner = 1.0 if size > 16 else 0.0
    for k, height in enumerate(heights):
        rim, core, mid, _ = LAMP_COLOURS["red" if k == len(heights) - 1 else "green"]
        x0 = left + k * (bar_w + gap)
        top = floor - height
        out.fill(r.round_rect(x0, top, x0 + bar_w, floor, corner), rim if size > 16 else mid)
        if size > 16:
            out.fill(r.round_rect(x0 + 1, top + 1, x0 + bar_w - 1, floor - 1, corner * 0.6),
                     r.vertical(top, floor, core, mid))
        else:
            out.fill(r.round_rect(x0, top, x0 + bar_w, top + 1, 0), core, 0.4)
    right = left + len(heights) * (bar_w + gap) - gap
    out.fill(r.round_rect(left, line_y, right, line_y + line_h, 0), ORANGE)
    return out


# --- preview


def preview(face, faces):
    """The face with every control as the program shows it for a 14-lamp card
    with 11 lamps lit, Off selected and the mouse over Apply. A button fills
    what its picture does not cover with the system's button-face grey."""
    out = face.crop(0, 0, *FACE_SIZE)

    def put(control, canvas):
        x, y, w, h = RECTS[control]
        out.fill(r.round_rect(x, y, x + w, y + h, 0), BUTTON_FACE)
        out.paste(canvas, x, y, w, h)

    put(HIDE, faces["hide_normal"])
    put(QUIT, faces["quit_normal"])
    put(ON, faces["on_normal"])
    put(OFF, faces["off_down"])
    put(RESET, faces["reset_normal"])
    put(APPLY, faces["apply_hover"])
    put(CLOSE, faces["close_normal"])
    for k, lamp in enumerate(LAMPS):
        put(lamp, faces["led_grey"] if k > 10 else faces["led_green"] if k < 10 else faces["led_red"])
    black = (0.0, 0.0, 0.0)
    x, y, _, h = RECTS[LABEL]
    wrapped_text(out, BOLD, QUESTION, QUESTION_SIZE, (x, y, DIVIDER_X - x, h), black)
    for control, content, checked in ((YES, "Yes", True), (NO, "No", False)):
        x, y, w, h = RECTS[control]
        cy = y + h / 2
        out.fill(r.circle(x + 6.5, cy, 6.5), C("#808080"))
        out.fill(r.circle(x + 6.5, cy, 5.5), (255.0, 255.0, 255.0))
        if checked:
            out.fill(r.circle(x + 6.5, cy, 2.2), black)
        text(out, REGULAR, content, 11, x + 16, round(cy + cap_height(11) / 2), black)
    return out


def render():
    """All pictures, by file name, as bytes."""
    face = draw_face()
    check_lamp_sockets(face)
    for y in range(face.height):
        for x in range(face.width):
            inside = face.rgb[y * face.width + x] != list(MAGENTA)
            if inside and face.pixel(x, y) == (255, 0, 255):
                raise SystemExit("make_art: the face is key colour inside at %d,%d" % (x, y))
    faces = {}
    for state in KEY_STATES:
        faces["hide_" + state] = round_face(face, RECTS[HIDE], "minus", state)
        faces["quit_" + state] = round_face(face, RECTS[QUIT], "cross", state)
        faces["on_" + state] = key_face(face, RECTS[ON], ON_SIZE, ON_KEY, "On", state)
        faces["off_" + state] = key_face(face, RECTS[OFF], OFF_SIZE, OFF_KEY, "Off", state)
        for name, control in (("reset", RESET), ("apply", APPLY), ("close", CLOSE)):
            faces[name + "_" + state] = key_face(face, RECTS[control], COMMAND_SIZE, COMMAND_KEY,
                                                 name.capitalize(), state)
    for name in LAMP_COLOURS:
        faces["led_" + name] = lamp_face(face, name)

    files = {"face.bmp": r.bmp24(face)}
    for name, canvas in faces.items():
        files[name + ".bmp"] = r.bmp24(canvas)
    files["norvik_tallo.ico"] = r.ico([icon(48), icon(32), icon(16)])
    files["preview.png"] = r.png(preview(face, faces))
    return files


def main(argv):
    check = "--check" in argv
    stale = []
    for name, data in sorted(render().items()):
        path = os.path.join(HERE, name)
        if check:
            with open(path, "rb") if os.path.exists(path) else open(os.devnull, "rb") as f:
                if f.read() != data:
                    stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("make_art: these pictures differ from what the script draws: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
