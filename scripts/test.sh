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
# Windows need a display: a private Xvfb unless one is given.
. "$root/scripts/display.sh"
start_display 91
(cd "$root/build/win32" && ctest --output-on-failure) || status=1
stop_display

echo "== shipped programs (docs/performance.md, goal: setup.exe <= 1 MB)"
for f in "$root"/build/win32/bin/setup.exe "$root"/build/win32/bin/KestruneLoadProgram.exe; do
  if [ -f "$f" ]; then echo "$(basename "$f"): $(wc -c <"$f") bytes"; fi
done

if [ $status -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "SOME TESTS FAILED"; fi
exit $status
