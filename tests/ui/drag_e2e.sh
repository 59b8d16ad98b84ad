#!/usr/bin/env bash
# A real drag under Wine between two processes, made with the mouse as a person makes it: the
# drag source (another process) offers a link as browsers on Windows do, xdotool presses the
# button on it, moves the pointer in steps onto the program's list and releases it there.
# First onto the bare drop logger, which records what Wine carries across: each format offered
# and its bytes. Then onto the program, under the Japanese code page (932) and a Western one
# (1252): the link is appended exactly, selected, the entry field's text and the focus stay; the
# saved file holds the entries, and the next start shows them.
#   drag_e2e.sh KorLinkWalker.exe klw_probe.exe klw_drag_source.exe klw_drop_logger.exe
# (WINEPREFIX: the test prefix.) On failure (or with KLW_KEEP_LOGS set) the logs and the
# screenshots stay, in a folder it names.
set -euo pipefail
source "$(dirname "$0")/../support/e2e_program.sh"
program_test "$1" "$2"
source_exe=$(realpath "$3")
logger_exe=$(realpath "$4")
export LC_ALL=ja_JP.UTF-8

test_folders drag
release_button() { xdotool mouseup 1 >/dev/null 2>&1 || true; }
exit_hook=release_button
own_display 66

ja="https://ja.wikipedia.org/wiki/日本語"
title="日本語 - Wikipedia"
first="https://example.com/first"
# Where the drag starts: the source's window, away from the program's and the logger's.
source_x=900
source_y=600

# drag_to X Y LOG: starts the drag source, presses the left button on it, moves the pointer in
# 20 steps to X,Y, releases it there, and waits for the source to report the end of the drag.
drag_to() {
  local x=$1 y=$2 log=$3
  rm -f "$log"
  (LC_ALL=$locale exec wine "$source_exe" "$(winepath -w "$log" 2>/dev/null)" "$ja" "$title" \
    "$source_x" "$source_y" >>"$logs/source.out" 2>&1 </dev/null) &
  local pid=$!
  for _ in $(seq 100); do grep -q '^ready' "$log" 2>/dev/null && break; sleep 0.1; done
  grep -q '^ready' "$log" 2>/dev/null || fail "the drag source did not start"
  local sx=$((source_x + 60)) sy=$((source_y + 40))
  xdotool mousemove --sync "$sx" "$sy"
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  for i in $(seq 1 20); do
    xdotool mousemove $((sx + (x - sx) * i / 20)) $((sy + (y - sy) * i / 20))
    sleep 0.05
  done
  sleep 0.3
  xdotool mouseup 1
  for _ in $(seq 100); do grep -q '^result' "$log" && break; sleep 0.1; done
  wait "$pid" || true
  grep -q '^result' "$log" || { cat "$log" >&2; fail "the drag never ended"; }
}

echo "== What Wine carries from DoDragDrop in one process to a drop target in another"
locale=ja_JP.UTF-8
(exec wine "$logger_exe" drop "$(winepath -w "$logs/logger.log" 2>/dev/null)" 400 300 400 300 \
  >>"$logs/logger.out" 2>&1 </dev/null) &
