#!/usr/bin/python3
"""Writes to standard output the list file that the program saves for these entries at the design
geometry, spelled out from the format: signature, class and object name, the stored properties,
Items.Strings (left out when there is no entry). 7-bit entries are short strings (tag 6), or long
ones (tag 12) above 255 characters; every other one is a UTF-8 string (tag 20) with each UTF-16
unit on its own as 1 to 3 bytes.
    list_image.py [--geometry LEFT TOP WIDTH HEIGHT ITEMHEIGHT] [ENTRY...] > korlinkwalker.dat"""
import struct
import sys


def short(b):
    return bytes([len(b)]) + b


def integer(v):
    return b"\x02" + struct.pack("<b", v) if -128 <= v <= 127 else b"\x03" + struct.pack("<h", v)


def text(s):
    if all(ord(c) < 0x80 for c in s):
        b = s.encode("ascii")
        return b"\x06" + short(b) if len(b) <= 255 else b"\x0c" + struct.pack("<i", len(b)) + b
    units = struct.unpack("<%dH" % (len(s.encode("utf-16-le")) // 2), s.encode("utf-16-le"))
    b = b"".join(chr(u).encode("utf-8", "surrogatepass") for u in units)
    return b"\x14" + struct.pack("<i", len(b)) + b


def image(entries, bounds=(4, 4, 267, 133), item_height=12):
    out = b"TPF0" + short(b"TListBox") + short(b"lbxURL")
    out += short(b"Left") + integer(bounds[0]) + short(b"Top") + integer(bounds[1])
    out += short(b"Width") + integer(bounds[2]) + short(b"Height") + integer(bounds[3])
    out += short(b"Color") + b"\x07" + short(b"clWhite") + short(b"ItemHeight") + integer(item_height)
    if entries:
        out += short(b"Items.Strings") + b"\x01" + b"".join(text(e) for e in entries) + b"\x00"
    return out + short(b"TabOrder") + integer(2) + b"\x00\x00"


if __name__ == "__main__":
    args = sys.argv[1:]
    bounds, item_height = (4, 4, 267, 133), 12
    # As an earlier build wrote it at another density: the list's rectangle and row height in
    # that density's pixels.
    if args[:1] == ["--geometry"]:
        bounds, item_height = tuple(int(v) for v in args[1:5]), int(args[5])
        args = args[6:]
    sys.stdout.buffer.write(image(args, bounds, item_height))
