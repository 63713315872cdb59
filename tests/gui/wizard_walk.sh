#!/bin/sh
# The wizard as a user meets it, under Wine: a copy of the setup program with a small
# script of its own (an engine, the before-install, good-install and restart managers, the
# full and demo groups) opens the welcome page; the walk goes forwards to the licence page,
# back and forwards again, finds "Další" disabled until the agreement is ticked, completes
# the sequence, declines the restart on the success page, confirms the warning, and the
# run ends good (exit code 0). A second run is cancelled with
# "Storno" and ends as cancelled by the user (exit code 2). A screenshot is kept per page.
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
  object Install: TInstall
    Tag = 1
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
end
KFM
# Unix paths: a winepath call would start Wine's services with this script's streams.
wine "$tool" make-setup "$outdir/wizard.kfm" -o "$outdir/wizard.exe" --setup "$setup" </dev/null >>"$log" 2>&1 ||
  { echo "FAIL: make-setup"; cat "$log"; exit 1; }

# The whole walk.
wine "$outdir/wizard.exe" >>"$log" 2>&1 </dev/null &
pid=$!
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
# The empty install runs; the success page offers the restart (the demo was chosen).
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
echo "ok: welcome -> licence -> back -> licence -> success page -> warning -> done (exit code 0)"

# Cancelled on the welcome page.
wine "$outdir/wizard.exe" >>"$log" 2>&1 </dev/null &
pid=$!
drive wait 'Vítejte' 30000 >/dev/null || fail "the welcome page did not appear again"
drive click 'Vítejte' 'Storno' || fail "Storno"
wait_end "cancel"
[ "$code" = 2 ] || fail "cancel ended with exit code $code, expected 2"
echo "ok: Storno -> cancelled (exit code 2)"
