#!/bin/sh
# The unattended install of the Notebook Pro example under Wine: the example is copied to
# C:\QuietNotebook with the kit's uninstall.exe among its files and built as one
# self-extracting setup.exe (the loader in front; "kestrune-script build" of README's
# "Your first installer"). That setup.exe is started as Windows starts it (a batch file:
# the program's name and the raw command line) with -q and a log path with a blank. While
# it runs the windows are listed again and again: no visible window may appear. It ends
# with 0, the files installed and a log of them; a second run keeps them and says so; the
# uninstall entry's QuietUninstallString removes the product. Then a destination that
# cannot be made fails without a window, with exit code 1 and the error in the log, a
# setup.exe cut short fails in the loader with 5 and no window, and the usage of -h lists
# every switch, but -? is not shown under -q.
# Usage: quiet_install.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UNINSTALL.EXE UIDRIVER.EXE EXAMPLEDIR OUTDIR
set -u
setup=$1 tool=$2 uninstaller=$3 driver=$4 example=$5 outdir=$6
. "$(dirname "$0")/ui_steps.sh"
begin quiet_install quiet_

drive_c=$(winepath -u 'C:\' 2>/dev/null </dev/null)
folder="$drive_c/QuietNotebook"
installed="$drive_c/Program Files/Notebook Pro"
logs="$drive_c/Quiet Logs"
rm -rf "$folder" "$installed" "$logs"
mkdir -p "$logs"
cp -r "$example" "$folder" && cp "$uninstaller" "$folder/Files/uninstall.exe" || fail "no copy of the example"
# The self-extracting form, and files that a run keeps when the same ones are there.
sed -i -e 's/UseLoadingProgram = False/UseLoadingProgram = True/' \
  -e 's/^\(    \)IncludeFromDir = .*/&\n\1OverwriteMode = owDate/' "$folder/notebook.kfm"
kit=$(winepath -w "$(dirname "$setup")" 2>/dev/null </dev/null)
wine "$tool" build 'C:\QuietNotebook\notebook.kfm' -o 'C:\QuietNotebook\Dist' --kit "$kit" </dev/null >>"$log" 2>&1 ||
  fail "the build failed: $(tail -5 "$log")"
# Shipped alone: everything comes out of setup.exe.
mkdir -p "$folder/Ship" && cp "$folder/Dist/setup.exe" "$folder/Ship/setup.exe" || fail "the build made no setup.exe"
ship=Ship

# The windows visible before a run (none are expected; whatever is there is not the run's).
visible() { drive list | awk -F'\t' '$3 == "visible"'; }
before=$(visible)

# quiet NAME SWITCHES...: runs $ship\setup.exe from a batch file with the given switches
# and fails when a visible window appears meanwhile; its exit code in $code.
quiet() {
  name=$1
  shift
  printf '@"C:\\QuietNotebook\\%s\\setup.exe" %s\r\n@exit %%ERRORLEVEL%%\r\n' "$ship" "$*" >"$folder/$name.bat"
  start cmd /c "C:\\QuietNotebook\\$name.bat"
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    now=$(visible)
    [ "$now" = "$before" ] || fail "$name: a window appeared: $now"
    i=$((i + 1))
    [ $i -lt 300 ] || fail "$name: the program did not end"
  done
  wait "$pid"
  code=$?
}
logged() { tr -d '\r' <"$logs/$1"; }

quiet first '-q "-lC:\Quiet Logs\first run.log"'
[ "$code" = 0 ] || fail "the quiet install ended with exit code $code: $(logged 'first run.log')"
for f in ReadMe.txt notebook.ini Help.txt uninstall.exe Samples/Letter.txt; do
  cmp -s "$folder/Files/$f" "$installed/$f" || fail "$f was not installed"
done
first=$(logged 'first run.log')
printf '%s\n' "$first" | grep -q 'Installed: C:\\Program Files\\Notebook Pro\\ReadMe.txt' &&
  printf '%s\n' "$first" | grep -q 'Installed: C:\\Program Files\\Notebook Pro\\Samples\\Letter.txt' &&
  printf '%s\n' "$first" | grep -q ' Installed$' || fail "the log does not tell what was installed: $first"

quiet second '"-lC:\Quiet Logs\second run.log" -Q'
[ "$code" = 0 ] || fail "the second quiet install ended with exit code $code"
second=$(logged 'second run.log')
printf '%s\n' "$second" | grep -q 'Kept: C:\\Program Files\\Notebook Pro\\ReadMe.txt (the file there has the same version or date)' ||
  fail "the second run's log does not tell what was kept: $second"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notebook Pro'
command=$(wine reg query "$key" /v QuietUninstallString 2>>"$log" </dev/null | tr -d '\r' |
  awk '$1 == "QuietUninstallString" { sub(/^[ ]*[^ ]+[ ]+[^ ]+[ ]+/, ""); print }')
[ -n "$command" ] || fail "no QuietUninstallString"
# The program in quotes and its words, as Windows starts the command.
program=$(printf '%s' "$command" | sed 's/^"\([^"]*\)".*/\1/')
words=$(printf '%s' "$command" | sed 's/^"[^"]*" //')
# shellcheck disable=SC2086
wine "$program" $words >>"$log" 2>&1 </dev/null
code=$?
[ "$code" = 0 ] && [ ! -e "$installed/ReadMe.txt" ] || fail "the quiet uninstall: exit code $code, files left"

# A file where the product's folder should be: the run fails, still without a window.
rm -rf "$installed"
printf 'in the way\n' >"$installed"
quiet blocked '-q "-lC:\Quiet Logs\blocked run.log"'
rm -f "$installed"
[ "$code" = 1 ] || fail "the blocked run ended with exit code $code, expected 1"
logged 'blocked run.log' | grep -q 'Error: ' || fail "the blocked run's log has no error: $(logged 'blocked run.log')"
# Whatever the failed run registered for removal goes too.
wine reg delete "$key" /f >/dev/null 2>&1 </dev/null

# A setup.exe cut short: the loader fails with 5 and shows nothing either.
mkdir -p "$folder/Cut" && head -c 300000 "$folder/Ship/setup.exe" >"$folder/Cut/setup.exe"
ship=Cut
quiet cut '-q'
ship=Ship
[ "$code" = 5 ] || fail "the setup.exe cut short ended with exit code $code, expected 5"

# The usage names every switch; under -q it is not shown and the program does nothing.
quiet helpquiet '-q -?'
[ "$code" = 0 ] && [ ! -e "$installed" ] || fail "-q -? ended with exit code $code or installed"
start "$folder/Ship/setup.exe" -h
usage=$(drive msgbox '*' 30000) || fail "no usage message for -h"
drive click '*' OK >/dev/null
wait_end "usage"
[ "$code" = 0 ] || fail "the usage ended with exit code $code"
for s in '-b' '-f' '-d' '-eNAME' '-r' '-sDIR' '-c' '-lPATH' '-q' '-?'; do
  printf '%s\n' "$usage" | grep -qF -- "$s" || fail "the usage does not name $s: $usage"
done
[ ! -e "$installed" ] || fail "the usage installed something"
echo "ok: Notebook Pro installed twice by -q (installed, then kept) with no window and its log, removed through QuietUninstallString; a blocked destination failed quietly with exit code 1 and its error in the log, a cut setup.exe with 5; -h lists every switch"
