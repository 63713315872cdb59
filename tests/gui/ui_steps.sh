# Sourced by the scripts that drive the setup program's windows under Wine. Expects
# driver (the UI driver .exe) and log (the run's log file) to be set.
#   drive ARGS...    runs the UI driver, its answer without carriage returns, its status
#   fail TEXT        says what failed, lists the windows, ends the started program, exits 1
#   start PROGRAM..  starts a program under Wine in the background; its pid in $pid
#   wait_end WHAT    waits for the started program (wait_limit tenths of a second, 60 s
#                    unless the script sets it); its exit code in $code
pid=""
: "${wait_limit:=600}"
drive() {
  # The driver's own exit status is the step's: a wait that times out is a failure.
  _out=$(wine "$driver" "$@" 2>>"$log" </dev/null)
  _rc=$?
  [ -z "$_out" ] || printf '%s\n' "$_out" | tr -d '\r'
  return $_rc
}
fail() {
  echo "FAIL: $*"
  drive list -r || true
  [ -z "$pid" ] || kill "$pid" 2>/dev/null
  exit 1
}
start() { wine "$@" >>"$log" 2>&1 </dev/null & pid=$!; }
wait_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1)); [ $i -lt "$wait_limit" ] || fail "$1: the program did not end"
    sleep 0.1
  done
  wait "$pid"; code=$?
}
