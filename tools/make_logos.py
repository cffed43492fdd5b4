#!/usr/bin/env python3
"""Draws the two shutdown pictures of the sample drive.

Windows 95 shows LOGOW.SYS while it shuts down and LOGOS.SYS when the computer may be switched
off. Both are 320 x 400 bitmaps with 8 bits per pixel, uncompressed, which Windows stretches to
640 x 480; shapes are drawn in that display space so that circles stay round on screen.

Usage: make_logos.py [WINDOWS_DIRECTORY]   (default: examples/drive_c/WINDOWS)
"""

import math
import pathlib
import struct
import sys

WIDTH, HEIGHT = 320, 400
SCALE_X, SCALE_Y = 640 / WIDTH, 480 / HEIGHT  # file pixel to display pixel
HORIZON = 300  # display row where the hills begin at their lowest

# Palette layout shared by both pictures: a sky ramp, a ground ramp and a few fixed colours.
SKY, SKY_STEPS = 0, 128
GROUND, GROUND_STEPS = 128, 64
SUN, MOON, STAR = 192, 193, 194


def ramp(top, bottom, steps):
    return [tuple(round(a + (b - a) * i / (steps - 1)) for a, b in zip(top, bottom))
            for i in range(steps)]


def palette(sky_top, sky_bottom, ground_far, ground_near, sun, moon, star):
    colours = ramp(sky_top, sky_bottom, SKY_STEPS) + ramp(ground_far, ground_near, GROUND_STEPS)
    colours += [sun, moon, star]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def hill_height(x):
    """Display row of the hills' outline at display column x."""
    return HORIZON - 40 * math.sin(x / 110) - 25 * math.sin(x / 47 + 1.3)


def draw(shape_index):
    """Rows of palette indexes, top row first, from functions of display coordinates."""
    rows = []
    for y in range(HEIGHT):
        dy = (y + 0.5) * SCALE_Y
        row = bytearray()
        for x in range(WIDTH):
            dx = (x + 0.5) * SCALE_X
            index = shape_index(dx, dy)
            if index is None:
                if dy >= hill_height(dx):
                    depth = (dy - HORIZON + 65) / (480 - HORIZON + 65)
                    index = GROUND + min(GROUND_STEPS - 1, int(depth * GROUND_STEPS))
                else:
                    index = sky_ramp(dx, dy)
            row.append(index)
        rows.append(bytes(row))
    return rows


def sky_ramp(dx, dy):
    return SKY + min(SKY_STEPS - 1, int(dy / HORIZON * SKY_STEPS))


def shutting_down(dx, dy):
    """Dusk: a sun setting behind the hills."""
    if math.hypot(dx - 420, dy - 250) < 70 and dy < hill_height(dx):
        return SUN
    return None


def stars():
    """Fixed star positions from a small linear congruential generator, the same on every run."""
    state, points = 1995, []
    while len(points) < 90:
        state = (state * 1103515245 + 12345) % 2**31
        x = state % 640
        state = (state * 1103515245 + 12345) % 2**31
        y = state % 260
        points.append((x, y))
    return points


STARS = stars()


def switched_off(dx, dy):
    """Night: a crescent moon and stars over the hills."""
    if dy >= hill_height(dx):
        return None
    if math.hypot(dx - 180, dy - 120) < 55:
        return sky_ramp(dx, dy) if math.hypot(dx - 205, dy - 105) < 50 else MOON
    if any(abs(dx - sx) < 2.1 and abs(dy - sy) < 2.4 for sx, sy in STARS):
        return STAR
    return None


def bitmap(colours, rows):
    """An uncompressed 8-bit BMP: file header, 40-byte information header, 256 colours."""
    pixel_data = b"".join(reversed(rows))  # bottom row first; 320 bytes need no padding
    offset = 14 + 40 + 4 * 256
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixel_data), 0, 0, 256,
                       0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    return header + info + table + pixel_data


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "examples/drive_c/WINDOWS"
    target.mkdir(parents=True, exist_ok=True)
    dusk = palette((20, 30, 90), (240, 150, 70), (40, 60, 30), (15, 30, 10), (255, 210, 90),
                   (0, 0, 0), (0, 0, 0))
    night = palette((0, 0, 20), (30, 40, 100), (10, 20, 25), (0, 5, 10), (0, 0, 0),
                    (245, 240, 200), (255, 255, 230))
    (target / "LOGOW.SYS").write_bytes(bitmap(dusk, draw(shutting_down)))
    (target / "LOGOS.SYS").write_bytes(bitmap(night, draw(switched_off)))


if __name__ == "__main__":
    main()
