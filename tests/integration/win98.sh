#!/bin/sh
# Runs the Windows 95 family case of the replacement tests with Wine's version setting for
# that one program, so the other tests of the prefix keep theirs.
# Usage: win98.sh WINE-RUN.SH FILE_REPLACEMENT_WIN98.EXE
set -eu
run=$1 exe=$2
wine reg add 'HKCU\Software\Wine\AppDefaults\file_replacement_win98.exe' /v Version /d win98 /f >/dev/null 2>&1 </dev/null
"$run" "$exe" --gtest_brief=1 --gtest_filter='*Windows95*'
