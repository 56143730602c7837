#!/usr/bin/env python3
"""Draws the program's four icons (16x16 and 32x32, 32-bit with alpha) and
writes them as .ico files into res/: 1 and 2 the program (a magnifier over a
page), 3 the Find tab (a magnifier), 4 the Compare tab (two overlapping pages),
5 New Folders (a folder with a plus), 6 Create fake file (a blank page with a
size bar).
Run it again after changing a drawing; the .ico files are committed."""

import math
import os
import struct

TRANSPARENT = (0, 0, 0, 0)
OUTLINE = (40, 40, 60, 255)
PAPER = (250, 250, 245, 255)
PAPER_BACK = (215, 225, 240, 255)
TEXT_LINE = (140, 150, 170, 255)
GLASS = (170, 215, 245, 255)
RIM = (30, 70, 140, 255)
HANDLE = (120, 70, 30, 255)
FOLDER = (240, 200, 90, 255)
FOLDER_DARK = (200, 150, 40, 255)
PLUS = (30, 140, 50, 255)
BAR = (200, 60, 50, 255)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def rectangle(self, left, top, right, bottom, fill, outline):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                edge = x in (left, right) or y in (top, bottom)
                self.put(x, y, outline if edge else fill)

    def hline(self, left, right, y, colour):
        for x in range(left, right + 1):
            self.put(x, y, colour)

    def disc(self, cx, cy, outer, inner, rim, fill):
        """A ring of radius outer with thickness outer - inner, filled inside."""
        for y in range(self.size):
            for x in range(self.size):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= inner:
                    self.put(x, y, fill)
                elif d <= outer:
                    self.put(x, y, rim)

    def thick_line(self, x0, y0, x1, y1, width, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 4) + 1
        for i in range(steps + 1):
            t = i / steps
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            for dy in range(-width, width + 1):
                for dx in range(-width, width + 1):
                    if math.hypot(dx, dy) <= width / 2 + 0.3:
                        self.put(int(x + dx), int(y + dy), colour)


def page(canvas, left, top, right, bottom, fill):
    s = canvas.size / 16
    canvas.rectangle(left, top, right, bottom, fill, OUTLINE)
    y = top + int(3 * s)
    while y < bottom - int(1 * s):
        canvas.hline(left + int(2 * s), right - int(2 * s), y, TEXT_LINE)
        y += max(2, int(2 * s))


def magnifier(canvas, cx, cy, radius):
    s = canvas.size / 16
    inner = radius - max(1.2, 1.2 * s)
    handle_start = radius * 0.75
    canvas.thick_line(cx + handle_start, cy + handle_start, cx + radius * 1.9, cy + radius * 1.9,
                      max(1, int(1.6 * s)), HANDLE)
    canvas.disc(cx, cy, radius, inner, RIM, GLASS)


def draw(kind, size):
    canvas = Canvas(size)
    s = size / 16
    if kind == "program":
        page(canvas, int(1 * s), 0, int(11 * s), int(14 * s), PAPER)
        magnifier(canvas, 9.5 * s, 8.5 * s, 4.2 * s)
    elif kind == "find":
        magnifier(canvas, 6.5 * s, 6.5 * s, 5.2 * s)
    elif kind == "compare":
        page(canvas, 0, 0, int(9 * s), int(11 * s), PAPER_BACK)
        page(canvas, int(5 * s), int(4 * s), size - 1, size - 1, PAPER)
    elif kind == "new_folders":
        canvas.rectangle(0, int(2 * s), int(6 * s), int(5 * s), FOLDER_DARK, OUTLINE)
        canvas.rectangle(0, int(4 * s), int(13 * s), int(13 * s), FOLDER, OUTLINE)
        centre = int(12 * s)
        arm = int(3 * s)
        canvas.thick_line(centre - arm, centre, centre + arm, centre, max(1, int(1.5 * s)), PLUS)
        canvas.thick_line(centre, centre - arm, centre, centre + arm, max(1, int(1.5 * s)), PLUS)
    elif kind == "fake_file":
        canvas.rectangle(int(2 * s), 0, int(13 * s), size - 1, PAPER, OUTLINE)
        for x in range(int(4 * s), int(12 * s)):
            for y in range(int(11 * s), int(13 * s) + 1):
                canvas.put(x, y, BAR)
    return canvas


def bitmap_entry(canvas):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA rows, AND mask."""
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    for y in reversed(range(size)):
        for r, g, b, a in canvas.pixels[y]:
            rows += bytes((b, g, r, a))
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(canvas.pixels[y]):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(rows) + bytes(mask)


def write_icon(path, kind):
    images = [bitmap_entry(draw(kind, size)) for size in (16, 32)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip((16, 32), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    for name, kind in (("program.ico", "program"), ("find.ico", "find"), ("compare.ico", "compare"),
                       ("new_folders.ico", "new_folders"), ("fake_file.ico", "fake_file")):
        write_icon(os.path.join(res, name), kind)


if __name__ == "__main__":
    main()
