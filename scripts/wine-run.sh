#!/bin/sh
# Runs a Windows program under Wine in the test run's prefix; used as the cross-compiling
# emulator, so ctest and custom commands run .exe files through it.
: "${WINEARCH:=win32}"; : "${WINEDEBUG:=-all}"; : "${WINEDLLOVERRIDES:=mscoree,mshtml,winemenubuilder.exe=}"
export WINEARCH WINEDEBUG WINEDLLOVERRIDES
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set; refusing to use ~/.wine" >&2
  exit 2
fi
export WINEPREFIX
# Wine's helper processes (services, explorer) outlive the program and inherit its standard
# streams; send them to files so a caller reading our pipe (ctest) is not kept waiting.
out=$(mktemp) err=$(mktemp)
wine "$@" >"$out" 2>"$err"
rc=$?
cat "$out"; cat "$err" >&2
rm -f "$out" "$err"
exit $rc