logger_pid=$!
for _ in $(seq 100); do grep -q '^ready 00000000' "$logs/logger.log" 2>/dev/null && break; sleep 0.1; done
grep -q '^ready 00000000' "$logs/logger.log" || fail "the logger did not register its drop target"
drag_to 600 450 "$logs/source-logger.log"
wait "$logger_pid" || true
# Every format exactly as offered: the addresses NUL-terminated, in UTF-16, in code page 932
# ("日本語" as 93 fa 96 7b 8c ea), and text/x-moz-url as address, LF, title.
python3 - "$logs/logger.log" "$ja" "$title" <<'PY' || fail "the logger did not receive the link as offered: $(cut -c1-160 "$logs/logger.log")"
import sys
log, address, title = sys.argv[1], sys.argv[2], sys.argv[3]
lines = open(log, encoding="utf-8").read().splitlines()
names = ["UniformResourceLocatorW", "UniformResourceLocator", "text/x-moz-url", "CF_UNICODETEXT"]
# "format CF NAME TYMED" and "data CF NAME SIZE HEX": a name may hold spaces.
assert [" ".join(l.split(" ")[2:-1]) for l in lines if l.startswith("format ")] == names, lines
assert any(l.startswith("drop ") for l in lines), "no drop"
rows = [l.split(" ") for l in lines if l.startswith("data ")]
data = {" ".join(r[2:-2]): bytes.fromhex(r[-1]) for r in rows}
z = "\0"
assert data["UniformResourceLocatorW"] == (address + z).encode("utf-16-le")
assert data["UniformResourceLocator"] == b"https://ja.wikipedia.org/wiki/\x93\xfa\x96\x7b\x8c\xea\0"
assert data["text/x-moz-url"] == (address + "\n" + title + z).encode("utf-16-le")
assert data["CF_UNICODETEXT"] == (address + z).encode("utf-16-le")
PY
ok "across two processes the drop target received the four formats in order, byte for byte"
grep -qx 'result 00040100 1' "$logs/source-logger.log" ||
  fail "DoDragDrop did not report a copy: $(cat "$logs/source-logger.log")"
ok "DoDragDrop returned DRAGDROP_S_DROP with DROPEFFECT_COPY"

image "$first" >"$logs/before.dat"
image "$first" "$ja" >"$logs/expected.dat"
# The entry spelled out once by hand: tag 20, its 39 bytes, "日本語" as e6 97 a5 e6 9c ac e8 aa 9e.
python3 - "$logs/expected.dat" <<'PY' || fail "the expected image does not spell the rule"
import sys
image = open(sys.argv[1], "rb").read()
assert bytes.fromhex("14 27 00 00 00") + b"https://ja.wikipedia.org/wiki/" + bytes.fromhex("e6 97 a5 e6 9c ac e8 aa 9e 00") + b"\x08TabOrder" in image
PY

for run in "ja_JP.UTF-8 932" "C.UTF-8 1252"; do
  read -r locale codepage <<<"$run"
  echo "== Dragged onto the program's list under code page $codepage"
  rm -f "$work"/*
  cp "$logs/before.dat" "$work/korlinkwalker.dat"
  start_program "$locale"
  xdotool type --delay 30 "typed"
  wait_for "field typed"
  read -r _ l t r b < <(grep '^list-rect ' <<<"$(probe_state)")
  drag_to $(((l + r) / 2)) $(((t + b) / 2)) "$logs/source-$codepage.log"
  wait_for "count 2"
  import -window root "$logs/after-drop-$codepage.png"
  state=$(probe_state)
  [ "$(grep -E '^(count|selected|item|field|focus) ' <<<"$state")" = \
    "$(printf 'count 2\nselected 1\nitem %s\nitem %s\nfield typed\nfocus Edit' "$first" "$ja")" ] ||
    fail "after the drop: $state"
  ok "under $codepage the link was appended exactly and selected; the field kept its text and the focus"
  grep -qx 'result 00040100 1' "$logs/source-$codepage.log" ||
    fail "DoDragDrop did not report a copy: $(cat "$logs/source-$codepage.log")"
  ok "the program answered the drag with a copy"
  close_program
  cmp "$logs/expected.dat" "$work/korlinkwalker.dat" || fail "the saved file is not the list with the dropped link"
  start_program "$locale"
  state=$(probe_state)
  [ "$(grep -E '^(count|item) ' <<<"$state")" = "$(printf 'count 2\nitem %s\nitem %s' "$first" "$ja")" ] ||
    fail "the next start shows: $state"
  close_program
  ok "under $codepage the saved file holds the dropped link byte for byte, and the next start shows it"
done
echo "drag: $checks checks passed"
echo "1 passed, 0 failed"
