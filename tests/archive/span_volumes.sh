#!/bin/sh
# Runs a test with small volumes that really fill up: COUNT tmpfs mounts of 1.44 MB (this
# needs root), passed to the test in KESTRUNE_SPAN_DIRS (";"-separated). With --wine the
# mounts are also given Wine drive letters in $WINEPREFIX/dosdevices and passed as drive
# roots, and their Z: paths in KESTRUNE_SPAN_LIST_DIRS for listing (Wine's drive roots
# cannot be listed through the C++ library). Everything is unmounted and unlinked when the test ends. Without the right to
# mount, it says why and exits 77, which ctest reports as a skipped test.
# Usage: span_volumes.sh [--wine] COUNT COMMAND...
set -u
wine=0
if [ "$1" = --wine ]; then wine=1; shift; fi
count=$1; shift
base=$(mktemp -d /tmp/kestrune-span.XXXXXX)
mounted="" links="" dirs="" lists=""
cleanup() {
  for l in $links; do rm -f "$l"; done
  for m in $mounted; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null; done
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
letters="k l m n o p q r s t u v"
i=1
while [ "$i" -le "$count" ]; do
  d="$base/disk$i"
  mkdir -p "$d"
  if ! why=$(mount -t tmpfs -o size=1440k,mode=0777 tmpfs "$d" 2>&1); then
    echo "span_volumes: SKIPPED: the small-volume tests need tmpfs mounts, which need root" \
         "with CAP_SYS_ADMIN (user $(id -un)): ${why:-mount failed}"
    exit 77
  fi
  mounted="$mounted $d"
  if [ $wine = 1 ]; then
    letter=""
    for l in $letters; do
      if [ ! -e "$WINEPREFIX/dosdevices/$l:" ] && [ ! -L "$WINEPREFIX/dosdevices/$l:" ]; then letter=$l; break; fi
    done
    [ -n "$letter" ] || { echo "span_volumes: no free drive letter" >&2; exit 1; }
    ln -s "$d" "$WINEPREFIX/dosdevices/$letter:"
    links="$links $WINEPREFIX/dosdevices/$letter:"
    letters=$(echo "$letters" | sed "s/\b$letter\b//")
    dirs="$dirs;$(echo "$letter" | tr a-z A-Z):\\"
    lists="$lists;Z:$(echo "$d" | tr / '\\\\')"
  else
    dirs="$dirs;$d"
  fi
  i=$((i + 1))
done
export KESTRUNE_SPAN_DIRS="${dirs#;}" KESTRUNE_SPAN_LIST_DIRS="${lists#;}"
"$@"
