#!/usr/bin/env python3
"""Draws the images compiled into Kestrela Skyloupe.

Run from anywhere: python3 resources/draw_images.py
It rewrites LOGO.png, redd.png, green.png (and their @2x twins for screens
scaled to 200 %) and the twenty indicator and arrow images in darkblack/,
next to this script. packaging/draw_icons.py draws the desktop icons from
the same logo. Only the standard library is
used: every shape is a signed distance function, and a pixel's coverage is
read from the distance at its centre, which gives smooth edges without
supersampling. Change a colour or a shape below and run it again.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# --- PNG output ----------------------------------------------------------

def write_png(path, width, height, pixels):
    """Writes RGBA pixels (a list of rows of (r, g, b, a) floats 0..1)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type None
        for r, g, b, a in row:
            if a <= 0.0:
                raw += b"\0\0\0\0"
                continue
            # Stored colour is straight (not premultiplied) alpha.
            raw += bytes((
                max(0, min(255, round(r / a * 255))),
                max(0, min(255, round(g / a * 255))),
                max(0, min(255, round(b / a * 255))),
                max(0, min(255, round(a * 255))),
            ))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) \
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --- Shapes as signed distances (negative inside) -----------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2.0


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def outline(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2.0


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def polyline(points, width):
    """A stroke with round caps and joins through the points."""
    pairs = list(zip(points, points[1:]))

    def d(x, y):
        return min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in pairs) - width / 2.0
    return d


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def d(x, y):
        dist = min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return -dist if inside else dist
    return d


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


# --- Paint: flat colours or gradients, as functions of the position -----

def hex_colour(text, alpha=1.0):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4)) + (alpha,)


def flat(text, alpha=1.0):
    colour = hex_colour(text, alpha)
    return lambda x, y: colour


def radial(cx, cy, r, inner, outer):
    a, b = hex_colour(inner), hex_colour(outer)

    def paint(x, y):
        t = min(1.0, math.hypot(x - cx, y - cy) / r)
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))
    return paint


def vertical(y0, y1, top, bottom):
    a, b = hex_colour(top), hex_colour(bottom)

    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))
    return paint


def render(width, height, layers, scale=1.0):
    """Composites (shape, paint) layers, first at the bottom.

    Shapes are given in a design space scale times smaller than the image;
    coverage is the distance at the pixel centre clamped to one pixel.
    """
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            x, y = (px + 0.5) / scale, (py + 0.5) / scale
            r = g = b = a = 0.0
            for shape, paint in layers:
                coverage = max(0.0, min(1.0, 0.5 - shape(x, y) * scale))
                if coverage == 0.0:
                    continue
                cr, cg, cb, ca = paint(x, y)
                k = coverage * ca
                r, g, b, a = r * (1 - k) + cr * k, g * (1 - k) + cg * k, b * (1 - k) + cb * k, a * (1 - k) + k
            row.append((r, g, b, a))
        rows.append(row)
    return rows


def save(name, width, height, layers, scale=1.0):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    write_png(path, width, height, render(width, height, layers, scale))


# --- The images -----------------------------------------------------------

ACCENT = "#58BC4A"      # the light sheet's border green
ACCENT_DARK = "#3C8F31"
INK = "#2E3440"
DISABLED = "#A0A6B0"
DISABLED_FILL = "#E4E6EA"


def draw_arrows():
    """Spin box and combo box arrows (10 x 10), tree branches and calendar
    month arrows (16 x 16). All point with a rounded chevron."""
    arrows = {
        "add_top": [(2, 6.5), (5, 3.5), (8, 6.5)],
        "add_bottom": [(2, 3.5), (5, 6.5), (8, 3.5)],
        "add_left": [(6.5, 2), (3.5, 5), (6.5, 8)],
        "add_right": [(3.5, 2), (6.5, 5), (3.5, 8)],
    }
    # A pale halo under the dark ink keeps the arrows readable on the dark
    # sheet's grey buttons as well as on the light sheet's green ones.
    for name, points in arrows.items():
        save("darkblack/%s.png" % name, 10, 10, [
            (polyline(points, 3.4), flat("#FFFFFF", 0.8)),
            (polyline(points, 1.8), flat(INK)),
        ])

    close = polygon([(6, 4), (11, 8), (6, 12)])
    open_ = polygon([(4, 6), (12, 6), (8, 11)])
    for name, shape in (("branch_close", close), ("branch_open", open_)):
        save("darkblack/%s.png" % name, 16, 16, [
            (outline(shape, 2.4), flat("#FFFFFF", 0.8)),
            (shape, flat("#5A6270")),
        ])
    save("darkblack/calendar_prevmonth.png", 16, 16,
         [(polyline([(10, 3.5), (5.5, 8), (10, 12.5)], 2.2), flat("#FFFFFF"))])
    save("darkblack/calendar_nextmonth.png", 16, 16,
         [(polyline([(6, 3.5), (10.5, 8), (6, 12.5)], 2.2), flat("#FFFFFF"))])


