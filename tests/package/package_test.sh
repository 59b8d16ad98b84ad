#!/usr/bin/env bash
# The Windows download is reproducible and complete: tools/package.sh in this checkout and in a
# copy of its sources at another path (each with its own build tree) must give the same
# executable, zip and SHA256SUMS byte for byte; the zip holds exactly KorLinkWalker.exe,
# README.md and LICENSE; the executable has no link time, no debug information and no build
# path in it; and the exe taken out of the zip starts under Wine and shows its window.
#   package_test.sh BUILD_DIR     (BUILD_DIR/win/prefix-96 and klw_probe.exe from the test run)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
probe="$build/win/tests/persist/klw_probe.exe"
[ -f "$probe" ] || { echo "package_test.sh: build the Windows tree first ($probe is missing)" >&2; exit 1; }
source "$root/tests/support/e2e_program.sh"
export WINEPREFIX="$build/win/prefix-96" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8

t=$(mktemp -d /tmp/klw-package.XXXXXX)
temp_dirs=("$t")
# Leave no stored place behind for the other tests of the prefix.
forget_place=1
second="$t/another/checkout/of/the/sources"
checks=0

echo "== tools/package.sh here and in a copy of the sources at $second"
# The files git knows, as they are now (uncommitted changes included).
mkdir -p "$second"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do
    if [ -f "$f" ] || [ -L "$f" ]; then cp -P --parents "$f" "$second/"; fi
  done)
[ -f "$second/tools/package.sh" ] || fail "the copy of the sources is incomplete"
KLW_BUILD_DIR=$build KLW_DIST_DIR="$t/dist-1" "$root/tools/package.sh" >"$t/package-1.log" 2>&1 </dev/null ||
  { cat "$t/package-1.log"; fail "tools/package.sh failed"; }
KLW_BUILD_DIR="$second/build" KLW_DIST_DIR="$t/dist-2" "$second/tools/package.sh" >"$t/package-2.log" 2>&1 </dev/null ||
  { cat "$t/package-2.log"; fail "tools/package.sh failed in the copy"; }
zip=$(cd "$t/dist-1" && ls -- *.zip)
[ "$zip" = "KorLinkWalker-0.90-win64.zip" ] || fail "the download is called $zip"
[ "$(ls "$t/dist-1")" = "$(printf '%s\n' "$zip" SHA256SUMS)" ] || fail "dist holds: $(ls "$t/dist-1")"
(cd "$t/dist-1" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the zip"
cmp "$t/dist-1/SHA256SUMS" "$t/dist-2/SHA256SUMS" || fail "SHA256SUMS differ: $(cat "$t"/dist-*/SHA256SUMS)"
cmp "$t/dist-1/$zip" "$t/dist-2/$zip" || fail "the zips differ"
cmp "$build/package/src/app/KorLinkWalker.exe" "$second/build/package/src/app/KorLinkWalker.exe" ||
  fail "the executables differ"
ok "two builds in different folders give the same exe, zip and SHA256SUMS ($(cut -c1-16 <"$t/dist-1/SHA256SUMS")...)"

python3 - "$t/dist-1/$zip" "$t/unpacked" "$build/package/src/app/KorLinkWalker.exe" \
  "$root/README.md" "$root/LICENSE" "$root" "$second" "$build" "$t" <<'PY' || fail "the zip or its executable"
import os, struct, sys, zipfile
path, out, exe, readme, licence, *folders = sys.argv[1:]
with zipfile.ZipFile(path) as z:
    names = z.namelist()
    if names != ["KorLinkWalker.exe", "README.md", "LICENSE"]:
        sys.exit(f"the zip holds {names}")
    for info in z.infolist():
        if info.date_time != (2026, 1, 1, 0, 0, 0) or info.external_attr >> 16 != 0o100644:
            sys.exit(f"{info.filename}: time {info.date_time}, mode {oct(info.external_attr >> 16)}")
    for name, source in zip(names, (exe, readme, licence)):
        if z.read(name) != open(source, "rb").read():
            sys.exit(f"{name} in the zip is not {source}")
    z.extractall(out)
data = open(exe, "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
if data[pe:pe + 4] != b"PE\0\0":
    sys.exit("not a PE file")
sections, stamp = struct.unpack_from("<HI", data, pe + 6)
if stamp != 0:
    sys.exit(f"link time {stamp} in the PE header")
optional = struct.unpack_from("<H", data, pe + 20)[0]
table = pe + 24 + optional
for i in range(sections):
    name = data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0")
    if name.startswith(b".debug") or name.startswith(b"/"):
        sys.exit(f"section {name!r}: debug information or a symbol table")
for folder in folders:
    for form in (folder, folder.replace("/", "\\")):
        if form.encode() in data:
            sys.exit(f"the build folder {form} is in the executable")
PY
ok "the zip holds exactly KorLinkWalker.exe, README.md and LICENSE, at fixed times; no link time, debug information or build path in the exe"

echo "== The exe from the zip under Wine"
own_display 80
"$root/tools/wineprefix.sh" "$WINEPREFIX" 96 unmanaged
mkdir "$t/folder"
wine reg delete 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /f >/dev/null 2>&1 </dev/null || true
(cd "$t/folder" && exec wine "$t/unpacked/KorLinkWalker.exe" >"$t/program.log" 2>&1 </dev/null) &
program_pid=$!
wait_main_window 300
(cd "$t" && wine "$probe" state state.txt >"$t/probe.log" 2>&1 </dev/null) || fail "the probe found no main window"
grep -qx "count 0" "$t/state.txt" && grep -qx "enabled Go 0" "$t/state.txt" && grep -qx "enabled Add 0" "$t/state.txt" ||
  fail "the window is not the program's empty main window: $(cat "$t/state.txt")"
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+F4
code=0
wait "$program_pid" || code=$?
program_pid=""
[ "$code" -eq 0 ] || fail "the packaged exe returned $code"
[ "$(stat -c %s "$t/folder/korlinkwalker.dat")" -eq 93 ] || fail "no empty list saved in the folder it was started in"
ok "the packaged exe shows its main window under Wine, closes with exit code 0 and saves its empty list"
echo "package: $checks checks passed"
