#!/usr/bin/python3
"""Reads a popup menu's items from a screenshot of the menu window (a binary PPM, as ImageMagick
writes it): one line per item from the top, "item" for one drawn in the menu's text colour,
"grey" for one drawn greyed, "-" for a separator. For a menu of another process, whose items
Wine does not let be read.
    menu_items.py MENU.ppm"""
import sys
from collections import Counter


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", "a binary PPM of 8-bit channels"
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    return width, height, [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3])
                            for x in range(width)] for y in range(height)]


def main():
    width, height, rows = read_ppm(sys.argv[1])
    border = 3  # the menu window's frame
    inner = [row[border:width - border] for row in rows[border:height - border]]
    background = Counter(p for row in inner for p in row).most_common(1)[0][0]

    def ink(p):
        return sum(abs(a - b) for a, b in zip(p, background)) > 60

    # Bands of rows holding ink; a gap of one or two rows (an underline) stays in the band.
    bands, start, last = [], None, None
    for y, row in enumerate(inner):
        if any(ink(p) for p in row):
            if start is None or y - last > 3:
                if start is not None:
                    bands.append((start, last))
                start = y
            last = y
    if start is not None:
        bands.append((start, last))
    for top, bottom in bands:
        pixels = [p for row in inner[top:bottom + 1] for p in row if ink(p)]
        wide = max(sum(1 for p in row if ink(p)) for row in inner[top:bottom + 1])
        if bottom - top <= 2 and wide > len(inner[0]) * 0.8:
            print("-")
        elif min(max(p) for p in pixels) < 80:
            print("item")
        else:
            print("grey")


main()
