#!/usr/bin/env python3
"""Draws the built-in theme pictures as 24-bit .bmp files and writes the .rc
file that compiles them into the program by name.
Usage: make-theme-pictures.py OUT_DIR RC_FILE
Colours and sizes come from palette.py; each kind of picture is one painter
below, shared by all styles."""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from palette import MASK, MASKED, SIZES, STYLES  # noqa: E402


# ---- canvas -----------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def blend(self, x, y, c, a):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            self.px[y][x] = mix(self.px[y][x], c, min(a, 1.0))

    def paste(self, other, ox, oy=0):
        for y in range(other.h):
            for x in range(other.w):
                self.set(ox + x, oy + y, other.px[y][x])

    def save(self, path):
        stride = (self.w * 3 + 3) & ~3
        rows = []
        for row in reversed(self.px):  # bottom-up
            data = bytearray()
            for r, g, b in row:
                data += bytes((b, g, r))
            rows.append(bytes(data) + b"\0" * (stride - self.w * 3))
        pixels = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + pixels)


def ink_on(pair, dark):
    """The glyph colour that reads on a face gradient: dark ink on light faces."""
    light = sum(pair[0]) + sum(pair[1]) > 2 * 450
    return dark if light else (255, 255, 255)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, k):
    """k > 0 lightens towards white, k < 0 darkens towards black."""
    return mix(c, (255, 255, 255), k) if k >= 0 else mix(c, (0, 0, 0), -k)


def gradient(pair, t):
    return mix(pair[0], pair[1], max(0.0, min(1.0, t)))


def in_round_rect(x, y, w, h, r):
    """Whether pixel (x, y) lies in a w x h rectangle with corners of radius r."""
    if r <= 0:
        return 0 <= x < w and 0 <= y < h
    cx = min(max(x + 0.5, r), w - r)
    cy = min(max(y + 0.5, r), h - r)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r + 0.25


