#!/usr/bin/env python3
"""Writes the UTF-16LE .reg file that maps the window's fonts and sets the pixel density.

regedit takes the file, not command-line arguments, because Wine mangles non-ASCII arguments."""
import sys

path, dpi = sys.argv[1], int(sys.argv[2])
text = (
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
    '"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af"="Ume P Gothic"\r\n'  # ＭＳ Ｐゴシック
    '"\uff2d\uff33 \u30b4\u30b7\u30c3\u30af"="Ume Gothic"\r\n'  # ＭＳ ゴシック
    "\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
    f'"LogPixels"=dword:{dpi:08x}\r\n'
    # There is no window manager on a virtual display: Wine then draws the frames and
    # carries out minimize and restore itself.
    "\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"
    '"Managed"="N"\r\n'
    '"Decorated"="N"\r\n'

)
with open(path, "wb") as f:
    f.write(b"\xff\xfe" + text.encode("utf-16-le"))
