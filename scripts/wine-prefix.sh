#!/bin/sh
# Creates (start) or stops (stop) the throwaway Wine prefix of a test run.
# Usage: wine-prefix.sh start|stop PREFIX
set -eu
action=$1 prefix=$2
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
case "$action" in
  start)
    if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$prefix"; fi
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    # Wine links the profile's Desktop, Documents, ... to the host's home folder; real
    # folders keep the shortcuts and files of the tests inside the prefix.
    for folder in "$prefix"/drive_c/users/*/*; do
      if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
    done
    # One persistent server for the whole run: later wine calls start in milliseconds.
    ( wineserver -p </dev/null >/dev/null 2>&1 & )
    sleep 0.3
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
esac
