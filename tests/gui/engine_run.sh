#!/bin/sh
# The engine as a user meets it, under Wine: command-line errors in message boxes, a good
# run that ends by itself and removes its install record, a failing run that shows its
# error and keeps the record, and a restart through RunOnce that resumes with -r. The
# restart is real: ExitWindowsEx ends the Wine session and wineboot restarts it, running
# the RunOnce command. On an NT 3.51 version setting no restart is tried.
# Usage: engine_run.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 driver=$3 script=$4 outdir=$5
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/engine_run.log"
: >"$log"
runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
records='HKLM\SOFTWARE\Kestrune\Install'
title='*program'  # the application title, "Instalační program"

drive() { wine "$driver" "$@" 2>>"$log" </dev/null | tr -d '\r'; }
reg_query() { wine reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*"; drive list -r || true; exit 1; }
start_setup() { wine "$@" >>"$log" 2>&1 </dev/null & pid=$!; }
wait_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1)); [ $i -lt 300 ] || fail "$1: the program did not end"
    sleep 0.1
  done
}
clean_registry() {
  wine reg delete "$records" /f >/dev/null 2>&1 </dev/null
  wine reg delete 'HKLM\SOFTWARE\Kestrune' /f >/dev/null 2>&1 </dev/null
  wine reg delete "$runonce" /v KestruneUnfinished /f >/dev/null 2>&1 </dev/null
}
# Runs a program with arguments, expects a message box with exactly that text, answers it.
expect_box_of() {
  program=$1 expected=$2; shift 2
  start_setup "$program" "$@"
  got=$(drive msgbox "$title" 30000) || fail "no message box for: $*"
  [ "$got" = "$expected" ] || fail "for $*: message was <$got>, expected <$expected>"
  drive click "$title" OK >/dev/null || fail "cannot answer the message box"
  wait_end "$*"
  echo "ok: $* -> $got"
}
expect_box() { expected=$1; shift; expect_box_of "$setup" "$expected" "$@"; }
clean_registry

invalid='Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), -e (Called by self-extractor), -r (After reboot)'
expect_box "Invalid parameter <-x>. $invalid" -x
expect_box "Invalid parameter <->. $invalid" -
expect_box "Invalid parameter <b>. $invalid" b
nodir='You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "-sC:\My Build"'
expect_box "$nodir" -d
expect_box "$nodir" -d "-s   "

# A good run: the record exists while it runs and is gone at its end; the program ends
# by itself.
start_setup "$setup"
wait_end "good run"
reg_query "$records" | grep -q Install && fail "the good run left its install record"
echo "ok: good run ended by itself without a record"

# A failing run (no self-extracting file can be read here): bad ending, the error shown,
# the record kept with the self-extractor's path.
expect_box "This setup program cannot read a self-extracting file: the distribution support is not available" -eSetup.exe
reg_query "$records\\Install0" | grep -q 'SelfExtract' || fail "the failing run did not keep its record"
clean_registry
echo "ok: failing run kept its record"

# Restart: a script with Reboot set registers its resume in RunOnce and restarts Windows.
sed 's/^    Reboot = False/    Reboot = True/' "$script" >"$outdir/reboot.kfm"
wine "$tool" make-setup "$outdir/reboot.kfm" -o "$outdir/reboot-setup.exe" --setup "$setup" >>"$log" 2>&1 </dev/null ||
  fail "make-setup failed"

# First on NT 3.51, where no restart is attempted: the failure message, and the resume
# command stays in RunOnce.
version=$(wine winecfg -v </dev/null 2>/dev/null | tr -d '\r')
wine winecfg -v nt351 </dev/null >/dev/null 2>&1
expect_box_of "$outdir/reboot-setup.exe" "Could not reboot windows. Please manually reboot windows."
wine winecfg -v "${version:-win7}" </dev/null >/dev/null 2>&1
command=$(reg_query "$runonce" | grep KestruneUnfinished)
printf '%s\n' "$command" | grep -q 'reboot-setup.exe" -r "-s' || fail "no resume command in RunOnce: $command"
reg_query "$records" | grep -q Install || fail "the record was not kept for the resumed run"
clean_registry
echo "ok: NT 3.51 showed the failure message and kept the resume command"

# Now for real: the program restarts Windows; Wine's restart runs the RunOnce command,
# which resumes with -r, finishes, and removes the install record and its own entry.
start_setup "$outdir/reboot-setup.exe"
wait_end "restart run"
i=0
while reg_query "$records" | grep -q Install || reg_query "$runonce" | grep -q KestruneUnfinished; do
  i=$((i + 1)); [ $i -lt 120 ] || fail "the resumed run did not finish (record or RunOnce entry left)"
  sleep 0.5
done
clean_registry
echo "ok: restart ran the resume command and the resumed run removed the record"
