# Sourced by the end-to-end tests: failing and counting checks, the cleanup at their end, and
# for those that drive the real program on an X display, waiting for its window, starting it in
# $work, closing it with Alt+F4, and reading its window from another process with $probe.
# Wine's output goes to files in $logs, never through a pipe: a wineserver started here would
# inherit it.
e2e_support=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$e2e_support/../../tools/virtual-display.sh"

# What the cleanup at exit undoes, also after a failure, in this order: the program started
# ($program_pid), the test's own step ($exit_hook, a function name), the mount at $mounted, the
# shell's handlers of http and https (when set_http_handler changed them), the window place
# stored in the prefix (when $forget_place is set), the virtual display ($xvfb_pid) and the
# temporary folders ($temp_dirs).
program_pid=""
exit_hook=""
mounted=""
forget_place=""
xvfb_pid=""
temp_dirs=()
# With keep_logs set, a failed test (or any, with KLW_KEEP_LOGS set) leaves $logs in place, with
# a screenshot of the display at the failure, and says where.
keep_logs=""
end_of_test() {
  local code=$? dir
  if [ -n "$keep_logs" ] && [ -n "${logs:-}" ] && [ -d "$logs" ]; then
    [ "$code" -ne 0 ] && import -window root "$logs/at-failure.png" >/dev/null 2>&1 || true
    if [ "$code" -ne 0 ] || [ -n "${KLW_KEEP_LOGS:-}" ]; then
      echo "The logs and screenshots are kept in $logs" >&2
      for dir in "${!temp_dirs[@]}"; do [ "${temp_dirs[$dir]}" = "$logs" ] && unset "temp_dirs[$dir]"; done
    fi
  fi
  [ -n "$program_pid" ] && kill "$program_pid" >/dev/null 2>&1 || true
  [ -n "$exit_hook" ] && "$exit_hook" || true
  [ -z "$mounted" ] || umount "$mounted" 2>/dev/null || true
  restore_http_handler
  if [ -n "$forget_place" ]; then
    wine reg delete "$place_key" /f >/dev/null 2>&1 </dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
  [ ${#temp_dirs[@]} -eq 0 ] || rm -rf "${temp_dirs[@]}"
  return "$code"
}
trap end_of_test EXIT

# program_test EXE PROBE [RECORDER]: takes a program test's arguments, the program, the probe and
# the recorder (see with_recorder), for the test prefix named by WINEPREFIX, with Wine's
# diagnostics off.
program_test() {
  exe=$(realpath "$1")
  probe=$(realpath "$2")
  : "${WINEPREFIX:?the test prefix}"
  export WINEDEBUG=-all
  # A wineserver up before the first $(wine ...): one started inside a command substitution
  # would hold its output open. (It keeps a running one; a new one stays 3 s after its last use.)
  wineserver -p3 >/dev/null 2>&1 </dev/null || true
  [ -z "${3:-}" ] || with_recorder "$3"
}

# test_folders NAME [VAR]: fresh folders under /tmp named after NAME, removed at the end: $logs
# for Wine's output, the probe's files and the screenshots (kept when the test fails), and $work
# (or the variable VAR) for the test's lists. The window place the test leaves in the prefix is
# forgotten at the end, so that the other tests of the prefix start from none.
test_folders() {
  keep_logs=1
  forget_place=1
  local var=${2:-work} dir
  logs=$(mktemp -d "/tmp/klw-$1-logs.XXXXXX")
  dir=$(mktemp -d "/tmp/klw-$1.XXXXXX")
  printf -v "$var" '%s' "$dir"
  temp_dirs+=("$dir" "$logs")
}

# with_recorder RECORDER: the recorder ($recorder), the log it writes ($recorder_log) and its
# Windows path ($recorder_win).
with_recorder() {
  recorder=$(realpath "$1")
  recorder_log="$(dirname "$recorder")/klw-recorder.log"
  recorder_win=$(winepath -w "$recorder" 2>/dev/null)
}
# recorder_opens [OPTIONS]: the recorder, started with OPTIONS, becomes the shell's handler.
recorder_opens() { set_http_handler "\"$recorder_win\" ${1:+$1 }\"%1\""; }

# Wine's output goes to $logs/wine.log.
wine_quiet() { wine "$@" >>"$logs/wine.log" 2>&1 </dev/null; }

# The bytes of the list file holding the entries given.
image() { python3 "$e2e_support/list_image.py" "$@"; }

# small_disk: $work on a disk of its own of 1 MiB, until unmount_disk (or the end of the test).
small_disk() {
  mount -t tmpfs -o size=1m tmpfs "$work"
  mounted=$work
}
unmount_disk() {
  umount "$mounted"
  mounted=""
}

# Where the program keeps its window's place in the prefix. place_at LEFT TOP stores a place
# (negative numbers as reg.exe takes them: in hexadecimal); forget_stored_place removes it.
place_key='HKCU\SOFTWARE\KORVANE\LINKWALKER'
place_at() {
  wine_quiet reg add "$place_key" /v Top /t REG_DWORD /d "$(printf '0x%x' $(($2 & 0xFFFFFFFF)))" /f
  wine_quiet reg add "$place_key" /v Left /t REG_DWORD /d "$(printf '0x%x' $(($1 & 0xFFFFFFFF)))" /f
}
forget_stored_place() { wine_quiet reg delete "$place_key" /f || true; }

# own_display FIRST: a virtual display of the test's own (from display number FIRST on) when
# there is no usable one.
own_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    test_display "$1"
  fi
}

# test_display FIRST: a virtual display of the test's own (from display number FIRST on), with
# the prefix's desktop on it. The desktop process (explorer.exe) stays on the display it was
# started on, and Wine programs on another display take its window numbers: the first grab or
# release of the pointer unmaps a window that is not there, and Xlib ends the program. Ending it
# alone is not enough while other programs of the prefix hold the desktop, so the prefix starts
# afresh: its next program starts the desktop here.
test_display() {
  start_virtual_display "$1"
  # Tests that keep their prefix to themselves (the installation's) set no WINEPREFIX.
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
  # Kept, as the test command keeps it, with Wine's own background processes started now and
  # their output going nowhere: one started later by a test program would hold CTest's pipe.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# desktop_processes: "PID DISPLAY" of each desktop process of the prefix.
desktop_processes() {
  local pid env
  for pid in $(pgrep -f '^C:\\windows\\system32\\explorer\.exe' || true); do
    env=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null) || continue
    grep -qxF "WINEPREFIX=$WINEPREFIX" <<<"$env" || continue
    echo "$pid $(sed -n 's/^DISPLAY=//p' <<<"$env")"
  done
}

# set_http_handler COMMAND: the shell's "open" of http, https and mailto addresses runs COMMAND
# (where "%1" stands for the address) until the test ends, when the prefix's own handlers come
# back.
# Keeps what it saves in $logs.
http_handlers_saved=""
handler_key() { echo "HKCR\\$1\\shell\\open\\command"; }
set_http_handler() {
  local scheme
  if [ -z "$http_handlers_saved" ]; then
    for scheme in http https mailto; do
      wine reg query "$(handler_key "$scheme")" /ve >"$logs/handler-query.txt" 2>&1 </dev/null || true
      python3 -c 'import sys
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    parts = line.rstrip("\r\n").split("    ")
    if len(parts) >= 4 and parts[2] in ("REG_SZ", "REG_EXPAND_SZ"): print(parts[3])' \
        "$logs/handler-query.txt" >"$logs/handler-$scheme.txt"
    done
    http_handlers_saved=1
  fi
  for scheme in http https mailto; do
    wine_quiet reg add "$(handler_key "$scheme")" /ve /d "$1" /f
  done
}
restore_http_handler() {
  [ -n "$http_handlers_saved" ] || return 0
  local scheme old
  for scheme in http https mailto; do
    old=$(cat "$logs/handler-$scheme.txt" 2>/dev/null || true)
    if [ -n "$old" ]; then
      wine reg add "$(handler_key "$scheme")" /ve /d "$old" /f >/dev/null 2>&1 </dev/null || true
    else
      wine reg delete "$(handler_key "$scheme")" /f >/dev/null 2>&1 </dev/null || true
    fi
  done
  http_handlers_saved=""
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A check that passed, counted in $checks.
checks=0
ok() {
  checks=$((checks + 1))
  echo "ok: $*"
}

# wait_main_window [TENTHS]: waits up to TENTHS tenths of a second (default 150) for the
# program's visible main window, sets wid and gives the window the X input focus.
wait_main_window() {
  wid=""
  for _ in $(seq "${1:-150}"); do
    wid=$(xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the main window did not appear"
  xdotool windowfocus --sync "$wid"
}

# start_program [LOCALE]: starts $exe in $work (under LOCALE, else the current LC_ALL) and waits
# for its visible main window; sets program_pid and wid.
start_program() {
  local locale=${1:-${LC_ALL:-}}
  (cd "$work" && LC_ALL=$locale exec wine "$exe" >>"$logs/program.log" 2>&1 </dev/null) &
  program_pid=$!
  wait_main_window
}

# Closes with Alt+F4 and waits for the process; its exit code must be 0.
close_program() {
  xdotool windowfocus --sync "$wid"
  xdotool key --clearmodifiers alt+F4
  program_ends "the program did not end after Alt+F4"
}
# program_ends FAILURE: waits up to 15 s for the program to end, else fails saying FAILURE; its
# exit code must be 0.
program_ends() {
  program_gone 150 || fail "$1"
  local code=0
  wait "$program_pid" || code=$?
  program_pid=""
  [ "$code" -eq 0 ] || fail "exit code $code"
}

# The probe reads the running window from another process: list, selection, buttons, rectangle.
# A probe that could not start or read (seen once in many runs, with no word from Wine) is
# tried again; its exit codes go to probe.log.
probe_state() {
  local try code=0
  for try in 1 2 3; do
    rm -f "$logs/state.txt"
    code=0
    (cd "$logs" && LC_ALL=ja_JP.UTF-8 wine "$probe" state state.txt >>"$logs/probe.log" 2>&1 </dev/null) ||
      code=$?
    [ "$code" -eq 0 ] && break
    echo "probe state: exit code $code (try $try)" >>"$logs/probe.log"
    sleep 0.2
  done
  [ "$code" -eq 0 ] || fail "probe failed (exit code $code)"
  cat "$logs/state.txt"
}

# click_center NAME: a click in the middle of the probe's rectangle line NAME ("field-rect");
# click_button CAPTION, on the button with this caption.
click_center() {
  local l t r b
  read -r l t r b < <(grep "^$1 " <<<"$(probe_state)" | awk '{print $(NF-3), $(NF-2), $(NF-1), $NF}')
  xdotool mousemove --sync $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
click_button() { click_center "button-rect $1"; }

# program_gone TENTHS: waits up to TENTHS tenths of a second for the program to end; false when
# it is still there.
program_gone() {
  for _ in $(seq "$1"); do
    kill -0 "$program_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  ! kill -0 "$program_pid" 2>/dev/null
}
# await_end WHAT: waits up to 10 s until the program is gone after WHAT ended it; any exit code.
await_end() {
  program_gone 100 || fail "the program outlived $1"
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

# wait_items TENTHS ENTRY...: waits up to TENTHS tenths of a second until the list holds exactly
# these entries.
wait_items() {
  local tenths=$1 want got=""
  shift
  want=$(printf 'item %s\n' "$@")
  for _ in $(seq "$tenths"); do
    got=$(probe_state | grep '^item ' || true)
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "the list holds $(tr '\n' '|' <<<"$got"), not $(tr '\n' '|' <<<"$want")"
}

# probe_to COMMAND FILE: the probe's COMMAND, writing FILE in $logs.
probe_to() { (cd "$logs" && wine "$probe" "$1" "$2" >>"$logs/probe.log" 2>&1 </dev/null) || true; }
# The visible message boxes of the prefix, one line each: caption, then texts, tab-separated.
boxes() {
  rm -f "$logs/boxes.txt"
  probe_to boxes boxes.txt
  cat "$logs/boxes.txt" 2>/dev/null || true
}

# wait_box TENTHS: waits up to TENTHS tenths of a second for a message box; sets box to what
# boxes shows (empty when none came). expect_box TENTHS fails when none came.
wait_box() {
  box=""
  for _ in $(seq "$1"); do
    box=$(boxes)
    [ -n "$box" ] && return 0
    sleep 0.1
  done
}
expect_box() {
  wait_box "$1"
  [ -n "$box" ] || fail "no box appeared"
}
# Waits up to 5 s until no message box shows; false when one still does. wait_no_box fails then.
boxes_gone() {
  for _ in $(seq 50); do
    [ -z "$(boxes)" ] && return 0
    sleep 0.1
  done
  return 1
}
wait_no_box() { boxes_gone || fail "the box stayed: $(boxes)"; }
# Answers the box in $box with Enter, found by its caption, and gives it time to go.
dismiss_box() {
  local box_wid
  box_wid=$(xdotool search --onlyvisible --name "^$(cut -f1 <<<"$box")\$" | tail -1)
  xdotool windowfocus --sync "$box_wid" key Return
  boxes_gone || true
}

# await_line READER LINE TENTHS: runs READER (a command printing lines) every tenth of a second
# until it prints LINE, at most TENTHS times; sets state to what it printed last, and is false
# when LINE never came. A READER that fails ends the test, also where the caller tests the result.
await_line() {
  local _
  for _ in $(seq "$3"); do
    state=$("$1") || exit 1
    grep -qxF "$2" <<<"$state" && return 0
    sleep 0.1
  done
  return 1
}

# wait_for LINE: waits up to 8 s until the probe shows LINE (the script's own probe_state, where
# it has one).
wait_for() {
  local state=""
  await_line probe_state "$1" 80 || fail "never saw '$1': $state"
}

# hold_key KEY PRESSES: holds KEY down as a person does, with the display's own auto-repeat set
# to 40 ms for the while, and lets go once it has given PRESSES presses (the first and PRESSES-1
# repeats); prints how many the display delivered. (Pressing a key that is down once more gives
# nothing: the X server drops it.) The display's repeat settings come back afterwards.
hold_key() {
  local key=$1 presses=$2 state delay rate was_on="" code=0
  state=$(xset q)
  read -r delay rate < <(sed -n 's/.*auto repeat delay: *\([0-9]*\) *repeat rate: *\([0-9]*\).*/\1 \2/p' <<<"$state")
  grep -q 'auto repeat: *on' <<<"$state" && was_on=1
  xset r on
  xset r rate 40 25
  /usr/bin/python3 "$e2e_support/hold_key.py" "$key" "$presses" || code=$?
  xset r rate "${delay:-660}" "${rate:-25}"
  [ -n "$was_on" ] || xset r off
  return $code
}

# walk_opens WANTED PRESSES ENTRY...: the opens that PRESSES presses of Go give, from the first of
# the entries: each entry once, in order, then the last one again for each further press. Fails
# when the display gave fewer than WANTED presses.
walk_opens() {
  local wanted=$1 presses=$2
  shift 2
  [ "$presses" -ge "$wanted" ] 2>/dev/null || fail "the held key gave ${presses:-no} presses, not $wanted"
  local i
  for ((i = 0; i < presses; i++)); do
    if ((i < $#)); then echo "${@:i+1:1}"; else echo "${@: -1}"; fi
  done
}

# wait_lines FILE N: waits up to 30 s until FILE holds N lines, then a second more for any that
# come late.
wait_lines() {
  for _ in $(seq 300); do
    [ "$(wc -l 2>/dev/null <"$1" || echo 0)" -ge "$2" ] && break
    sleep 0.1
  done
  sleep 1
}

# The X clipboard for the paste tests: x_clipboard TEXT owns it with TEXT until the next call
# (-quiet keeps xclip in the foreground, so that its process is ours to end); stop_xclip, as the
# test's $exit_hook, lets it go.
xclip_pid=""
stop_xclip() { [ -n "$xclip_pid" ] && kill "$xclip_pid" >/dev/null 2>&1; }
x_clipboard() {
  stop_xclip || true
  printf '%s' "$1" | xclip -selection clipboard -quiet >>"$logs/xclip.log" 2>&1 &
  xclip_pid=$!
  for _ in $(seq 50); do
    [ "$(xclip -selection clipboard -o 2>/dev/null || true)" = "$1" ] && return
    sleep 0.1
  done
  fail "xclip does not offer '$1'"
}
