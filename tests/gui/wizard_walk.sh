#!/bin/sh
# The wizard as a user meets it, under Wine: a small script of its own (an engine, the
# before-install, good-install and restart managers, the full and demo groups with one file
# each) is built into a distribution with -b, whose setup program opens the welcome page;
# the walk goes forwards to the licence page, back and forwards again, finds "Další"
# disabled until the agreement is ticked, and reaches the selection page, where the
# needed space follows the install type chosen on the welcome page. The browse button
# opens the folder browser (cancelled, it changes nothing and leaves nothing behind); a
# path typed into its edit and the create button make that folder, the create button
# again asks for a name and makes a folder inside, and OK makes it the destination (the
# destination that did not exist while browsing is gone again).
# The install copies the full version's file there; the walk declines the restart on the
# success page, confirms the warning, and the run ends good (exit code 0). A second run is
# cancelled with "Storno" and ends as cancelled by the user (exit code 2). A screenshot is
# kept per page.
# Usage: wizard_walk.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE OUTDIR
set -u
setup=$1 tool=$2 driver=$3 outdir=$4
wait_limit=300
. "$(dirname "$0")/ui_steps.sh"
begin wizard_walk wizard_
czech_pages
# Waits up to 5 s for a control of window $1 whose text matches the grep pattern $2.
wait_text() {
  n=0
  until drive texts "$1" | grep -q "$2"; do
    n=$((n + 1)); [ $n -lt 25 ] || return 1
    sleep 0.2
  done
}

# The distribution: the product files (600,000 and 200,000 bytes: 585 and 195 KB needed),
# a copy of the setup program with the script, built with -b.
wizard_kfm 'C:\KstWalk\Source' full "dmAfterGoodInstall dmReboot" >"$outdir/wizard.kfm"
make_setup_of "$outdir/wizard.kfm" "$outdir/wizard.exe" "$setup"
work_folder KstWalk
head -c 600000 /dev/urandom >"$work/Source/full.bin"
head -c 200000 /dev/urandom >"$work/Source/demo.bin"
cp "$outdir/wizard.exe" "$work/Make/setup.exe"
build_dist 'KstWalk\Make' 'KstWalk\Dist'

# The whole walk.
start "$work/Dist/setup.exe"
drive wait "$welcome" 30000 >/dev/null || fail "the welcome page did not appear"
drive texts "$welcome" | grep -q 'Tento program Vám nainstaluje na váš počítač program' || fail "welcome text"
expect_state "$welcome" 'Plná instalace' 'visible enabled checked'
shot welcome
drive click "$welcome" "$next" || fail "Další on the welcome page"
drive wait "$licence" 10000 >/dev/null || fail "the licence page did not follow"
expect_state "$licence" "$next" 'visible disabled unchecked'
expect_state "$licence" "$back" 'visible enabled unchecked'
shot licence
drive click "$licence" "$back" || fail "Zpět"
drive wait "$welcome" 10000 >/dev/null || fail "back did not return to the welcome page"
drive check "$welcome" 'Demoverze' on || fail "Demoverze"
drive click "$welcome" "$next" || fail "Další again"
drive wait "$licence" 10000 >/dev/null || fail "the licence page did not follow again"
drive check "$licence" "$agreement" on || fail "agreement box"
sleep 0.3
expect_state "$licence" "$next" 'visible enabled unchecked'
shot licence_agreed
drive click "$licence" "$next" || fail "Další on the licence page"

# The selection page: the demo needs 195 KB; the destination shows in lower case.
tab=$(printf '\t')
drive wait "$sel" 10000 >/dev/null || fail "the selection page did not follow"
sleep 0.3
texts=$(drive texts "$sel")
printf '%s\n' "$texts" | grep -q "${tab}195     KB\$" || fail "needed space of the demo: $texts"
printf '%s\n' "$texts" | grep -q 'Velmora - Demoverze' || fail "the demo's line"
printf '%s\n' "$texts" | grep -q 'c:\\zarvotill demo' || fail "the demo's destination"
printf '%s\n' "$texts" | grep -q 'Cílový adresář' || fail "the directory box"
expect_state "$sel" "$next" 'visible enabled unchecked'
expect_state "$sel" "$back" 'visible enabled unchecked'
expect_state "$sel" 'Procházet...' 'visible enabled unchecked'
shot selection_demo
# Back on the welcome page the full install is chosen: the need grows to 585 KB.
drive click "$sel" "$back" || fail "Zpět on the selection page"
drive wait "$licence" 10000 >/dev/null || fail "back to the licence page"
drive click "$licence" "$back" || fail "Zpět on the licence page"
drive wait "$welcome" 10000 >/dev/null || fail "back to the welcome page"
drive check "$welcome" 'Plná instalace' on || fail "Plná instalace"
drive click "$welcome" "$next" || fail "Další for the full install"
drive wait "$licence" 10000 >/dev/null || fail "the licence page for the full install"
drive click "$licence" "$next" || fail "Další on the licence page again"
drive wait "$sel" 10000 >/dev/null || fail "the selection page again"
sleep 0.3
texts=$(drive texts "$sel")
printf '%s\n' "$texts" | grep -q "${tab}585     KB\$" || fail "needed space of the full install: $texts"
printf '%s\n' "$texts" | grep -q 'Velmora - Verze: Light' || fail "the full version's line"
shot selection_full

