#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian machine, when it is missing.
set -euo pipefail
# fonts-wine is only recommended by wine, and recommends are not installed: without it the
# window frames that Wine draws itself show their caption buttons as letters. python3-xlib and
# xclip are the X drag source's and the X clipboard's side of the drop and paste test; with
# x11-xserver-utils (xset), python3-xlib also holds a key down as a person does. The fonts the
# Wine prefix links in for the scripts the Ume fonts lack (tools/make_reg.py): Hangul from
# fonts-nanum, simplified Chinese from fonts-arphic-gkai00mp; and those that Wine's text services
# fall back to for shaped text in the list and the entry field: Devanagari from
# fonts-lohit-deva, Thai from fonts-tlwg-garuda-ttf, Hebrew from fonts-dejavu-core, emoji from
# fonts-symbola (Arabic from fonts-wine's Tahoma). tmux is the
# terminal in which the installation test presses Ctrl+C.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 wine wine64 fonts-wine
  xvfb xdotool x11-utils x11-xserver-utils imagemagick fonts-horai-umefont fonts-nanum
  fonts-arphic-gkai00mp fonts-lohit-deva fonts-tlwg-garuda-ttf fonts-dejavu-core fonts-symbola
  locales python3 clang-format xdg-utils desktop-file-utils libglib2.0-bin python3-xlib xclip tmux)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine runs with the Japanese locale (ANSI code page 932).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
