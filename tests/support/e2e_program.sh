# Sourced by the end-to-end tests: failing and counting checks, and for those that drive the
# real program on an X display, starting it in $work, closing it with Alt+F4, and reading its
# window from another process with $probe.
# Wine's output goes to files in $logs, never through a pipe: a wineserver started here would
# inherit it.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A check that passed, counted in $checks.
ok() {
  checks=$((checks + 1))
  echo "ok: $*"
}

# start_program [LOCALE]: starts $exe in $work (under LOCALE, else the current LC_ALL) and waits
# for its visible main window; sets program_pid and wid.
start_program() {
  local locale=${1:-${LC_ALL:-}}
  (cd "$work" && LC_ALL=$locale exec wine "$exe" >>"$logs/program.log" 2>&1 </dev/null) &
  program_pid=$!
  wid=""
  for _ in $(seq 150); do
    wid=$(xdotool search --onlyvisible --name '^KORVANE LINKWALKER$' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the main window did not appear"
  xdotool windowfocus --sync "$wid"
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
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/hold_key.py" "$key" "$presses" || code=$?
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
