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
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/wizard_walk.log"
: >"$log"
export LC_ALL=C.UTF-8

wait_limit=300
. "$(dirname "$0")/ui_steps.sh"
shot() { sleep 0.5; import -window root "$outdir/wizard_$1.png" || fail "screenshot $1"; }
# Waits up to 5 s for a control of window $1 whose text matches the grep pattern $2.
wait_text() {
  n=0
  until drive texts "$1" | grep -q "$2"; do
    n=$((n + 1)); [ $n -lt 25 ] || return 1
    sleep 0.2
  done
}
expect_state() {
  got=$(drive state "$1" "$2") || fail "no control $2 on $1"
  [ "$got" = "$3" ] || fail "$2 on $1: $got, expected $3"
}

cat >"$outdir/wizard.kfm" <<'KFM'
object frmMain: TfrmMain
  Left = 214
  Top = 121
  Width = 544
  Height = 384
  Caption = 'Instalace Zarvotill'
  PixelsPerInch = 96
  object psContainerArchiveFile: TpsContainerArchiveFile
  end
  object psContainerDestDir: TpsContainerDestDir
  end
  object psMainArchiveFile: TpsMainArchiveFile
  end
  object Install: TInstall
    Tag = 1
    ArchiveFileType = psMainArchiveFile
    AutoMaximizeWindow = False
    DestDir = 'C:\Zarvotill'
    Information.ProductName = 'Zarvotill'
    HideMainForm = False
    Reboot = False
    UseLoadingProgram = False
  end
  object DialogManager: TDialogManager
    Container = Install
  end
  object DialogManager1: TDialogManager
    Container = Install
    ManagerType = dmAfterGoodInstall
  end
  object DialogManager5: TDialogManager
    Container = Install
    ManagerType = dmReboot
  end
  object FullVersion: TInstallFileGroup
    Tag = 1
    GroupName = 'Plná verze'
    Container = Install
    Order = 1
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
  end
  object DemoVersion: TInstallFileGroup
    Tag = 1
    GroupName = 'Demoverze'
    Container = Install
    Order = 2
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
  end
  object FullFile: TInstallFile
    Container = FullVersion
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    FileName = 'full.bin'
    IncludeFromDir = 'C:\KstWalk\Source'
    DestName = 'full.bin'
    UniqueID = 1
  end
  object DemoFile: TInstallFile
    Container = DemoVersion
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    FileName = 'demo.bin'
    IncludeFromDir = 'C:\KstWalk\Source'
    DestName = 'demo.bin'
    UniqueID = 2
  end
end
KFM

# The distribution: the product files (600,000 and 200,000 bytes: 585 and 195 KB needed),
# a copy of the setup program with the script and BUILD.INF, built with -b. The build
# copies the setup program and makes files.1, then says that the self-extracting form was
# not made (the script does not use the loading program).
# Unix paths: a winepath call would start Wine's services with this script's streams.
wine "$tool" make-setup "$outdir/wizard.kfm" -o "$outdir/wizard.exe" --setup "$setup" </dev/null >>"$log" 2>&1 ||
  { echo "FAIL: make-setup"; cat "$log"; exit 1; }
