#!/bin/sh
# The wizard's cancel and restart paths, under Wine. A script with every manager a run
# reaches (before install, copy progress, good and bad install, restart) and a full
# version of 24 files of 1.5 MB is built into a distribution with -b.
# The setup program as shipped:
#   "Storno" on the welcome, the licence and the selection page ends on the bad-install page
#   (its text read back, no error box anywhere); its "Zavřít" ends the program as
#   cancelled (exit code 2);
#   during the copy the file shown moves on; "Storno" there ends the copy at once: the bad
#   page, exit code 2, the files copied before the abort are whole, the one being copied
#   and every later one are not installed.
# The same program with a confirming OnUserAbort and a refused real restart
# (setup-hooks.exe):
#   "Storno" on the welcome page asks; "Ne" keeps the page, "Ano" ends on the bad page;
#   "Storno" during the copy asks; "Ne" lets the copy run to the end and the success page;
#   the restart chosen there gives no warning and reaches the engine's restart (refused
#   by the program); with no work left for after it the run ends good (exit code 0).
# A screenshot is kept of each page met (paths_*.png).
# Usage: wizard_paths.sh SETUP.EXE SETUP-HOOKS.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE OUTDIR
set -u
setup=$1 hooks=$2 tool=$3 driver=$4 outdir=$5
. "$(dirname "$0")/ui_steps.sh"
begin wizard_paths paths_
czech_pages
files=24
bad='Instalace nebyla úspěšná' copy='Kopírování instalovaného programu'
ask='Potvrzení'
# No error box: neither a system message box nor the kit's own error dialog is open.
no_error_box() {
  boxes=$(drive list | awk -F'\t' '$3 == "visible" && ($4 == "#32770" || $5 == "Chyba" || $5 == "Error")')
  [ -z "$boxes" ] || fail "$1: an error box is open: $boxes"
}
# The bad-install page after a cancel: its text, no error box, "Zavřít" ends the program
# as cancelled.
expect_bad_page() {
  drive wait "$bad" 30000 >/dev/null || fail "$1: no bad-install page"
  drive texts "$bad" | grep -q 'Program VELMORA nebyl správně nainstalován a zřejmě nebude pracovat správně' ||
    fail "$1: the bad page's text"
  [ "$(drive state "$bad" 'Zavřít')" = 'visible enabled unchecked' ] || fail "$1: Zavřít"
  no_error_box "$1"
  shot "bad_$1"
  drive click "$bad" 'Zavřít' || fail "$1: Zavřít"
  wait_end "$1"
  [ "$code" = 2 ] || fail "$1: exit code $code, expected 2 (cancelled)"
  no_error_box "$1 after the end"
}
# The confirming OnUserAbort's question, answered $2 (Ano or Ne).
answer() {
  drive wait "$ask" 10000 >/dev/null || fail "$1: no question before the abort"
  drive texts "$ask" | grep -q 'Opravdu chcete instalaci ukončit?' || fail "$1: the question's text"
  drive click "$ask" "$2" || fail "$1: $2"
  drive gone "$ask" 10000 || fail "$1: the question stayed"
}
# The copied file now shown by the copy form, as its number (0 when none is shown yet).
copying() { drive texts "$copy" | sed -n 's/.*f\([0-9][0-9]\)\.bin.*/\1/p' | head -1 | sed 's/^0//;s/^$/0/'; }
# Waits until the copy form shows file $1 or a later one.
wait_copying() {
  n=0
  until [ "$(copying)" -ge "$1" ] 2>/dev/null; do
    n=$((n + 1)); [ $n -lt 300 ] || fail "the copy did not reach file $1"
    sleep 0.1
  done
}

# The distribution, and the hooks program beside its setup program.
wizard_kfm 'C:\KstPaths\Source' $files "dmAfterGoodInstall dmAfterBadInstall dmDuringCopyFiles dmReboot" 'DestDirType = nil' \
  >"$outdir/paths.kfm"
make_setup_of "$outdir/paths.kfm" "$outdir/paths.exe" "$setup"
make_setup_of "$outdir/paths.kfm" "$outdir/paths-hooks.exe" "$hooks"
work_folder KstPaths
dest="$drive_c/Zarvotill"
i=1
while [ $i -le $files ]; do
  head -c 1500000 /dev/urandom >"$work/Source/f$(printf '%02d' $i).bin"
  i=$((i + 1))
done
head -c 1000 /dev/urandom >"$work/Source/demo.bin"
cp "$outdir/paths.exe" "$work/Make/setup.exe"
build_dist 'KstPaths\Make' 'KstPaths\Dist'
cp "$outdir/paths-hooks.exe" "$work/Dist/hooks.exe"

