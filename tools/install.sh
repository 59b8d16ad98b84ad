#!/usr/bin/env bash
# Installs KORVANE LINKWALKER for the current user, to run under Wine; no root needed once the
# packages are there (tools/setup.sh installs them when they are missing).
#   tools/install.sh               install, or upgrade in place (the list and the prefix stay)
#   tools/install.sh --uninstall   remove the installation; the list files stay
# What goes where ($XDG_DATA_HOME defaults to ~/.local/share):
#   $XDG_DATA_HOME/korlinkwalker/         KorLinkWalker.exe, its own Wine prefix (prefix/), and
#                                         list/, the folder the menu entry starts the program in
#   ~/.local/bin/korlinkwalker            the launcher: the program in the current directory
#   $XDG_DATA_HOME/applications/korlinkwalker.desktop, and its 32x32 icon in the hicolor theme
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLW_BUILD_DIR:-$root/build}

data_home=${XDG_DATA_HOME:-}
# A relative XDG_DATA_HOME is invalid and to be ignored.
[[ $data_home == /* ]] || data_home=$HOME/.local/share
dir=$data_home/korlinkwalker
exe=$dir/KorLinkWalker.exe
prefix=$dir/prefix
list=$dir/list
bin=$HOME/.local/bin
launcher=$bin/korlinkwalker
entry=$data_home/applications/korlinkwalker.desktop
icon=$data_home/icons/hicolor/32x32/apps/korlinkwalker.png
# The folders that the installation had to create, deepest last; the uninstall removes those
# that are empty again, so that nothing is left behind but the list.
made=$dir/.made-folders
# As tools/wineprefix.sh: Wine's menu builder would add desktop entries, menus, icons and file
# types of its own to the user's folders.
overrides="mscoree,mshtml=;winemenubuilder.exe=d"

# mkdir -p that notes each folder it makes.
make_folder() {
  local d=$1 missing=()
  while [ ! -d "$d" ]; do
    missing=("$d" "${missing[@]}")
    d=$(dirname "$d")
  done
  [ ${#missing[@]} -eq 0 ] && return
  mkdir -p "$1"
  mkdir -p "$dir"
  printf '%s\n' "${missing[@]}" >>"$made"
}

# Replaces a file in one step, so that a running program or shell never sees half of it.
put() {
  local from=$1 to=$2 mode=$3
  cp "$from" "$to.new"
  chmod "$mode" "$to.new"
  mv -f "$to.new" "$to"
}

uninstall() {
  if [ ! -e "$dir" ] && [ ! -e "$launcher" ] && [ ! -e "$entry" ] && [ ! -e "$icon" ]; then
    echo "KORVANE LINKWALKER is not installed in $dir"
    return
  fi
  if [ -d "$prefix" ] && command -v wineserver >/dev/null; then
    # Waits for programs still running in the prefix; they may be saving their lists.
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 </dev/null || true
  fi
  rm -f "$launcher" "$entry" "$icon" "$exe"
  rm -rf "$prefix"
  if [ -f "$made" ]; then
    local folders
    mapfile -t folders <"$made"
    rm -f "$made"
    for ((i = ${#folders[@]} - 1; i >= 0; i--)); do
      rmdir "${folders[i]}" 2>/dev/null || true
    done
  fi
  echo "KORVANE LINKWALKER removed."
  if [ -d "$list" ]; then
    echo "The list files in $list were left where they are."
  fi
}

install() {
  "$root/tools/setup.sh"
  echo "== Building KorLinkWalker.exe in $build/win"
  cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$build/win" --target KorLinkWalker

  echo "== Installing into $dir"
  for d in "$dir" "$list" "$bin" "$(dirname "$entry")" "$(dirname "$icon")"; do make_folder "$d"; done
  # Without this file the uninstall would have no record of what to remove: start the record
  # even when every folder was there already.
  touch "$made"
  put "$build/win/src/app/KorLinkWalker.exe" "$exe" 644
  # The prefix the run command makes: fonts mapped, Japanese code page, at 96 dpi.
  "$root/tools/wineprefix.sh" "$prefix" 96

  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  convert "$root/res/korlinkwalker.ico[0]" -strip PNG32:"$tmp/icon.png"
  put "$tmp/icon.png" "$icon" 644

  cat >"$tmp/launcher" <<EOF
#!/bin/bash
# KORVANE LINKWALKER under Wine, in the current directory (where it keeps korlinkwalker.dat).
# Installed by tools/install.sh; returns the program's exit code.
set -euo pipefail
prefix=$(printf '%q' "$prefix")
exe=$(printf '%q' "$exe")
if ! command -v wine >/dev/null 2>&1; then
  echo "korlinkwalker: Wine is not installed (on Debian: sudo apt-get install wine wine64 fonts-wine)." >&2
  exit 127
fi
if [ -z "\${DISPLAY:-}" ]; then
  echo "korlinkwalker: no X display (DISPLAY is not set): start it from a desktop session." >&2
  exit 1
fi
if command -v xdpyinfo >/dev/null 2>&1 && ! xdpyinfo >/dev/null 2>&1; then
  echo "korlinkwalker: the X display \$DISPLAY cannot be opened." >&2
  exit 1
fi
if [ ! -f "\$exe" ] || [ ! -d "\$prefix" ]; then
  echo "korlinkwalker: the installation in \$(dirname "\$exe") is incomplete: run tools/install.sh again." >&2
  exit 1
fi
EOF
  # Closing the terminal then saves the list as Ctrl+C does.
  cat "$root/tools/orderly-end.sh" >>"$tmp/launcher"
  cat >>"$tmp/launcher" <<EOF
export WINEPREFIX=\$prefix WINEDEBUG=\${WINEDEBUG:--all} LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES=$(printf '%q' "$overrides")
code=0
run_to_orderly_end wine "\$exe" || code=\$?
exit "\$code"
EOF
  put "$tmp/launcher" "$launcher" 755

  python3 - "$tmp/entry" "$launcher" "$list" <<'PY'
import sys
out, launcher, folder = sys.argv[1:]
def string(s):
    # The escapes of a desktop entry's string values.
    return s.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t").replace("\r", "\\r")
def argument(s):
    # An Exec argument: quoted when it holds a reserved character, then as a string value.
    if any(c in s for c in " \t\n\"'\\><~|&;$*?#()`"):
        s = '"' + "".join("\\" + c if c in '"`$\\' else c for c in s) + '"'
    return string(s.replace("%", "%%"))
with open(out, "w", encoding="utf-8") as f:
    f.write("[Desktop Entry]\n"
            "Type=Application\n"
            "Name=KORVANE LINKWALKER\n"
            "Comment=Keeps an ordered list of web addresses and opens them one after another\n"
            f"Exec={argument(launcher)}\n"
            f"Path={string(folder)}\n"
            "Icon=korlinkwalker\n"
            "Terminal=false\n"
            "Categories=Network;\n"
            "StartupWMClass=korlinkwalker.exe\n")
PY
  put "$tmp/entry" "$entry" 644

  echo "Installed KORVANE LINKWALKER:"
  echo "  program and Wine prefix: $dir"
  echo "  launcher:                $launcher (starts the program in the current directory)"
  echo "  menu entry:              $entry (its list: $list)"
  case ":$PATH:" in
    *":$bin:"*) ;;
    *) echo "Note: $bin is not on your PATH; add it to start 'korlinkwalker' by name." ;;
  esac
}

case "${1:-}" in
  "") install ;;
  --uninstall) uninstall ;;
  *)
    echo "usage: tools/install.sh [--uninstall]" >&2
    exit 2
    ;;
esac
