# Sourced by the end-to-end tests: failing and counting checks, the cleanup at their end, and
# for those that drive the real program on an X display, waiting for its window, starting it in
# $work, closing it with Alt+F4, and reading its window from another process with $probe.
# Wine's output goes to files in $logs, never through a pipe: a wineserver started here would
# inherit it.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/virtual-display.sh"

# What the cleanup at exit undoes, also after a failure, in this order: the program started
# ($program_pid), the test's own step ($exit_hook, a function name), the window place stored in
# the prefix (when $forget_place is set), the virtual display ($xvfb_pid) and the temporary
# folders ($temp_dirs).
program_pid=""
exit_hook=""
forget_place=""
xvfb_pid=""
temp_dirs=()
end_of_test() {
  [ -n "$program_pid" ] && kill "$program_pid" >/dev/null 2>&1 || true
  [ -n "$exit_hook" ] && "$exit_hook" || true
  if [ -n "$forget_place" ]; then
    wine reg delete 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /f >/dev/null 2>&1 </dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
  [ ${#temp_dirs[@]} -eq 0 ] || rm -rf "${temp_dirs[@]}"
}
trap end_of_test EXIT

# program_test EXE PROBE: takes a program test's arguments, the program and the probe, for the
# test prefix named by WINEPREFIX, with Wine's diagnostics off.
program_test() {
  exe=$(realpath "$1")
  probe=$(realpath "$2")
  : "${WINEPREFIX:?the test prefix}"
  export WINEDEBUG=-all
}

# own_display FIRST: a virtual display of the test's own (from display number FIRST on) when
# there is no usable one.
own_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_virtual_display "$1"
  fi
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A check that passed, counted in $checks.
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
  for _ in $(seq 150); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after Alt+F4"
  local code=0
  wait "$program_pid" || code=$?
  program_pid=""
  [ "$code" -eq 0 ] || fail "exit code $code"
}

# The probe reads the running window from another process: list, selection, buttons, rectangle.
probe_state() {
  rm -f "$logs/state.txt"
  (cd "$logs" && LC_ALL=ja_JP.UTF-8 wine "$probe" state state.txt >>"$logs/probe.log" 2>&1 </dev/null) ||
    fail "probe failed"
  cat "$logs/state.txt"
}