def draw_checkboxes():
    """15 x 15 check boxes: a white box with a green tick or bar."""
    box = rounded_rect(1, 1, 14, 14, 2.5)
    tick = polyline([(4, 7.8), (6.4, 10.2), (11, 4.8)], 2.0)
    bar = rounded_rect(4, 6.4, 11, 8.6, 1.0)

    def variant(name, mark, enabled):
        border, fill, ink = (ACCENT, "#FFFFFF", ACCENT_DARK) if enabled else (DISABLED, DISABLED_FILL, DISABLED)
        layers = [(box, flat(fill)), (outline(box, 1.4), flat(border))]
        if mark is not None:
            layers.append((mark, flat(ink)))
        save("darkblack/%s.png" % name, 15, 15, layers)

    variant("checkbox_unchecked", None, True)
    variant("checkbox_unchecked_disable", None, False)
    variant("checkbox_checked", tick, True)
    variant("checkbox_checked_disable", tick, False)
    variant("checkbox_parcial", bar, True)
    variant("checkbox_parcial_disable", bar, False)


def draw_radiobuttons():
    """15 x 15 radio buttons; the _check/_uncheck pair is the hover look."""
    disc = circle(7.5, 7.5, 6.2)
    rim = ring(7.5, 7.5, 6.2, 1.4)
    dot = circle(7.5, 7.5, 3.0)

    def variant(name, checked, border, fill, ink):
        layers = [(disc, flat(fill)), (rim, flat(border))]
        if checked:
            layers.append((dot, flat(ink)))
        save("darkblack/%s.png" % name, 15, 15, layers)

    variant("radiobutton_unchecked", False, ACCENT, "#FFFFFF", ACCENT_DARK)
    variant("radiobutton_checked", True, ACCENT, "#FFFFFF", ACCENT_DARK)
    variant("radiobutton_uncheck", False, "#00BB9E", "#F2FFF9", "#00957E")
    variant("radiobutton_check", True, "#00BB9E", "#F2FFF9", "#00957E")
    variant("radiobutton_unchecked_disable", False, DISABLED, DISABLED_FILL, DISABLED)
    variant("radiobutton_checked_disable", True, DISABLED, DISABLED_FILL, DISABLED)


def draw_lamps():
    """64 x 64 status lamps with a soft highlight, shown at 40 x 40; the
    @2x twins are the same lamps drawn at 128 x 128."""
    for name, light, dark, rim in (("redd", "#FF8A80", "#D32F2F", "#8E1B1B"),
                                   ("green", "#B9F6A8", "#2E9E3A", "#1B5E20")):
        for suffix, scale in (("", 1.0), ("@2x", 2.0)):
            save("%s%s.png" % (name, suffix), round(64 * scale), round(64 * scale), [
                (circle(32, 32, 28), radial(24, 22, 34, light, dark)),
                (ring(32, 32, 28, 3), flat(rim)),
                (circle(24, 21, 7), flat("#FFFFFF", 0.45)),
            ], scale)


def logo_layers():
    """The product mark: a loupe whose lens holds a sky view (horizon ring,
    elevation ring, cross hairs and three satellites), on a rounded tile.
    Designed on a 64-unit grid; the heavy lens rim and handle keep it
    readable at 16 pixels."""
    tile = rounded_rect(2, 2, 62, 62, 12)
    lens_c, lens_r = (27, 27), 17
    lens = circle(lens_c[0], lens_c[1], lens_r)
    inside = circle(lens_c[0], lens_c[1], lens_r - 0.5)
    layers = [
        (tile, vertical(2, 62, "#2F5D9A", "#1C3A66")),
        (lens, radial(22, 20, 22, "#E9F6FF", "#B7DDF5")),
        # Sky-view grid inside the lens.
        (ring(lens_c[0], lens_c[1], 9, 0.9), flat("#7FA7C9")),
        (intersect(polyline([(lens_c[0] - 17, 27), (lens_c[0] + 17, 27)], 0.9), inside), flat("#7FA7C9")),
        (intersect(polyline([(27, lens_c[1] - 17), (27, lens_c[1] + 17)], 0.9), inside), flat("#7FA7C9")),
        # Satellites in the constellation colours of the plots.
        (circle(21, 20, 3.1), flat("#6464FF")),
        (circle(35.5, 24, 3.1), flat(ACCENT)),
        (circle(25, 35, 3.1), flat("#FF9900")),
        # Lens rim and handle.
        (ring(lens_c[0], lens_c[1], lens_r, 5), flat("#FFFFFF")),
        (polyline([(40, 40), (53, 53)], 8), flat("#FFFFFF")),
        (polyline([(44, 44), (52.5, 52.5)], 4), flat("#BFFF09")),
    ]
    return layers


def draw_logo():
    """The logo compiled into the program, 256 x 256."""
    save("LOGO.png", 256, 256, logo_layers(), 4.0)


if __name__ == "__main__":
    draw_arrows()
    draw_checkboxes()
    draw_radiobuttons()
    draw_lamps()
    draw_logo()
