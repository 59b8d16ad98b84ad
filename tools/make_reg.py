#!/usr/bin/env python3
"""Writes the UTF-16LE .reg file that maps the window's fonts and sets the pixel density.

    make_reg.py FILE DPI [unmanaged]

regedit takes the file, not command-line arguments, because Wine mangles non-ASCII arguments.
"unmanaged" is for a display without a window manager: Wine then draws the frames and carries
out minimize and restore itself."""
import sys


def multi_sz(*items):
    data = ("".join(item + "\0" for item in items) + "\0").encode("utf-16-le")
    return "hex(7):" + ",".join("%02x" % b for b in data)


# The fonts linked in, in the order Wine tries them: "file,family".
LINKED = (
    "NanumGothic.ttf,NanumGothic",
    "gkai00mp.ttf,AR PL KaitiM GB",
    "tahoma.ttf,Tahoma",
    "Lohit-Devanagari.ttf,Lohit Devanagari",
)
LINKED_FROM = (
    "Ume P Gothic",
    "\u6885P\u30b4\u30b7\u30c3\u30af",  # 梅Pゴシック
    "Ume Gothic",
    "\u6885\u30b4\u30b7\u30c3\u30af",  # 梅ゴシック
    "Ume Hy Gothic",
    "\u6885Hy\u30b4\u30b7\u30c3\u30af",  # 梅Hyゴシック
)

# Fallback fonts by script: Arabic from Wine's Tahoma (shaped with its positional forms), Hebrew
# from DejaVu Sans, Thai from Garuda, Devanagari from Lohit Devanagari, emoji from Symbola.
FALLBACK = (
    ("arab", "Tahoma"),
    ("hebr", "DejaVu Sans"),
    ("thai", "Garuda"),
    ("deva", "Lohit Devanagari"),
    ("", "Symbola"),
)


def tag_value(tag):
    """The value name Wine reads: the tag as a little-endian number, in lower-case hex."""
    return "%x" % int.from_bytes(tag.encode("ascii"), "little")


path, dpi = sys.argv[1], int(sys.argv[2])
unmanaged = len(sys.argv) > 3 and sys.argv[3] == "unmanaged"
text = (
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
    '"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af"="Ume P Gothic"\r\n'  # ＭＳ Ｐゴシック
    '"\uff2d\uff33 \u30b4\u30b7\u30c3\u30af"="Ume Gothic"\r\n'  # ＭＳ ゴシック
    # Scripts the Ume fonts lack are linked in from other fonts, as Windows links them: Hangul
    # from Nanum Gothic, simplified Chinese from AR PL KaitiM GB, Arabic from Wine's own Tahoma,
    # Devanagari from Lohit Devanagari. Wine looks the links up under the name of the family it
    # chose, and on the Japanese code page that is its Japanese name: each Ume font the window
    # and the message box come to (P Gothic, Gothic, Hy Gothic) is listed under both names.
    "\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n"
    + "".join(f'"{name}"={multi_sz(*LINKED)}\r\n' for name in LINKED_FROM)
    # Where Wine's text services find no glyph for a run, they take the fallback font of its
    # script, named by the script's OpenType tag; the names Wine has built in (Microsoft Sans
    # Serif, Mangal) are missing or lack the script's letters. The entry field and the list's
    # shaped rows draw these scripts from them. Characters beyond U+FFFF (emoji) form a script
    # whose tag is 0 and which has none: Symbola.
    + "\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Uniscribe\\Fallback]\r\n"
    + "".join(f'"{tag_value(tag)}"="{face}"\r\n' for tag, face in FALLBACK)
    + "\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
    f'"LogPixels"=dword:{dpi:08x}\r\n'
    # A crashing program ends at once instead of waiting in Wine's debugger.
    "\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n"
    '"Debugger"=""\r\n'
    '"Auto"="1"\r\n'
    # Wine's menu builder stays off: it would write desktop entries, menus and icons of its own
    # into the user's folders. The shell's http and https handlers stay Wine's: winebrowser.
    "\r\n[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\r\n"
    '"winemenubuilder.exe"=""\r\n'
)
if unmanaged:
    text += (
        "\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"
        '"Managed"="N"\r\n'
        '"Decorated"="N"\r\n'
    )
with open(path, "wb") as f:
    f.write(b"\xff\xfe" + text.encode("utf-16-le"))
