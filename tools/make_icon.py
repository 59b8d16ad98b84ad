#!/usr/bin/env python3
"""Draws the program's icon: 32 x 32 pixels, 16 colours, a chain link over a list.

Writes res/korlinkwalker.ico; run it again only to change the picture."""
import struct
import sys

W = H = 32
# The 16-colour VGA palette, as BGRx.
PAL = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
WHITE, GREY, DARK, NAVY, BLUE, TEAL = 15, 7, 8, 4, 12, 6

px = [[None] * W for _ in range(H)]  # None: transparent
# A page with list rows.
for y in range(2, 30):
    for x in range(3, 25):
        px[y][x] = DARK if x in (3, 24) or y in (2, 29) else WHITE
for row in range(5, 27, 4):
    for x in range(6, 21):
        px[row][x] = NAVY if row == 5 else GREY
# An arrow walking down the list, on the right.
for y in range(6, 24):
    for x in range(26, 29):
        px[y][x] = BLUE
for i in range(5):
    for x in range(25 - i + 2, 29 + i - 2 + 1):
        if 0 <= x < W:
            px[24 + i][x] = BLUE
# A link: two rings.
def ring(cx, cy, r):
    for y in range(H):
        for x in range(W):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if r - 1.6 <= d <= r:
                px[y][x] = TEAL
ring(10, 18, 5)
ring(16, 22, 5)

xor = bytearray()
for y in reversed(range(H)):  # bottom-up rows
    for x in range(0, W, 2):
        a = px[y][x] if px[y][x] is not None else 0
        b = px[y][x + 1] if px[y][x + 1] is not None else 0
        xor.append((a << 4) | b)
andm = bytearray()
for y in reversed(range(H)):
    bits = 0
    for x in range(W):
        bits = (bits << 1) | (1 if px[y][x] is None else 0)
    andm += struct.pack(">I", bits)
header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PAL)
image = header + palette + bytes(xor) + bytes(andm)
ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", W, H, 16, 0, 1, 4, len(image), 22)
with open(sys.argv[1] if len(sys.argv) > 1 else "res/korlinkwalker.ico", "wb") as f:
    f.write(ico + image)
