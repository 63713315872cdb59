#!/bin/sh
# A product in "C:\Program Files\Some Product" (its name "Some  Product", two blanks),
# installed by a setup program made from uninstall_run.kfm over a kept.txt of the user's
# (owNever keeps it), removed by its uninstaller started the way the system's list of
# installed programs starts it: the raw "UninstallString" as CreateProcess's command line,
# with a "C:\Program.exe" planted that must not run. The uninstaller removes what the run
# wrote and nothing else; its own program waits for the restart. A reinstall before the
# restart takes that delayed delete back, and a restart of the session keeps the new
# install. A run that fails after writing a file leaves a complete entry whose uninstaller
# removes that file.
# Usage: uninstall_run.sh SETUP.EXE KESTRUNE-SCRIPT.EXE COMPRESS_SCRIPT.EXE UNINSTALL.EXE
#        RAWSTART.EXE UIDRIVER.EXE LNKINFO.EXE SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 compress=$3 uninstaller=$4 rawstart=$5 driver=$6 lnkinfo=$7 script=$8 outdir=$9
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
export LC_ALL=C.UTF-8
mkdir -p "$outdir"
log="$outdir/uninstall_run.log"
: >"$log"
. "$(dirname "$0")/../gui/ui_steps.sh"
quiet() { "$@" >>"$log" 2>&1 </dev/null; }
ukey='Software\Microsoft\Windows\CurrentVersion\Uninstall\Some  Product'
dest=$(winepath -u 'C:\Program Files\Some Product' 2>/dev/null | tr -d '\r')
work=$(winepath -u 'C:\KstUninst' 2>/dev/null | tr -d '\r')
drive_c=$(winepath -u 'C:\' 2>/dev/null | tr -d '\r')
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>>"$log" | tr -d '\r' | sed -n 's/^ *[^ ].* REG_SZ *//p'; }
pending() { wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
  </dev/null 2>>"$log" | tr -d '\r' | grep -ci 'Some Product'; }
cleanup() {
  quiet wine reg delete "HKLM\\$ukey" /f
  quiet wine reg delete 'HKLM\SOFTWARE\Kestrune' /f
  rm -rf "$dest" "$work" "$drive_c/Program.exe" "$drive_c/Program.exe.ran"
  find "$drive_c" -type d -name 'Kestrune Some Product' -exec rm -rf {} + 2>/dev/null
}
cleanup
mkdir -p "$work/src" "$work/arc" "$dest" || fail "no work folder"
echo fresh >"$work/src/fresh.txt"
echo new >"$work/src/kept.txt"
cp "$uninstaller" "$work/src/uninstall.exe"
echo mine >"$dest/kept.txt"
cp "$script" "$outdir/good.kfm"
# The same product with a file whose step fails after fresh.txt was written.
awk '/^  object Uninstaller: TUninstallEXE$/ { print "  object Broken: TInstallFile\n    Container = Install\n    DestDirType = psContainerDestDir\n    ArchiveFileType = psContainerArchiveFile\n    FileName = '"'"'kept.txt'"'"'\n    DestName = '"'"'..\\x.txt'"'"'\n    IncludeFromDir = '"'"'C:\\KstUninst\\src'"'"'\n    Order = 3\n    UniqueID = 4\n  end" } { print }' \
  "$script" >"$outdir/failing.kfm"
for s in good failing; do
  quiet wine "$compress" "$(winepath -w "$outdir/$s.kfm")" || fail "compressing $s failed"
  quiet wine "$tool" make-setup "$outdir/$s.kfm" -o "$outdir/$s.exe" --setup "$setup" || fail "make-setup $s failed"
done
install() {
  timeout 120 wine "$outdir/good.exe" >>"$log" 2>&1 </dev/null
  code=$?
  [ "$code" = 0 ] || fail "$1: the setup program ended with $code"
}
# Starts the entry's raw command as the list of installed programs does and says yes.
uninstall() {
  start "$rawstart" "$ukey" UninstallString
  answer 'Opravdu chcete odebrat produkt Some  Product a všechny jeho součásti?' Yes
  answer "$1"
  wait_end "uninstall.exe"
  [ "$code" = 0 ] || fail "uninstall.exe ended with $code"
  [ ! -e "$drive_c/Program.exe.ran" ] || fail "the planted C:\\Program.exe ran"
}
answer() {
  got=$(drive msgbox Odinstalace 30000) || fail "no message box <$1>"
  [ "$got" = "$1" ] || fail "message was <$got>, expected <$1>"
  drive click Odinstalace "${2:-OK}" >/dev/null || fail "cannot answer <$1>"
}
removed="Produkt Some  Product byl odebrán.

Tyto soubory tu byly před instalací a zůstávají:
C:\\Program Files\\Some Product\\kept.txt"

# ---- install, then uninstall through the raw command ----
install first
[ "$(reg_value "HKLM\\$ukey" UninstallString)" = '"C:\Program Files\Some Product\uninstall.exe" Some  Product' ] ||
  fail "UninstallString is <$(reg_value "HKLM\\$ukey" UninstallString)>"
link=$(find "$drive_c" -path '*Kestrune Some Product/Remove.lnk' 2>/dev/null | head -n 1)
[ -n "$link" ] || fail "no uninstaller shortcut"
[ "$(wine "$lnkinfo" "$(winepath -w "$link")" </dev/null 2>>"$log" | tr -d '\r' | sed -n 2p)" = 'Some  Product' ] ||
  fail "the uninstaller shortcut's arguments are not the product name"
cp "$rawstart" "$drive_c/Program.exe"
uninstall "$removed"
[ ! -e "$dest/fresh.txt" ] || fail "fresh.txt stayed"
[ "$(cat "$dest/kept.txt")" = mine ] || fail "the user's kept.txt was not left as it was"
[ ! -e "$link" ] || fail "the shortcut stayed"
quiet wine reg query "HKLM\\$ukey" && fail "the entry stayed"
[ "$(pending)" -ge 1 ] || fail "the uninstaller's own delete is not waiting for the restart"
echo "ok: the raw UninstallString started the uninstaller (not C:\\Program.exe); it removed what the run wrote"

# ---- reinstall before the restart, then restart ----
install again
[ "$(pending)" = 0 ] || fail "the reinstall left the uninstaller's delayed delete"
timeout 60 wineboot -r >>"$log" 2>&1 </dev/null || fail "the restart of the session did not end"
[ -f "$dest/uninstall.exe" ] && [ -f "$dest/fresh.txt" ] || fail "the restart removed the reinstalled product"
echo "ok: a reinstall before the restart took back the delayed delete; the restart kept the new install"
quiet wine reg delete "HKLM\\$ukey" /f
rm -rf "$dest"; mkdir -p "$dest"; echo mine >"$dest/kept.txt"

# ---- a run that fails after writing a file ----
start "$outdir/failing.exe"
got=$(drive msgbox '*' 60000) || fail "the failing run showed no message"
case "$got" in *'Broken'*'..\x.txt'*) ;; *) fail "the failing run said <$got>" ;; esac
drive click '*' OK >/dev/null
wait_end "the failing run"
[ "$code" != 0 ] || fail "the failing run ended with 0"
[ -f "$dest/fresh.txt" ] && [ -f "$dest/uninstall.exe" ] || fail "the failed run left no uninstaller beside its file"
uninstall "$removed"
[ ! -e "$dest/fresh.txt" ] && [ "$(cat "$dest/kept.txt")" = mine ] || fail "the failed run's files were not removed exactly"
echo "ok: a failed run left a complete entry; its uninstaller removed what the run wrote"
cleanup
