#!/usr/bin/env bash
# Creates (once) a Wine prefix for this program's runs and tests:
#   tools/wineprefix.sh PREFIX [DPI] [unmanaged]
# The two Japanese font names the window asks for do not exist under Wine; they are mapped to
# the Ume fonts, which measure like them. DPI (default 96) goes to LogPixels. "unmanaged" is for
# a display without a window manager: Wine draws the frames itself.
set -euo pipefail
prefix=$(realpath -m "$1")
dpi=${2:-96}
mode=${3:-managed}
here=$(cd "$(dirname "$0")" && pwd)
# No Mono or Gecko set-up dialogs; and no menu builder, which would write desktop entries, menus,
# icons and file types into the user's own folders (the prefix's registry keeps it off later).
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The stamp changes with the settings, so that a changed make_reg.py or this script reaches
# existing prefixes.
stamp="$prefix/.klw-settings-$dpi-$mode-$(cat "$here/make_reg.py" "$0" | cksum | cut -d' ' -f1)"
[ -f "$stamp" ] && exit 0
mkdir -p "$prefix"
# No output through pipes: a wineserver started here would inherit them.
[ -f "$prefix/system.reg" ] || wineboot -i >"$prefix/.wineboot.log" 2>&1 </dev/null
# Wine's own fonts (package fonts-wine: Marlett for the caption buttons, Tahoma, ...). Debian's
# Wine 8 looks for them in a folder that does not resolve, so they are linked into the prefix's
# Fonts folder, which Wine reads in full.
fonts="$prefix/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  for f in /usr/share/wine/fonts/*; do ln -sfn "$f" "$fonts/"; done
fi
reg="$prefix/.klw-settings.reg"
python3 "$here/make_reg.py" "$reg" "$dpi" "$mode"
wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >"$prefix/.regedit.log" 2>&1 </dev/null
# Settings such as LogPixels are read when the wineserver starts.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
rm -f "$prefix"/.klw-settings-* "$prefix"/.klw-prefix-*
touch "$stamp"