# Cancelled on the welcome page, the licence page and the selection page.
start "$work/Dist/setup.exe"
drive wait "$welcome" 30000 >/dev/null || fail "welcome: no welcome page"
drive click "$welcome" "$cancel" || fail "welcome: Storno"
expect_bad_page welcome
start "$work/Dist/setup.exe"
past_welcome licence
drive wait "$licence" 10000 >/dev/null || fail "licence: no licence page"
drive click "$licence" "$cancel" || fail "licence: Storno"
expect_bad_page licence
start "$work/Dist/setup.exe"
to_selection selection
drive click "$sel" "$cancel" || fail "selection: Storno"
expect_bad_page selection
[ ! -e "$dest" ] || fail "a run cancelled before the copy installed something"
echo "ok: Storno on the welcome, the licence and the selection page -> bad-install page, no error box, Zavřít -> exit code 2"

# Cancelled during the copy.
start "$work/Dist/setup.exe"
to_selection copy
drive click "$sel" "$next" || fail "copy: Další"
drive wait "$copy" 30000 >/dev/null || fail "copy: no copy progress"
wait_copying 2
shot copy
first=$(copying)
wait_copying $((first + 1))
shown=$(copying)
drive click "$copy" "$cancel" || fail "copy: Storno"
expect_bad_page copy
# The files before the one shown at the click are whole; from the next one on nothing
# is installed (the one being copied may have been finished in the last step).
i=1 installed=0
while [ $i -le $files ]; do
  n=$(printf '%02d' $i)
  if [ -e "$dest/f$n.bin" ]; then
    installed=$i
    cmp -s "$work/Source/f$n.bin" "$dest/f$n.bin" || fail "copy: f$n.bin installed but not whole"
  elif [ $i -lt "$shown" ]; then
    fail "copy: f$n.bin before the abort point is missing"
  fi
  i=$((i + 1))
done
[ "$installed" -le $((shown + 1)) ] || fail "copy: installed up to f$installed.bin after the abort at f$shown.bin"
[ "$installed" -lt $files ] || fail "copy: everything was installed despite Storno"
ls "$dest" | grep -v '^f[0-9][0-9]\.bin$' | grep . && fail "copy: stray files left in the destination"
echo "ok: copy progress moved (f$first.bin -> f$shown.bin); Storno -> aborted at once (installed f01..f$installed of $files), bad page, exit code 2"
rm -rf "$dest"

# With the confirming OnUserAbort: refused, then allowed on the welcome page.
start "$work/Dist/hooks.exe"
drive wait "$welcome" 30000 >/dev/null || fail "veto: no welcome page"
drive click "$welcome" "$cancel" || fail "veto: Storno"
drive wait "$ask" 10000 >/dev/null || fail "veto: no question"
shot question
answer "veto" Ne
sleep 0.5
[ "$(drive state "$welcome" "$next")" = 'visible enabled unchecked' ] || fail "veto: the welcome page did not stay"
drive wait "$bad" 500 >/dev/null && fail "veto: the refused abort ended the wizard"
drive click "$welcome" "$cancel" || fail "veto: Storno again"
answer "veto" Ano
expect_bad_page veto
echo "ok: OnUserAbort refusing keeps the welcome page; allowing ends on the bad page (exit code 2)"

# With the confirming OnUserAbort during the copy: refused, the copy goes on to the end;
# the restart chosen on the success page reaches the engine (its OnBeforeReboot, which
# refuses the real one here); nothing is left for after it, so no resume is registered
# and the run ends good.
reg_runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
start "$work/Dist/hooks.exe"
to_selection "copy veto"
drive click "$sel" "$next" || fail "copy veto: Další"
drive wait "$copy" 30000 >/dev/null || fail "copy veto: no copy progress"
wait_copying 2
drive click "$copy" "$cancel" || fail "copy veto: Storno"
answer "copy veto" Ne
drive wait "$good" 60000 >/dev/null || fail "copy veto: no success page after the refused abort"
i=1
while [ $i -le $files ]; do
  n=$(printf '%02d' $i)
  cmp -s "$work/Source/f$n.bin" "$dest/f$n.bin" || fail "copy veto: f$n.bin not installed"
  i=$((i + 1))
done
[ "$(drive state "$good" "$restart")" = 'visible enabled checked' ] ||
  fail "restart: not offered first"
shot good_restart
grep -q 'restart requested' "$log" && fail "restart: asked for before the success page"
drive click "$good" "$finish" || fail "restart: Dokončit"
drive wait 'Varování' 2000 >/dev/null && fail "restart: a warning though the restart was chosen"
wait_end "restart"
[ "$code" = 0 ] || fail "restart: exit code $code, expected 0"
grep -q 'restart requested' "$log" || fail "restart: the engine was not asked to restart"
wine reg query "$reg_runonce" /v KestruneUnfinished </dev/null >/dev/null 2>&1 && fail "restart: a resume registered with nothing left to do"
echo "ok: OnUserAbort refusing during the copy -> all $files files installed; restart chosen -> no warning, the engine restarts (exit code 0)"
