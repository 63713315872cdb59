#!/bin/sh
# A destination in use across a real restart of the Wine session. A setup program made
# from restart_run.kfm installs an in-process server over a copy held open by another
# process: the new file waits under a numbered name, the run registers its resume in
# RunOnce, ends with exit code 4 and restarts Windows; the restart puts the file in place
# and starts the resumed run (-r), which registers the server and removes its record.
# First with the delayed move of the NT family, then on a Windows 98 setting with the
# "Rename" section of WININIT.INI.
# The holder lets go when the session ends, as every program does at a real restart; told
# of the end, it lists what waits beside the held file (the restart may have moved it by the
# time the setup program's end is seen here). Wine's restart starts the RunOnce commands
# one after the other and waits for each; until they end every new Wine process waits too,
# so a resumed run stopped on a message box would stop this script: each Wine call is
# bounded, and a failure names the windows on the screen.
# Usage: restart_run.sh SETUP.EXE KESTRUNE-SCRIPT.EXE COMPRESS_SCRIPT.EXE HOLDER.EXE
#        SERVER.DLL OLD.DLL SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 compress=$3 holder=$4 server=$5 old=$6 script=$7 outdir=$8
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
export LC_ALL=C.UTF-8
mkdir -p "$outdir"
log="$outdir/restart_run.log"
: >"$log"
base='C:\KstRestart'
ubase=$(winepath -u "$base" 2>/dev/null | tr -d '\r')
runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
appdefaults='HKCU\Software\Wine\AppDefaults\restart98.exe'
reg_query() { timeout 30 wine reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }
quiet() { timeout 60 "$@" >>"$log" 2>&1 </dev/null; }
cleanup() {
  touch "$ubase/stop.flag" 2>/dev/null
  quiet wine reg delete 'HKLM\SOFTWARE\Kestrune' /f
  quiet wine reg delete 'HKLM\Software\KestruneTest' /f
  quiet wine reg delete "$runonce" /v KestruneUnfinished /f
  quiet wine reg delete "$appdefaults" /f
  rm -f "$windir/wininit.ini" "$windir/wininit.bak"
}
windows() { xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\([^"]*\)": ("\([^"]*\)".*/\2: \1/p' | grep -v 'Default IME'; }
# A restart held up holds every later Wine call of the prefix: the prefix's processes end
# (this test runs alone) before the clean-up.
held_up=0
fail() {
  echo "FAIL: $*"
  windows | sed 's/^/  window: /'
  [ "$held_up" = 0 ] || wineserver -k
  cleanup
  exit 1
}
windir=$(winepath -u 'C:\windows' 2>/dev/null | tr -d '\r')

# Installs with SETUP-NAME over a held destination; leaves code = the setup's exit code.
run_held() {
  name=$1
  rm -rf "$ubase"
  mkdir -p "$ubase/src" "$ubase/arc" "$ubase/dest" || fail "cannot make $ubase"
  cp "$server" "$ubase/src/server.dll"
  printf 'notes\r\n' >"$ubase/src/notes.txt"
  cp "$old" "$ubase/dest/server.dll"
  cp "$script" "$outdir/$name.kfm"
  quiet wine "$compress" "$(winepath -w "$outdir/$name.kfm")" || fail "$name: compressing failed"
  quiet wine "$tool" make-setup "$outdir/$name.kfm" -o "$outdir/$name.exe" --setup "$setup" || fail "$name: make-setup failed"
  wine "$holder" "$base\\dest\\server.dll" "$base\\ready.flag" "$base\\stop.flag" >>"$log" 2>&1 </dev/null &
  i=0
  while [ ! -f "$ubase/ready.flag" ]; do
    i=$((i + 1)); [ $i -lt 100 ] || fail "$name: the holder did not start"; sleep 0.1
  done
  wine "$outdir/$name.exe" >>"$log" 2>&1 </dev/null & pid=$!
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1)); [ $i -lt 600 ] || fail "$name: the setup program did not end"; sleep 0.1
  done
  wait "$pid"; code=$?
}

# Succeeds while the resumed run has not finished: its install record or RunOnce entry is
# still there. A Wine call that does not come back means the restart is held up.
pending() {
  for query in 'HKLM\SOFTWARE\Kestrune\Install' "$runonce /v KestruneUnfinished"; do
    timeout 30 wine reg query $query >/dev/null 2>&1 </dev/null
    case $? in
      0) return 0 ;;
      124) held_up=1; fail "$1: Wine calls wait: the restart is held up (a resumed run waiting?)" ;;
    esac
  done
  return 1
}

# Waits until the resumed run has removed its record and RunOnce entry; restarts the
# session once more itself if nothing has started the resume.
wait_resumed() {
  i=0
  while pending "$1"; do
    i=$((i + 1))
    [ $i = 40 ] && quiet wineboot -r
    [ $i -lt 160 ] || fail "$1: the resumed run did not finish"
    sleep 0.5
  done
}

same() { cmp -s "$1" "$2"; }
registered() { reg_query 'HKLM\Software\KestruneTest' /v server.dll | grep -q registered; }
cleanup

# NT family: MoveFileEx's delayed move, done by the restart before RunOnce.
run_held restart
same "$ubase/dest/notes.txt" "$ubase/src/notes.txt" || fail "nt: notes.txt was not installed"
wait_resumed nt
tr -d '\r' <"$ubase/ready.flag" | grep -qx 'server.1' || fail "nt: no server.1 waited at the session's end: $(cat "$ubase/ready.flag")"
same "$ubase/dest/server.dll" "$server" || fail "nt: the restart did not put the new server in place"
[ ! -e "$ubase/dest/server.1" ] || fail "nt: server.1 is still there"
registered || fail "nt: the resumed run did not register the server"
reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations | grep -qi KstRestart &&
  fail "nt: the rename is still pending"
# The session's end may come before the program's own: it still ends with 4.
[ "$code" = 4 ] || fail "nt: the setup program ended with $code, expected 4"
echo "ok: nt: exit code $code, server.1 moved over the held server.dll at the restart, resumed run registered it"
cleanup

# Windows 98: the run writes "busy short name=waiting short name" into WININIT.INI.
quiet wine reg add "$appdefaults" /v Version /d win98 /f
run_held restart98
wait_resumed win98
tr -d '\r' <"$ubase/ready.flag" | grep -qx 'server.1' || fail "win98: no server.1 waited at the session's end"
# Wine's restart renames the file it has worked through to WININIT.BAK.
ini=$windir/wininit.ini
[ -f "$ini" ] || ini=$windir/wininit.bak
[ -f "$ini" ] || fail "win98: no WININIT.INI"
tr -d '\r' <"$ini" >"$outdir/wininit.ini"
grep -qi '^\[Rename\]' "$outdir/wininit.ini" || fail "win98: no Rename section"
# Short names, whose form (KSTRES~1, KSTR~JLS) is the file system's.
grep -qi '^C:\\KSTR[^\\]*\\DEST\\SERVER\.DLL=C:\\KSTR[^\\]*\\DEST\\SERVER\.1$' "$outdir/wininit.ini" ||
  fail "win98: no rename line: $(cat "$outdir/wininit.ini")"
registered || fail "win98: the resumed run did not register the server"
same "$ubase/dest/server.dll" "$server" || fail "win98: the restart did not put the new server in place"
[ ! -e "$ubase/dest/server.1" ] || fail "win98: server.1 is still there"
[ "$code" = 4 ] || fail "win98: the setup program ended with $code, expected 4"
echo "ok: win98: exit code $code, the Rename line of WININIT.INI put server.1 over the held server.dll, resumed run registered it"
cleanup
