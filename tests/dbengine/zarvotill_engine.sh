#!/bin/sh
# The Zarvotill script's database engine group in the setup program's own run under Wine:
# the self-extracting distribution (IDAPINST.DLL packed into setup.1 as a pre-setup file)
# installs the product twice without its wizard:
#   1. on a machine without the engine it creates an installation: the engine's files in
#      the default engine folder, a new configuration, the registry keys, the counts;
#   2. on a machine with an engine in another folder it installs into that folder and
#      merges its configuration into the existing file, whose settings win.
# Both times IDAPINST.DLL goes with the setup program's temporary copy and is installed
# nowhere.
# Usage: zarvotill_engine.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE KIT SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 driver=$3 kit=$4 script=$5 outdir=$6
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/zarvotill_engine.log"
: >"$log"
wait_limit=1200
. "$(dirname "$0")/../gui/ui_steps.sh"

engine_key='HKLM\Software\Borland\Database Engine'
product_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvotill'
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>>"$log" | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
expect_value() {  # KEY NAME EXPECTED
  got=$(reg_value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1 | $2 is <$got>, expected <$3>"
}
drive_c=$(winepath -u 'C:\' 2>/dev/null)
root="$drive_c/KstBde"
bde="$drive_c/Program Files/Borland/Common Files/BDE"
clean() {
  for key in 'HKLM\Software\Borland' "$product_key" 'HKLM\Software\Zarvotill' 'HKLM\SOFTWARE\Kestrune'; do
    wine reg delete "$key" /f >/dev/null 2>&1 </dev/null
  done
  rm -rf "$drive_c/Zarvotill" "$drive_c/Program Files/Borland" "$root/OldEngine"
  find "$drive_c/users" -name 'Pokladna Zarvotill*.lnk' -exec rm -f {} + 2>/dev/null
}
clean
rm -rf "$root" && mkdir -p "$root/Make" "$root/Run" || fail "no work folder"

# The script with the kit where the build put it, built as one self-extracting setup.exe;
# its wizard, if it has one, left out.
kitw=$(winepath -w "$kit" 2>/dev/null)
python3 - "$script" "$root/zarvotill.kfm" "$kitw" <<'EOF' || fail "cannot prepare the script"
import re, sys
text = open(sys.argv[1], encoding='utf-8').read()
text = text.replace("'C:\\Kestrune", "'" + sys.argv[3])
text = text.replace('    UseLoadingProgram = False', '    UseLoadingProgram = True')
text = re.sub(r'(?ms)^  object \w+: T(DialogManager|InstallStatusDlg)\n.*?^  end\n', '', text)
open(sys.argv[2], 'w', encoding='utf-8').write(text)
EOF
wine reg add 'HKCU\Software\Borland\Delphi\3.0\Library' /v SearchPath /d "$kitw" /f >/dev/null 2>&1 </dev/null
wine "$tool" make-setup "$(winepath -w "$root/zarvotill.kfm")" -o 'C:\KstBde\Make\setup.exe' --setup "$(winepath -w "$setup")" \
  >>"$log" 2>&1 </dev/null || fail "make-setup failed"
printf 'C:\\KstBde\\Dist\r\n' >"$root/Make/BUILD.INF"
start 'C:\KstBde\Make\setup.exe' -b; wait_end "build"
[ "$code" = 0 ] || fail "the build ended with $code"
python3 - "$root/Dist/setup.1" <<'EOF' || fail "setup.1 does not hold IDAPINST.DLL"
import sys
assert b'IDAPINST.DLL' in open(sys.argv[1], 'rb').read().upper()
EOF
temp=$(winepath -u "$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)

# install [WHAT]: the self-extracting setup.exe from a fresh folder; no temporary file
# stays, IDAPINST.DLL is installed nowhere.
install() {
  before=$(ls "$temp")
  rm -rf "$root/Run" && mkdir -p "$root/Run" && cp "$root/Dist/setup.exe" "$root/Run/setup.exe"
  start 'C:\KstBde\Run\setup.exe'; wait_end "$1"
  [ "$code" = 0 ] || fail "$1: setup.exe ended with $code"
  sleep 1
  [ "$(ls "$temp")" = "$before" ] || fail "$1: the temporary folder kept $(ls "$temp" | tr '\n' ' ')"
  stray=$(find "$drive_c/Zarvotill" "$drive_c/Program Files/Borland" "$root/OldEngine" -iname IDAPINST.DLL 2>/dev/null)
  [ -z "$stray" ] || fail "$1: IDAPINST.DLL was installed: $stray"
}

# ---- 1. a machine without the engine ----
install "clean machine"
for f in IDAPI32.DLL IDR20009.DLL usa.btl bantam.dll IDSQL32.DLL BDEINFO.TXT idapi32.cfg; do
  [ -f "$bde/$f" ] || fail "clean machine: $f is not in the engine folder ($(ls "$bde" | tr '\n' ' '))"
done
[ ! -e "$bde/IDAPI32.CNF" ] || fail "clean machine: the new configuration IDAPI32.CNF stayed beside idapi32.cfg"
[ -f "$(winepath -u 'C:\windows\system32\BDEADMIN.CPL' 2>/dev/null)" ] || fail "clean machine: no BDEADMIN.CPL in the system folder"
grep -q '^LANGUAGE=0009' "$bde/idapi32.cfg" && grep -q '^DEFAULT DRIVER=PARADOX' "$bde/idapi32.cfg" ||
  fail "clean machine: idapi32.cfg is $(cat "$bde/idapi32.cfg")"
bdew='C:\Program Files\Borland\Common Files\BDE'
expect_value "$engine_key" DLLPATH 'C:\PROGRAM FILES\BORLAND\COMMON FILES\BDE'
expect_value "$engine_key" CONFIGFILE01 "$bdew\\idapi32.cfg"
expect_value "$engine_key" RESOURCE 0009
expect_value "$engine_key" SAVECONFIG WIN32
expect_value "$engine_key" UseCount 0x1
expect_value 'HKLM\Software\Borland\BLW32' BLAPIPATH 'C:\PROGRAM FILES\BORLAND\COMMON FILES\BDE'
expect_value "$product_key\\BDE" Entries 1
[ -n "$(find "$drive_c/Zarvotill" -name ZvServer.exe 2>/dev/null)" ] ||
  fail "clean machine: the product itself was not installed"
echo "ok: a clean machine gets the engine in its default folder, a new configuration and its registry keys"

# ---- 2. a machine with an engine in another folder ----
clean
mkdir -p "$root/OldEngine/Cfg" "$root/Run"
echo old >"$root/OldEngine/IDAPI32.DLL"
printf '[SYSTEM\\INIT]\r\nLOCAL SHARE=TRUE\r\nMAXFILEHANDLES=99\r\n\r\n[ALIASES\\SHOP]\r\nPATH=C:\\KstBde\\Shop\r\n' \
  >"$root/OldEngine/Cfg/SHOP.CFG"
wine reg add "$engine_key" /v DLLPATH /d 'c:\kstbde\oldengine;C:\KstBde\Other' /f >/dev/null 2>&1 </dev/null
wine reg add "$engine_key" /v CONFIGFILE01 /d 'C:\KstBde\OldEngine\Cfg\SHOP.CFG' /f >/dev/null 2>&1 </dev/null
wine reg add "$engine_key" /v RESOURCE /d 0009 /f >/dev/null 2>&1 </dev/null
wine reg add "$engine_key" /v UseCount /t REG_DWORD /d 3 /f >/dev/null 2>&1 </dev/null
install "existing engine"
[ ! -e "$bde" ] || fail "existing engine: files went to the default engine folder too: $(ls "$bde" | tr '\n' ' ')"
for f in IDAPI32.DLL usa.btl IDQBE32.DLL BDEINFO.TXT; do
  [ -f "$root/OldEngine/$f" ] || fail "existing engine: $f is not in its folder"
done
cmp -s "$root/OldEngine/IDAPI32.DLL" "$kit/Engine/IDAPI32.DLL" || fail "existing engine: the old IDAPI32.DLL was not replaced"
[ "$(ls "$root/OldEngine/Cfg")" = "SHOP.CFG" ] || fail "existing engine: the configuration folder holds $(ls "$root/OldEngine/Cfg")"
# The kit's settings merged in, the machine's own kept: LOCAL SHARE, MAXFILEHANDLES, the alias.
printf '%s\r\n' '[SYSTEM\INIT]' 'VERSION=4.0' 'LOCAL SHARE=TRUE' 'MINBUFSIZE=128' 'MAXBUFSIZE=2048' 'MAXFILEHANDLES=99' \
  'DEFAULT DRIVER=PARADOX' 'LANGUAGE=0009' '' '[DRIVERS\PARADOX\INIT]' 'TYPE=FILE' 'NET DIR=' '' \
  '[DRIVERS\PARADOX\TABLE CREATE]' 'LEVEL=4' 'BLOCK SIZE=2048' '' '[ALIASES\SHOP]' 'PATH=C:\KstBde\Shop' '' \
  >"$outdir/merged.expected"
cmp -s "$outdir/merged.expected" "$root/OldEngine/Cfg/SHOP.CFG" || fail "existing engine: SHOP.CFG is $(cat "$root/OldEngine/Cfg/SHOP.CFG")"
expect_value "$engine_key" DLLPATH 'C:\KSTBDE\OLDENGINE;C:\KSTBDE\OTHER'
expect_value "$engine_key" CONFIGFILE01 'C:\KstBde\OldEngine\Cfg\SHOP.CFG'
expect_value "$engine_key" UseCount 0x4
expect_value 'HKLM\Software\Borland\BLW32' BLAPIPATH 'C:\KSTBDE\OLDENGINE'
echo "ok: with an engine installed the files go into its folder and the configuration is merged into its file"
clean
rm -rf "$root"
