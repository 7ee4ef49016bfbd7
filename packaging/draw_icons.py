#!/usr/bin/env python3
"""Draws the desktop icon of Kestrela Skyloupe in the sizes desktops use.

Run from anywhere: python3 packaging/draw_icons.py
It rewrites icons/<N>x<N>/org.kestrela.Skyloupe.png next to this script,
one per size, from the logo that resources/draw_images.py draws as
LOGO.png: the same shapes, drawn afresh at each size rather than scaled
down from the large picture, so small icons keep clean edges. At 256 the
icon is LOGO.png itself, pixel for pixel.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "resources"))

import draw_images  # noqa: E402

ICON_NAME = "org.kestrela.Skyloupe"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
LOGO_GRID = 64.0   # the logo is designed on a 64-unit grid


def draw_icons():
    layers = draw_images.logo_layers()
    for size in SIZES:
        folder = os.path.join(HERE, "icons", "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        pixels = draw_images.render(size, size, layers, size / LOGO_GRID)
        draw_images.write_png(os.path.join(folder, ICON_NAME + ".png"), size, size, pixels)


if __name__ == "__main__":
    draw_icons()