drive_c=$(winepath -u 'C:\' 2>/dev/null </dev/null)
work="$drive_c/KstWalk"
rm -rf "$work" "$drive_c/Zarvotill" "$drive_c/Zarvotill Demo"
mkdir -p "$work/Source" "$work/Make" || { echo "FAIL: no work folder"; exit 1; }
head -c 600000 /dev/urandom >"$work/Source/full.bin"
head -c 200000 /dev/urandom >"$work/Source/demo.bin"
printf 'C:\\KstWalk\\Dist\r\n' >"$work/Make/BUILD.INF"
cp "$outdir/wizard.exe" "$work/Make/setup.exe"
start "$work/Make/setup.exe" -b
drive msgbox '*program' 60000 >>"$log" && drive click '*program' OK >/dev/null
wait_end "build"
[ -f "$work/Dist/setup.exe" ] && [ -f "$work/Dist/files.1" ] || fail "the build made no distribution"

# The whole walk.
start "$work/Dist/setup.exe"
drive wait 'Vítejte' 30000 >/dev/null || fail "the welcome page did not appear"
drive texts 'Vítejte' | grep -q 'Tento program Vám nainstaluje na váš počítač program' || fail "welcome text"
expect_state 'Vítejte' 'Plná instalace' 'visible enabled checked'
shot welcome
drive click 'Vítejte' 'Další' || fail "Další on the welcome page"
drive wait 'Licenční ujednání' 10000 >/dev/null || fail "the licence page did not follow"
expect_state 'Licenční ujednání' 'Další' 'visible disabled unchecked'
expect_state 'Licenční ujednání' 'Zpět' 'visible enabled unchecked'
shot licence
drive click 'Licenční ujednání' 'Zpět' || fail "Zpět"
drive wait 'Vítejte' 10000 >/dev/null || fail "back did not return to the welcome page"
drive check 'Vítejte' 'Demoverze' on || fail "Demoverze"
drive click 'Vítejte' 'Další' || fail "Další again"
drive wait 'Licenční ujednání' 10000 >/dev/null || fail "the licence page did not follow again"
drive check 'Licenční ujednání' 'Smlouvu jsem četl a bez výhrad souhlasím' on || fail "agreement box"
sleep 0.3
expect_state 'Licenční ujednání' 'Další' 'visible enabled unchecked'
shot licence_agreed
drive click 'Licenční ujednání' 'Další' || fail "Další on the licence page"

# The selection page: the demo needs 195 KB; the destination shows in lower case.
sel='Výběr komponent k instalaci' tab=$(printf '\t')
drive wait "$sel" 10000 >/dev/null || fail "the selection page did not follow"
sleep 0.3
texts=$(drive texts "$sel")
printf '%s\n' "$texts" | grep -q "${tab}195     KB\$" || fail "needed space of the demo: $texts"
printf '%s\n' "$texts" | grep -q 'Velmora - Demoverze' || fail "the demo's line"
printf '%s\n' "$texts" | grep -q 'c:\\zarvotill demo' || fail "the demo's destination"
printf '%s\n' "$texts" | grep -q 'Cílový adresář' || fail "the directory box"
expect_state "$sel" 'Další' 'visible enabled unchecked'
expect_state "$sel" 'Zpět' 'visible enabled unchecked'
expect_state "$sel" 'Procházet...' 'visible enabled unchecked'
shot selection_demo
# Back on the welcome page the full install is chosen: the need grows to 585 KB.
drive click "$sel" 'Zpět' || fail "Zpět on the selection page"
drive wait 'Licenční ujednání' 10000 >/dev/null || fail "back to the licence page"
drive click 'Licenční ujednání' 'Zpět' || fail "Zpět on the licence page"
drive wait 'Vítejte' 10000 >/dev/null || fail "back to the welcome page"
drive check 'Vítejte' 'Plná instalace' on || fail "Plná instalace"
drive click 'Vítejte' 'Další' || fail "Další for the full install"
drive wait 'Licenční ujednání' 10000 >/dev/null || fail "the licence page for the full install"
drive click 'Licenční ujednání' 'Další' || fail "Další on the licence page again"
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
drive click "$sel" 'Další' || fail "Další on the selection page"
# The install copies the full version's file to the chosen folder; the success page
# offers the restart.
drive wait 'Úspěšná instalace' 30000 >/dev/null || fail "the success page did not appear"
expect_state 'Úspěšná instalace' 'Ano, chci restartovat můj počítač nyní' 'visible enabled checked'
drive check 'Úspěšná instalace' 'Ne, restartuji počítač později.' on || fail "no restart"
shot good_install
drive click 'Úspěšná instalace' 'Dokončit' || fail "Dokončit"
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
drive wait 'Vítejte' 30000 >/dev/null || fail "the welcome page did not appear again"
drive click 'Vítejte' 'Storno' || fail "Storno"
wait_end "cancel"
[ "$code" = 2 ] || fail "cancel ended with exit code $code, expected 2"
echo "ok: Storno -> cancelled (exit code 2)"
