#!/bin/sh
# Shortcuts on an old shell: a setup program made from progman_run.kfm runs with Wine's
# Windows NT 3.51 setting for its own name, so its shortcut becomes a Program Manager group
# and item over DDE. First against Wine's shell (it answers the commands and makes the
# group's folder, but returns no item lines, so no item follows), then against the tests'
# DDE server under the name "PROGMAN", which records the commands: the group and item with
# their exact commands, and on the second install the item replaced.
# Usage: progman_run.sh SETUP.EXE KESTRUNE-SCRIPT.EXE COMPRESS_SCRIPT.EXE DDESERVER.EXE
#        SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 compress=$3 ddeserver=$4 script=$5 outdir=$6
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
export LC_ALL=C.UTF-8
mkdir -p "$outdir"
log="$outdir/progman_run.log"
: >"$log"
base='C:\KstProgman'
ubase=$(winepath -u "$base" 2>/dev/null | tr -d '\r')
appdefaults='HKCU\Software\Wine\AppDefaults\progman_run.exe'
server_pid=
quiet() { "$@" >>"$log" 2>&1 </dev/null; }
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null
  quiet wine reg delete 'HKLM\SOFTWARE\Kestrune' /f
  quiet wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrune Progman' /f
  quiet wine reg delete "$appdefaults" /f
}
fail() { echo "FAIL: $*"; cleanup; exit 1; }
cleanup

rm -rf "$ubase"
mkdir -p "$ubase/src" "$ubase/arc" || fail "cannot make $ubase"
printf 'guide\r\n' >"$ubase/src/guide.txt"
cp "$script" "$outdir/progman_run.kfm"
quiet wine "$compress" "$(winepath -w "$outdir/progman_run.kfm")" || fail "compressing failed"
quiet wine "$tool" make-setup "$outdir/progman_run.kfm" -o "$outdir/progman_run.exe" --setup "$setup" ||
  fail "make-setup failed"
quiet wine reg add "$appdefaults" /v Version /d nt351 /f
install() {
  timeout 120 wine "$outdir/progman_run.exe" >>"$log" 2>&1 </dev/null
  code=$?
  [ "$code" = 0 ] || fail "$1: the setup program ended with $code"
  cmp -s "$ubase/dest/guide.txt" "$ubase/src/guide.txt" || fail "$1: guide.txt was not installed"
}

# Wine's shell: the group's folder in the Start menu, no shell link made beside it.
drive_c=$(winepath -u 'C:\' 2>/dev/null | tr -d '\r')
find "$drive_c" -type d -name 'Kestrune Skupina' -exec rm -rf {} + 2>/dev/null
install wine
group=$(find "$drive_c" -type d -name 'Kestrune Skupina' 2>/dev/null | head -n 1)
[ -n "$group" ] || fail "wine: Wine's shell made no group folder"
! ls "$group" | grep -q . || fail "wine: an item was made although the shell returned no group lines: $(ls "$group")"
rm -rf "$group"
echo "ok: wine: Wine's shell made the group folder; it returns no group lines, so no item was added"

# The tests' server: it starts after Wine's shell, so it answers the "PROGMAN" service first.
macros="$outdir/macros.txt"
rm -f "$macros"
wine "$ddeserver" PROGMAN "$(winepath -w "$macros")" >>"$log" 2>&1 </dev/null & server_pid=$!
i=0
while [ ! -f "$macros" ]; do
  i=$((i + 1)); [ $i -lt 100 ] || fail "the DDE server did not start"; sleep 0.1
done
install first
install second
kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; server_pid=
item='[AddItem("C:\KstProgman\dest\guide.txt" /v,Návod,,0,,,"C:\KstProgman\dest",)]'
cat >"$outdir/expected.txt" <<END
[CreateGroup("Kestrune Skupina")]
[ShowGroup(Kestrune Skupina,8)]
$item
[CreateGroup("Kestrune Skupina")]
[ShowGroup(Kestrune Skupina,8)]
[ReplaceItem("Návod")]
[ShowGroup(Kestrune Skupina,8)]
$item
END
tr -d '\r' <"$macros" | diff "$outdir/expected.txt" - >"$outdir/macros.diff" ||
  fail "the commands Program Manager got differ: $(cat "$outdir/macros.diff")"
echo "ok: stand-in: group and item created, then the item replaced, with the exact commands"
cleanup
