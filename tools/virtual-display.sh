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

# start_screenshot_session DISPLAY SIZE: for the screenshot scripts, a display of their own, a
# scratch folder ($work) and a wineserver for $WINEPREFIX; at the exit the program ($app_pid,
# when set), the wineserver, the display and the folder go.
start_screenshot_session() {
  start_virtual_display "$1" "$2"
  work=$(mktemp -d)
  app_pid=""
  trap end_screenshot_session EXIT
  wineserver -p >/dev/null 2>&1 </dev/null
}
end_screenshot_session() {
  [ -n "$app_pid" ] && kill "$app_pid" >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$work"
}
# The main window opens at 40, 40 (its stored place).
place_window_at_40() {
  wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Top /t REG_DWORD /d 40 /f >"$work/reg.log" 2>&1 </dev/null
  wine reg add 'HKCU\SOFTWARE\KORVANE\LINKWALKER' /v Left /t REG_DWORD /d 40 /f >>"$work/reg.log" 2>&1 </dev/null
}
