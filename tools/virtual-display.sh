# Sourced by the scripts that need an X display of their own.
# start_virtual_display [FIRST [SIZE]]: starts Xvfb on the first free display number from FIRST
# on (default 90; SIZE default 1280x1024), waits for it, exports DISPLAY and sets xvfb_pid.
start_virtual_display() {
  local display=${1:-90} size=${2:-1280x1024}
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  # -r: no auto-repeat of the server's own, so that a key a test holds down gives exactly the
  # presses it sends.
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp -r >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
}
