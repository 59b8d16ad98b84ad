# Sourced by tools/run.sh, and copied into the launcher that tools/install.sh writes.
# Runs a Wine program in a session of its own and passes it the terminal's Ctrl+C, the hang-up of
# a terminal that was closed, and SIGTERM, each as one SIGINT: Wine makes that a Ctrl+C event,
# which the program answers by saving the list and ending as its close does. Left in the
# terminal's session, a hang-up would end it at once, with no event, and lose what the last
# second changed. Returns the program's exit code.
#   run_to_orderly_end wine PROGRAM.exe
run_to_orderly_end() {
  local program="" code=0 on_term=INT
  # Without a terminal Wine gives the program no console, and a SIGINT would go unheard: the
  # end of a session started from the desktop's menu passes on as it came.
  [ -t 0 ] || [ -t 1 ] || [ -t 2 ] || on_term=TERM
  # The terminal signals this shell only; each signal reaches the program once.
  trap '[ -z "$program" ] || kill -INT "$program" 2>/dev/null || true' INT HUP
  trap '[ -z "$program" ] || kill -"$on_term" "$program" 2>/dev/null || true' TERM
  # Not a process group leader (no job control here), so setsid makes the session without a
  # fork: $! is the program itself. Its standard input stays the terminal's: Wine hears the
  # SIGINT as Ctrl+C only in a process that it gave a console, which it does when one of the
  # three standard files is a terminal.
  setsid "$@" <&0 &
  program=$!
  while :; do
    wait "$program" && code=0 || code=$?
    # A trapped signal interrupts the wait; the program may still be saving.
    kill -0 "$program" 2>/dev/null || break
  done
  trap - INT HUP TERM
  return "$code"
}
