# Sourced by scripts that show the game: when no display is set, starts an Xvfb of 1024x768 on a display
# number nobody holds, exports DISPLAY and leaves the server's pid in xvfb_pid (empty otherwise) for the
# caller's cleanup.
start_virtual_display() {
  xvfb_pid=""
  [ -n "${DISPLAY:-}" ] && return 0
  local display="" n
  # The lock file or the socket marks a display that is taken.
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      display=":$n"
      break
    fi
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
}