def face_box(pal, w, h, state, r, outside, horizontal=False, gloss=None):
    """A rounded, bordered box filled with the gradient of a state."""
    c = Canvas(w, h, outside)
    fill = pal[state]
    border = pal["disabled_border"] if state == "disabled" else pal["border"]
    gloss = pal["gloss"] if gloss is None else gloss
    for y in range(h):
        for x in range(w):
            if not in_round_rect(x, y, w, h, r):
                continue
            edge = not all(in_round_rect(x + dx, y + dy, w, h, r) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                c.set(x, y, border)
                continue
            t = x / max(1, w - 1) if horizontal else y / max(1, h - 1)
            col = gradient(fill, t)
            along = y if not horizontal else x
            size = h if not horizontal else w
            if gloss and along < size / 2:
                col = shade(col, 0.35)
            elif not gloss and along == 1:
                col = shade(col, 0.5)  # bright top line
            c.set(x, y, col)
    if pal.get("hot_ring") and state == "hot":
        ring(c, r, pal["hot_ring"])
    return c


def ring(c, r, colour):
    """A two-pixel coloured frame just inside the border (the hot highlight)."""
    for y in range(c.h):
        for x in range(c.w):
            inner = in_round_rect(x - 1, y - 1, c.w - 2, c.h - 2, max(0, r - 1))
            core = in_round_rect(x - 3, y - 3, c.w - 6, c.h - 6, max(0, r - 3))
            if inner and not core:
                c.set(x, y, colour)


def disc(c, cx, cy, rad, fill, border, light=True):
    """An antialiased filled circle with a border and a soft highlight."""
    for y in range(c.h):
        for x in range(c.w):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d > rad + 0.5:
                continue
            t = (y + 0.5 - (cy - rad)) / (2 * rad)
            col = mix(shade(fill, 0.45), fill, t) if light else fill
            col = mix(col, border, max(0.0, min(1.0, d - (rad - 1.5))))  # a soft rim
            a = min(1.0, rad + 0.5 - d)
            c.blend(x, y, col, a if c.get(x, y) != MASK else (1.0 if a > 0.5 else 0))


def glyph(c, pattern, colour, ox=None, oy=None, scale=1):
    """Draws a pattern of '#' characters, centred unless placed."""
    rows = [row for row in pattern.strip("\n").split("\n")]
    gw, gh = max(len(r) for r in rows) * scale, len(rows) * scale
    ox = (c.w - gw) // 2 if ox is None else ox
    oy = (c.h - gh) // 2 if oy is None else oy
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            if ch == "#":
                for sy in range(scale):
                    for sx in range(scale):
                        c.set(ox + i * scale + sx, oy + j * scale + sy, colour)


def strip(cells):
    w = sum(cell.w for cell in cells)
    out = Canvas(w, cells[0].h)
    x = 0
    for cell in cells:
        out.paste(cell, x)
        x += cell.w
    return out


def cells_of(total, count):
    """Widths of `count` equal cells; a remainder goes to the last but one."""
    base = total // count
    widths = [base] * count
    widths[-2 if count > 1 else -1] += total - base * count
    return widths


# ---- glyphs ------------------------------------------------------------------

CHECK = """
......#
.....##
#...##.
##.##..
.###...
..#....
"""
CLOSE = """
##...##
.##.##.
..###..
..###..
.##.##.
##...##
"""
MINIMISE = """
.......
.......
.......
.......
######.
######.
"""
MAXIMISE = """
#######
#######
#.....#
#.....#
#.....#
#######
"""
RESTORE = """
..#####
..#####
#####.#
#####.#
#...###
#####..
"""
HELP = """
.####.
##..##
...##.
..##..
......
..##..
"""
MENU = """
######
......
######
......
######
"""
UP = """
...#...
..###..
.#####.
#######
"""
DOWN = """
#######
.#####.
..###..
...#...
"""
LEFT = """
...#
..##
.###
####
.###
..##
...#
"""
RIGHT = """
#...
##..
###.
####
###.
##..
#...
"""
GRIP = """
##.##.##
........
##.##.##
"""


def flip_v(pattern):
    return "\n".join(reversed(pattern.strip("\n").split("\n")))


# ---- painters: one per kind of picture ------------------------------------------

STATES3 = ("face", "hot", "pressed")


def outside_of(part, style, pal):
    return MASK if style in MASKED.get(part, ()) else pal["bg"]


def paint_button(style, pal, w, h):
    out = outside_of("BUTTON", style, pal)
    r = min(pal["radius"], h // 2)
    return strip([face_box(pal, cw, h, s, r, out) for cw, s in zip(cells_of(w, 3), STATES3)])


def paint_checkbox(style, pal, w, h, part="CHECKBOX"):
    cells = []
    states = ((True, True), (False, True), (True, False), (False, False))
    for cw, (checked, enabled) in zip(cells_of(w, 4), states):
        cell = Canvas(cw, h, outside_of(part, style, pal))
        side = min(cw, h)
        box = face_box(pal, side, side, "disabled" if not enabled else "face", pal["small_radius"] // 2,
                       cell.get(0, 0), gloss=False)
        if checked:
            mark = pal["accent"] if enabled else pal["disabled_border"]
            glyph(box, CHECK, mark, scale=2 if side >= 17 else 1)
        cell.paste(box, (cw - side) // 2, (h - side) // 2)
        cells.append(cell)
    return strip(cells)


def paint_radio(style, pal, w, h):
    cells = []
    states = ((True, True), (False, True), (True, False), (False, False))
    for cw, (checked, enabled) in zip(cells_of(w, 4), states):
        cell = Canvas(cw, h, MASK)
        side = min(cw, h)
        fill = pal["face"][1] if enabled else pal["disabled"][1]
        disc(cell, cw / 2, h / 2, side / 2 - 0.5, fill, pal["border"] if enabled else pal["disabled_border"])
        if checked:
            dot = pal["accent"] if enabled else pal["disabled_border"]
            disc(cell, cw / 2, h / 2, side / 5, dot, shade(dot, -0.2))
        cells.append(cell)
    return strip(cells)


TITLE_GLYPHS = (MENU, HELP, MAXIMISE, RESTORE, MINIMISE, CLOSE)
DISC_COLOURS = ((120, 150, 200), (120, 150, 200), (64, 200, 72), (64, 200, 72), (250, 190, 40), (240, 84, 72))


def paint_titlebtn(style, pal, w, h):
    widths = cells_of(w, 18)
    cells = []
    for i, cw in enumerate(widths):
        kind, state = divmod(i, 3)
        if pal["round_title_buttons"]:
            cell = title_disc(pal, cw, h, kind, state)
        else:
            cell = title_box(style, pal, cw, h, kind, state)
        cells.append(cell)
    return strip(cells)


def title_disc(pal, cw, h, kind, state):
    cell = Canvas(cw, h, pal["title"][0])
    for y in range(h):  # the title gradient shows round the disc
        for x in range(cw):
            cell.set(x, y, gradient(pal["title"], y / max(1, h - 1)))
    colour = DISC_COLOURS[kind]
    fill = (colour, shade(colour, 0.3), shade(colour, -0.35))[state]
    disc(cell, cw / 2, h / 2, min(cw, h) / 2 - 1.5, fill, shade(colour, -0.45))
    # the sign shows faintly at rest and plainly under the mouse
    glyph(cell, TITLE_GLYPHS[kind], shade(colour, -0.65 if state else -0.3))
    return cell


def title_box(style, pal, cw, h, kind, state):
    out = outside_of("TITLEBTN", style, pal)
    box_pal = dict(pal)
    if kind == 5 and "close" in pal:
        box_pal["face"] = pal["close"]
        box_pal["hot"] = (shade(pal["close"][0], 0.3), shade(pal["close"][1], 0.2))
        box_pal["pressed"] = (shade(pal["close"][1], -0.2), pal["close"][0])
    else:
        base = pal["title"]
        box_pal["face"] = (shade(base[0], 0.25), shade(base[1], 0.1))
        box_pal["hot"] = (shade(base[0], 0.55), shade(base[1], 0.35))
        box_pal["pressed"] = (shade(base[1], -0.3), shade(base[0], -0.1))
    box_pal["border"] = shade(pal["title"][1], -0.4) if pal["title_gloss"] or style == "DEEPBLUE" else pal["border"]
    box_pal.pop("hot_ring", None)
    if out != MASK:
        out = gradient(pal["title"], 0.5)
    cell = face_box(box_pal, cw, h, STATES3[state], pal["small_radius"], out)
    ink = ink_on(box_pal[STATES3[state]], shade(pal["title"][1], -0.5))
    glyph(cell, TITLE_GLYPHS[kind], ink, oy=(h - 6) // 2 + (state == 2))
    return cell


def title_section(pal, w, h, left, right):
    c = Canvas(w, h)
    for y in range(h):
        col = gradient(pal["title"], y / max(1, h - 1))
        if pal["title_gloss"] and y < h * 0.45:
            col = shade(col, 0.18)
        for x in range(w):
            c.set(x, y, col)
    for x in range(w):
        c.set(x, 0, pal["title_line"])
        c.set(x, 1, shade(gradient(pal["title"], 0), 0.5))
        c.set(x, h - 1, shade(pal["title"][1], -0.3))
    for y in range(h):
        if left:
            c.set(0, y, pal["title_line"])
        if right:
            c.set(w - 1, y, pal["title_line"])
    return c


def paint_title_left(style, pal, w, h):
    return title_section(pal, w, h, True, False)


def paint_title_client(style, pal, w, h):
    return title_section(pal, w, h, False, False)


def paint_title_right(style, pal, w, h):
    return title_section(pal, w, h, False, True)


def paint_progress(style, pal, w, h):
    # The bar stretches this picture over its done part, so it may vary only
    # from top to bottom: a gap or a band across would grow with the bar.
    c = Canvas(w, h, pal["bg"])
    for y in range(h):
        t = abs(y - (h - 1) / 2) / ((h - 1) / 2)
        col = mix(pal["accent2"], pal["accent"], t)
        for x in range(w):
            c.set(x, y, col)
    return c


def paint_trackbar_bar(style, pal, w, h):
    groove = Canvas(w, h, pal["bg"])
    inner = face_box(dict(pal, face=pal["track"]), w, h, "face", min(2, h // 2), pal["bg"], gloss=False)
    groove.paste(inner, 0)
    return groove


def paint_trackbar_slider(style, pal, w, h, vertical=False):
    out = MASK if not vertical else pal["bg"]
    c = Canvas(w, h, out)
    length, across = (w, h) if vertical else (h, w)
    tip = across // 2 + 1
    for y in range(h):
        for x in range(w):
            a, b = (x, y) if vertical else (y, x)  # a along the pointer, b across
            if a >= length - tip and abs(b + 0.5 - across / 2) > (length - a) - 0.5:
                continue
            edge = a == 0 or b == 0 or b == across - 1 or (
                a >= length - tip and abs(b + 0.5 - across / 2) > (length - a) - 1.5)
            col = pal["border"] if edge else gradient(pal["face"], b / max(1, across - 1))
            if not edge and pal["gloss"] and b < across / 2:
                col = shade(col, 0.35)
            c.set(x, y, col)
    # a grip across the middle of the body
    mid = (length - tip) // 2
    for b in range(2, across - 2):
        for k, col in ((mid - 2, shade(pal["border"], 0.3)), (mid, shade(pal["border"], 0.3))):
            c.set(k if vertical else b, b if vertical else k, col)
    return c


def paint_slider_v(style, pal, w, h):
    return paint_trackbar_slider(style, pal, w, h, vertical=True)


def paint_scrollbar_button(style, pal, w, h):
    cells = []
    for i, cw in enumerate(cells_of(w, 6)):
        arrow, state = divmod(i, 3)
        cell = face_box(pal, cw, h, STATES3[state], pal["small_radius"], pal["bg"], horizontal=True)
        glyph(cell, (UP, DOWN)[arrow], ink_on(pal[STATES3[state]], pal["glyph"]), oy=(h - 4) // 2 + (state == 2))
        cells.append(cell)
    return strip(cells)


def paint_scrollbar_track(style, pal, w, h):
    """The thumb, lying across: its start cap, the middle and its end cap."""
    thumb = face_box(pal, w, h, "face", min(pal["radius"], 5), pal["bg"])
    widths = cells_of(w, 3)
    # the middle cell: cut from the thumb's centre, so it stretches cleanly
    middle = Canvas(widths[1], h)
    for y in range(h):
        for x in range(widths[1]):
            middle.set(x, y, thumb.get(w // 2, y))
    start = Canvas(widths[0], h)
    end = Canvas(widths[2], h)
    start.paste(thumb, 0)
    end.paste(thumb, widths[2] - w)
    return strip([start, middle, end])


def paint_checklist(style, pal, w, h):
    return paint_checkbox(style, pal, w, h, part="CHECKLIST")


def paint_scrollbutton(style, pal, w, h):
    cells = []
    for i, cw in enumerate(cells_of(w, 4)):
        arrow, hot = divmod(i, 2)
        cell = face_box(pal, cw, h, ("face", "hot")[hot], pal["small_radius"], pal["bg"])
        glyph(cell, (RIGHT, LEFT)[arrow], pal["glyph"] if not hot else pal["accent"])
        cells.append(cell)
    return strip(cells)


def paint_tab(style, pal, w, h):
    cells = []
    for i, cw in enumerate(cells_of(w, 2)):
        active = i == 0
        cell = Canvas(cw, h, MASK)
        r = min(pal["small_radius"] + 1, cw // 3)
        fill = ((255, 255, 255), pal["bg"]) if active else (shade(pal["face"][1], 0.2), shade(pal["face"][1], -0.08))
        for y in range(h):
            for x in range(cw):
                if not in_round_rect(x, y, cw, h + r, r):
                    continue
                edge = y == 0 or x == 0 or x == cw - 1 or not in_round_rect(x, y - 1, cw, h + r, r) \
                    or not in_round_rect(x - 1, y, cw, h + r, r) or not in_round_rect(x + 1, y, cw, h + r, r)
                col = pal["border"] if edge else gradient(fill, y / max(1, h - 1))
                if active and not edge and 1 <= y <= 2:
                    col = pal["accent"]
                cell.set(x, y, col)
        cells.append(cell)
    return strip(cells)


def paint_tab_line(style, pal, w, h):
    c = Canvas(w, h, pal["bg"])
    for x in range(w):
        c.set(x, 0, pal["border"])
        for y in range(1, h):
            c.set(x, y, mix((255, 255, 255), pal["bg"], y / max(1, h - 1)))
    return c


def paint_side_handle(style, pal, w, h):
    c = face_box(pal, w, h, "face", 2, pal["bg"], horizontal=True, gloss=False)
    glyph(c, "\n".join(["#.#"[: w - 4]] * 1 + [".."] + ["#.#"[: w - 4]] * 1 + [".."] + ["#.#"[: w - 4]]),
          pal["border"])
    return c


def paint_side_bar(style, pal, w, h):
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.set(x, y, gradient(pal["track"][::-1], y / max(1, h - 1)))
    return c


PAINTERS = {
    "BUTTON": paint_button,
    "CHECKBOX": paint_checkbox,
    "RADIOBUTTON": paint_radio,
    "TITLEBTN": paint_titlebtn,
    "TITLE_LEFT": paint_title_left,
    "TITLE_CLIENT": paint_title_client,
    "TITLE_RIGHT": paint_title_right,
    "PROGRESSBAR": paint_progress,
    "TRACKBAR_BAR": paint_trackbar_bar,
    "TRACKBAR_SLIDER": paint_trackbar_slider,
    "TRACKBAR_SLIDER_V": paint_slider_v,
    "SCROLLBAR_BUTTON": paint_scrollbar_button,
    "SCROLLBAR_TRACK": paint_scrollbar_track,
    "CHECKLIST": paint_checklist,
    "SCROLLBUTTON": paint_scrollbutton,
    "TAB": paint_tab,
    "TAB_LINE": paint_tab_line,
    "SIDECHENNEL_HANDLE": paint_side_handle,
    "SIDECHENNEL_BAR": paint_side_bar,
}


# ---- pictures outside the table ----------------------------------------------

def paint_pinstripes(pal, w, h, light, dark):
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.set(x, y, light if y % 4 < 2 else dark)
    return c


def paint_brushed(pal, w, h):
    c = Canvas(w, h)
    seed = 12345
    for y in range(h):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        row = -0.03 + (seed % 60) / 1000.0
        for x in range(w):
            c.set(x, y, shade(pal["bg"], row) if row >= 0 else shade(pal["bg"], row))
    return c


def paint_vertical(w, h, pair):
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.set(x, y, gradient(pair, y / max(1, h - 1)))
    return c


def paint_combo_button(pal, w, h):
    c = face_box(pal, w, h, "face", pal["small_radius"], pal["bg"])
    glyph(c, DOWN, pal["glyph"])
    return c


def paint_menu_check(w, h):
    c = Canvas(w, h, (255, 255, 255))  # the menus mask white here
    glyph(c, CHECK, (0, 0, 0))
    return c


def extra_pictures():
    mac, protein = STYLES["MACOS"], STYLES["PROTEIN"]
    return {
        "MACOS_FORM_BACKGROUND": paint_pinstripes(mac, 8, 8, (238, 238, 238), (230, 230, 230)),
        "PROTEIN_FORM_BACKGROUND": paint_brushed(protein, 32, 32),
        "MACOS_MENU_BAR": paint_vertical(16, 22, ((252, 252, 252), (222, 222, 222))),
        "MACOS_MENU_SELECT": paint_vertical(16, 22, ((96, 150, 232), (44, 98, 196))),
        "MENU_CHECKED": paint_menu_check(16, 16),
        "MACOS_COMBOBOX_BUTTON": paint_combo_button(mac, 17, 21),
        "WINXP_COMBOBOX_BUTTON": paint_combo_button(dict(STYLES["WINXP"], face=((196, 214, 252), (160, 186, 240)),
                                                         border=(120, 150, 220)), 17, 21),
    }


# ---- all pictures ----------------------------------------------------------------

def size_of(part, style):
    sizes = SIZES[part]
    return sizes.get(style, sizes.get("*"))


def all_pictures():
    for style, pal in STYLES.items():
        for part, painter in PAINTERS.items():
            size = size_of(part, style)
            if size is None:
                continue  # the shared MORE_SCROLLBUTTON stands in
            yield style + "_" + part, painter(style, pal, *size)
    yield "MORE_SCROLLBUTTON", paint_scrollbutton("DEEPBLUE", STYLES["DEEPBLUE"], 72, 17)
    yield from extra_pictures().items()


def main():
    out_dir, rc_file = sys.argv[1], sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    lines = ["// Generated by make-theme-pictures.py; do not edit."]
    for name, picture in all_pictures():
        path = os.path.join(out_dir, name + ".bmp")
        picture.save(path)
        lines.append('%s BITMAP "%s"' % (name, path.replace("\\", "/")))
    with open(rc_file, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
