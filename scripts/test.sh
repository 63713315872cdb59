#!/bin/sh
# Builds both builds and the fuzz targets, then runs every test: native unit tests, the
# same tests and the Windows-only tests under Wine (GUI tests under Xvfb), and each fuzz
# target for a short bounded time.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

jobs=$(nproc 2>/dev/null || echo 2)
status=0

echo "== native tests"
(cd "$root/build/native" && ctest --output-on-failure -j"$jobs") || status=1

echo "== fuzz targets"
(cd "$root/build/fuzz" && ctest --output-on-failure -j"$jobs") || status=1

echo "== Windows tests under Wine"
# Windows need a display: start a private Xvfb unless one is given.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in 91 92 93 94 95 96 97 98; do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then
      Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=:$n
      break
    fi
  done
  sleep 1
fi
(cd "$root/build/win32" && ctest --output-on-failure) || status=1
if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi

if [ $status -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "SOME TESTS FAILED"; fi
exit $status
