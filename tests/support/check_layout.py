#!/usr/bin/python3
"""Checks the main window's layout as the probe's state file gives it (screen rectangles of the
list, the field and the buttons, and the client area) against the design scaled to a density:
every edge within a pixel of the design's, every control inside the client area, no two
overlapping. Prints the list's rectangle in client pixels; exits 1 with the reasons otherwise.
    check_layout.py STATE DPI"""
import sys

DESIGN = {  # left, top, width, height at 96 pixels per inch
    "list": (4, 4, 267, 133),
    "field": (4, 140, 267, 20),
    "Go": (276, 116, 41, 21),
    "Add": (276, 140, 41, 21),
    "Up": (276, 4, 41, 21),
    "Down": (276, 32, 41, 21),
    "Delete": (276, 60, 41, 21),
}
CLIENT = (322, 165)


def scale(x, dpi):
    # x * dpi / 96, halves away from zero, as the window scales
    q, r = divmod(abs(x) * dpi * 2 + 96, 192)
    return q if x >= 0 else -q


def main():
    state, dpi = sys.argv[1], int(sys.argv[2])
    rects, client = {}, None
    for line in open(state, encoding="utf-8"):
        words = line.split()
        if words[:1] == ["client"]:
            client = [int(v) for v in words[1:5]]
        elif words[:1] == ["list-rect"]:
            rects["list"] = [int(v) for v in words[1:5]]
        elif words[:1] == ["field-rect"]:
            rects["field"] = [int(v) for v in words[1:5]]
        elif words[:1] == ["button-rect"]:
            rects[words[1]] = [int(v) for v in words[2:6]]
    problems = []
    if client is None or set(rects) != set(DESIGN):
        sys.exit(f"incomplete state: client {client}, controls {sorted(rects)}")
    ox, oy, cw, ch = client
    for name, (l, t, r, b) in rects.items():
        rects[name] = (l - ox, t - oy, r - ox, b - oy)
    if abs(cw - scale(CLIENT[0], dpi)) > 1 or abs(ch - scale(CLIENT[1], dpi)) > 1:
        problems.append(f"client area {cw} x {ch}, designed {scale(CLIENT[0], dpi)} x {scale(CLIENT[1], dpi)}")
    for name, (l, t, w, h) in DESIGN.items():
        want = (scale(l, dpi), scale(t, dpi), scale(l + w, dpi), scale(t + h, dpi))
        got = rects[name]
        # The field's height follows its font.
        edges = 3 if name == "field" else 4
        if any(abs(got[i] - want[i]) > 1 for i in range(edges)):
            problems.append(f"{name} at {got}, designed {want}")
        if got[0] < 0 or got[1] < 0 or got[2] > cw or got[3] > ch or got[2] <= got[0] or got[3] <= got[1]:
            problems.append(f"{name} at {got} is not inside the client area {cw} x {ch}")
    names = sorted(rects)
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            p, q = rects[a], rects[b]
            if p[0] < q[2] and q[0] < p[2] and p[1] < q[3] and q[1] < p[3]:
                problems.append(f"{a} {p} overlaps {b} {q}")
    if problems:
        sys.exit("\n".join(problems))
    l, t, r, b = rects["list"]
    print(l, t, r - l, b - t)


if __name__ == "__main__":
    main()
