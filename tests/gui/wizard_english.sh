#!/bin/sh
# The wizard in English, under Wine: a small script with a translator whose target is
# English (an engine, the before-install and good-install managers, the full and demo
# groups with one file each) is built into a distribution with -b. Its setup program shows
# the pages designed in Czech in English: texts of the translated controls by their GLID,
# captions and radio items by their Czech text, the licence agreement as a whole. The walk
# goes from the welcome page through the licence (its "Next >" disabled until the
# agreement is ticked) and the selection page, when the program has one, to the success
# page, declines the restart there and ends good (exit code 0). A screenshot is kept per
# page (wizard_en_*.png).
# Usage: wizard_english.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE OUTDIR
set -u
setup=$1 tool=$2 driver=$3 outdir=$4
wait_limit=300
. "$(dirname "$0")/ui_steps.sh"
begin wizard_english wizard_en_
english_pages

translate_to=klEnglish wizard_kfm 'C:\KstEnglish\Source' full dmAfterGoodInstall 'DestDirType = nil' >"$outdir/wizard_en.kfm"
make_setup_of "$outdir/wizard_en.kfm" "$outdir/wizard_en.exe" "$setup"
work_folder KstEnglish
head -c 60000 /dev/urandom >"$work/Source/full.bin"
head -c 20000 /dev/urandom >"$work/Source/demo.bin"
cp "$outdir/wizard_en.exe" "$work/Make/setup.exe"
build_dist 'KstEnglish\Make' 'KstEnglish\Dist'

on_page() {
  case $1 in
    welcome)
      has_text "$welcome" 'This program will install on your computer'
      has_text "$welcome" 'Click "Next" to continue the installation or "Cancel" to quit the setup program.'
      has_text "$welcome" 'Installation type'
      expect_state "$welcome" 'Full installation' 'visible enabled checked'
      expect_state "$welcome" 'Demo version' 'visible enabled unchecked'
      expect_state "$welcome" "$cancel" 'visible enabled unchecked'
      shot welcome ;;
    licence)
      has_text "$licence" 'Please read the following licence agreement carefully'
      has_text "$licence" 'ZARVOTILL LICENCE AGREEMENT'
      expect_state "$licence" "$next" 'visible disabled unchecked'
      expect_state "$licence" "$back" 'visible enabled unchecked' ;;
    agreed)
      expect_state "$licence" "$next" 'visible enabled unchecked'
      shot licence ;;
  esac
}
start "$work/Dist/setup.exe"
past_welcome "the welcome page in English"
past_licence "the licence page"
if drive wait "$sel" 10000 >/dev/null; then
  sleep 0.3
  has_text "$sel" 'Destination folder'
  expect_state "$sel" 'Browse...' 'visible enabled unchecked'
  shot selection
  drive click "$sel" "$next" || fail "$next on the selection page"
fi

drive wait "$good" 30000 >/dev/null || fail "the success page did not appear in English"
has_text "$good" 'VELMORA has been installed successfully. Click Finish to end the installation.'
expect_state "$good" "$restart" 'visible enabled checked'
drive check "$good" "$no_restart" on || fail "no restart"
shot good_install
drive click "$good" "$finish" || fail "$finish"
# The restart warning is one of the kit's Czech message dialogs.
if drive wait 'Varování' 10000 >/dev/null; then
  shot restart_warning
  drive click 'Varování' 'OK' || fail "OK"
fi
wait_end "walk"
[ "$code" = 0 ] || fail "the walk ended with exit code $code, expected 0"
cmp -s "$work/Source/full.bin" "$drive_c/Zarvotill/full.bin" || fail "full.bin was not installed"
echo "ok: Welcome -> Licence agreement -> (selection) -> Installation successful -> Finish, all in English (exit code 0)"
