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
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/wizard_english.log"
: >"$log"
export LC_ALL=C.UTF-8

wait_limit=300
. "$(dirname "$0")/ui_steps.sh"
shot() { sleep 0.5; import -window root "$outdir/wizard_en_$1.png" || fail "screenshot $1"; }
expect_state() {
  got=$(drive state "$1" "$2") || fail "no control $2 on $1"
  [ "$got" = "$3" ] || fail "$2 on $1: $got, expected $3"
}
has_text() { drive texts "$1" | grep -qF "$2" || fail "$1 does not show: $2"; }

cat >"$outdir/wizard_en.kfm" <<'KFM'
object frmMain: TfrmMain
  Left = 214
  Top = 121
  Width = 544
  Height = 384
  Caption = 'Instalace Zarvotill'
  PixelsPerInch = 96
  object Translator: TTranslator
    TranslateIntoLanguage = klEnglish
  end
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
    DestDirType = nil
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
    IncludeFromDir = 'C:\KstEnglish\Source'
    DestName = 'full.bin'
    UniqueID = 1
  end
  object DemoFile: TInstallFile
    Container = DemoVersion
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    FileName = 'demo.bin'
    IncludeFromDir = 'C:\KstEnglish\Source'
    DestName = 'demo.bin'
    UniqueID = 2
  end
end
KFM

wine "$tool" make-setup "$outdir/wizard_en.kfm" -o "$outdir/wizard_en.exe" --setup "$setup" </dev/null >>"$log" 2>&1 ||
  { echo "FAIL: make-setup"; cat "$log"; exit 1; }
drive_c=$(winepath -u 'C:\' 2>/dev/null </dev/null)
work="$drive_c/KstEnglish"
rm -rf "$work" "$drive_c/Zarvotill"
mkdir -p "$work/Source" "$work/Make" || { echo "FAIL: no work folder"; exit 1; }
head -c 60000 /dev/urandom >"$work/Source/full.bin"
head -c 20000 /dev/urandom >"$work/Source/demo.bin"
printf 'C:\\KstEnglish\\Dist\r\n' >"$work/Make/BUILD.INF"
cp "$outdir/wizard_en.exe" "$work/Make/setup.exe"
start "$work/Make/setup.exe" -b
drive msgbox '*program' 60000 >>"$log" && drive click '*program' OK >/dev/null
wait_end "build"
[ -f "$work/Dist/setup.exe" ] && [ -f "$work/Dist/files.1" ] || fail "the build made no distribution"

start "$work/Dist/setup.exe"
drive wait 'Welcome' 30000 >/dev/null || fail "the welcome page did not appear in English"
has_text 'Welcome' 'This program will install on your computer'
has_text 'Welcome' 'Click "Next" to continue the installation or "Cancel" to quit the setup program.'
has_text 'Welcome' 'Installation type'
expect_state 'Welcome' 'Full installation' 'visible enabled checked'
expect_state 'Welcome' 'Demo version' 'visible enabled unchecked'
expect_state 'Welcome' 'Cancel' 'visible enabled unchecked'
shot welcome
drive click 'Welcome' 'Next >' || fail "Next > on the welcome page"

drive wait 'Licence agreement' 10000 >/dev/null || fail "the licence page did not follow"
has_text 'Licence agreement' 'Please read the following licence agreement carefully'
has_text 'Licence agreement' 'ZARVOTILL LICENCE AGREEMENT'
expect_state 'Licence agreement' 'Next >' 'visible disabled unchecked'
expect_state 'Licence agreement' '< Back' 'visible enabled unchecked'
drive check 'Licence agreement' 'I have read and fully accept the agreement' on || fail "agreement box"
sleep 0.3
expect_state 'Licence agreement' 'Next >' 'visible enabled unchecked'
shot licence
drive click 'Licence agreement' 'Next >' || fail "Next > on the licence page"

sel='Select the components to install'
if drive wait "$sel" 10000 >/dev/null; then
  sleep 0.3
  has_text "$sel" 'Destination folder'
  expect_state "$sel" 'Browse...' 'visible enabled unchecked'
  shot selection
  drive click "$sel" 'Next >' || fail "Next > on the selection page"
fi

drive wait 'Installation successful' 30000 >/dev/null || fail "the success page did not appear in English"
has_text 'Installation successful' 'VELMORA has been installed successfully. Click Finish to end the installation.'
expect_state 'Installation successful' 'Yes, I want to restart my computer now' 'visible enabled checked'
drive check 'Installation successful' 'No, I will restart my computer later.' on || fail "no restart"
shot good_install
drive click 'Installation successful' 'Finish' || fail "Finish"
# The restart warning is one of the kit's Czech message dialogs.
if drive wait 'Varování' 10000 >/dev/null; then
  shot restart_warning
  drive click 'Varování' 'OK' || fail "OK"
fi
wait_end "walk"
[ "$code" = 0 ] || fail "the walk ended with exit code $code, expected 0"
cmp -s "$work/Source/full.bin" "$drive_c/Zarvotill/full.bin" || fail "full.bin was not installed"
echo "ok: Welcome -> Licence agreement -> (selection) -> Installation successful -> Finish, all in English (exit code 0)"
