#!/bin/sh
# Loading the internet library from the system directory of a throwaway Wine prefix: a
# stand-in WININET.DLL without HttpQueryInfoA, then none at all. The test program's
# StandInLibrary case checks the message the location gives for each (KST_WININET_STANDIN
# tells it which).
# Usage: wininet_standin.sh WINE-RUN.SH TEST.EXE STANDIN.DLL PREFIX
set -u
runner=$1 program=$2 standin=$3 prefix=$4
sh "$(dirname "$0")/../../scripts/wine-prefix.sh" start "$prefix" || exit 1
WINEPREFIX=$prefix
export WINEPREFIX
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
system="$prefix/drive_c/windows/system32"
# The prefix's own programs have run; from here on the library is the native file only.
WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=;wininet=n"
export WINEDLLOVERRIDES
status=0
cp "$standin" "$system/wininet.dll" || exit 1
KST_WININET_STANDIN=missing-entry sh "$runner" "$program" --gtest_brief=1 --gtest_filter='StandInLibrary.*' || status=1
rm -f "$system/wininet.dll"
KST_WININET_STANDIN=none sh "$runner" "$program" --gtest_brief=1 --gtest_filter='StandInLibrary.*' || status=1
exit $status
