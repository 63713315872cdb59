# Sourced by the scripts that show windows: start_display FIRST starts a private Xvfb on
# the first free display number from FIRST on, unless DISPLAY is already set, and sets
# DISPLAY and xvfb_pid; stop_display ends the Xvfb it started.
xvfb_pid=""
start_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  n=$1
  while [ "$n" -lt $(($1 + 8)) ]; do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then
      Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=:$n
      sleep 1
      return 0
    fi
    n=$((n + 1))
  done
  echo "no free X display number from :$1 on" >&2
  return 1
}
stop_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}