# The folder browser, cancelled, then: a typed path and the create button make that folder
# and reopen the browser there; the create button again asks for a name and makes a folder
# inside.
browser='Browse for Folder'
# Cancelled: the destination made for the browser is gone again and stays the destination.
drive click "$sel" 'Procházet...' || fail "Procházet..."
drive wait "$browser" 10000 >/dev/null || fail "no folder browser"
[ -d "$drive_c/Zarvotill" ] || fail "the missing destination was not made for the browser"
wait_text "$browser" '^Edit.C:.Zarvotill$' || fail "the path edit does not start on the destination"
drive click "$browser" Cancel || fail "Cancel in the browser"
drive gone "$browser" 10000 || fail "the browser stayed after Cancel"
sleep 0.3
[ ! -d "$drive_c/Zarvotill" ] || fail "a cancelled browse left the destination made for it behind"
drive texts "$sel" | grep -q '^Edit.c:.zarvotill$' || fail "a cancelled browse changed the destination"
drive click "$sel" 'Procházet...' || fail "Procházet... again"
drive wait "$browser" 10000 >/dev/null || fail "no folder browser"
[ -d "$drive_c/Zarvotill" ] || fail "the missing destination was not made for the browser"
sleep 0.5
shot browser
create=$(drive texts "$browser" | awk -F'\t' '$1 == "Button" && NR > 0 { print $2 }' | sed -n 3p | tr -d '&')
[ -n "$create" ] || fail "no create button in the browser"
drive type "$browser" Edit 'C:\KstWalk\Nová cesta\Produkt' || fail "typing the path"
sleep 0.3
drive click "$browser" "$create" || fail "the create button"
sleep 1
drive wait "$browser" 10000 >/dev/null || fail "the browser did not reopen"
[ -d "$work/Nová cesta/Produkt" ] || fail "the typed folder was not made"
drive click "$browser" "$create" || fail "the create button again"
drive wait "$create" 10000 >/dev/null || fail "no question for the folder's name"
shot new_folder_name
drive type "$create" Edit 'Složka' || fail "typing the name"
drive click "$create" OK || fail "OK for the name"
sleep 1
drive wait "$browser" 10000 >/dev/null || fail "the browser did not reopen on the named folder"
[ -d "$work/Nová cesta/Produkt/Složka" ] || fail "the named folder was not made"
wait_text "$browser" 'Produkt\\Složka$' || fail "the path edit does not show the new folder"
shot browser_new_folder
drive click "$browser" OK || fail "OK in the browser"
drive gone "$browser" 10000 || fail "the browser stayed"
sleep 0.3
[ ! -d "$drive_c/Zarvotill" ] || fail "the destination made for the browser was left behind"
drive texts "$sel" | grep -q 'c:\\kstwalk\\nová cesta\\produkt\\složka' || fail "the chosen destination is not shown"
shot selection_browsed
drive click "$sel" "$next" || fail "Další on the selection page"
# The install copies the full version's file to the chosen folder; the success page
# offers the restart.
drive wait "$good" 30000 >/dev/null || fail "the success page did not appear"
expect_state "$good" "$restart" 'visible enabled checked'
drive check "$good" "$no_restart" on || fail "no restart"
shot good_install
drive click "$good" "$finish" || fail "Dokončit"
drive wait 'Varování' 10000 >/dev/null || fail "no restart warning"
drive texts 'Varování' | grep -q 'Program nebude fungovat správně dokud nerestartujete počítač.' || fail "warning text"
shot restart_warning
drive click 'Varování' 'OK' || fail "OK"
wait_end "walk"
[ "$code" = 0 ] || fail "the walk ended with exit code $code, expected 0"
cmp -s "$work/Source/full.bin" "$work/Nová cesta/Produkt/Složka/full.bin" || fail "full.bin was not installed in the chosen folder"
echo "ok: welcome -> licence -> back -> licence -> selection (195 KB, 585 KB) -> browse, create two folders -> install there -> success page -> warning -> done (exit code 0)"

# Cancelled on the welcome page.
start "$work/Dist/setup.exe"
drive wait "$welcome" 30000 >/dev/null || fail "the welcome page did not appear again"
drive click "$welcome" "$cancel" || fail "Storno"
wait_end "cancel"
[ "$code" = 2 ] || fail "cancel ended with exit code $code, expected 2"
echo "ok: Storno -> cancelled (exit code 2)"
