#!/bin/sh
# An upgrade that fails keeps the file it would have replaced. A setup program made from
# upgrade_run.kfm installs notes.txt and big.bin (rule owDate) over older copies; the run
# fails or is cut short, and the older big.bin must still be there byte for byte, with no
# partial file under its name; then a good run installs the new one, dated as the source.
#   damaged  a byte run spoilt in the middle of big.bin's data in the archive: the run
#            ends with its error after the whole member was written;
#   full     the destination folder is a 6 MB tmpfs mount holding a 2 MB big.bin, the new one is
#            8 MB: "The disk is full" (the old file removed first would have made room
#            for neither); the next run has room;
#   killed   a 160 MB big.bin: the setup program is killed (kill -9) while its temporary
#            file grows; the next run takes that file over and installs the new one (a
#            partial file dated now would be kept by owDate).
# Usage: upgrade_run.sh CASE SETUP.EXE KESTRUNE-SCRIPT.EXE COMPRESS_SCRIPT.EXE UIDRIVER.EXE
#        SCRIPT.kfm OUTDIR
set -u
case=$1 setup=$2 tool=$3 compress=$4 driver=$5 script=$6 outdir=$7
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
outdir=$outdir/$case
mkdir -p "$outdir"
log="$outdir/upgrade.log"
: >"$log"
wait_limit=400
. "$(dirname "$0")/../gui/ui_steps.sh"
base="C:\\KstUpgrade-$case"
ubase=$(winepath -u "$base" 2>/dev/null | tr -d '\r')
mounted=""
cleanup() {
  [ -z "$mounted" ] || umount "$mounted" 2>/dev/null
  wine reg delete 'HKLM\SOFTWARE\Kestrune' /f >/dev/null 2>&1 </dev/null
  wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrune Upgrade' /f >/dev/null 2>&1 </dev/null
  rm -rf "$ubase"
}
trap cleanup EXIT
cleanup
mkdir -p "$ubase/src" "$ubase/arc" || fail "cannot make $ubase"
dest="$base\\dest"
case $case in
  damaged) new_mb=4 old_mb=1 ;;
  full) new_mb=8 old_mb=2 ;;
  killed) new_mb=160 old_mb=1 ;;
  *) echo "unknown case $case"; exit 2 ;;
esac
udest=$(winepath -u "$dest" 2>/dev/null | tr -d '\r')
mkdir -p "$udest"
if [ "$case" = full ]; then
  mount -t tmpfs -o size=6m tmpfs "$udest" 2>/dev/null || { echo "no tmpfs mount (not root?): skipped"; exit 77; }
  mounted=$udest
fi
printf 'new notes\r\n' >"$ubase/src/notes.txt"
head -c $((new_mb << 20)) /dev/urandom >"$ubase/src/big.bin"
head -c $((old_mb << 20)) /dev/urandom >"$outdir/old.bin"
sed "s|@BASE@|$(printf '%s' "$base" | sed 's/\\/\\\\/g')|" "$script" >"$outdir/$case.kfm"
wine "$compress" "$(winepath -w "$outdir/$case.kfm")" >>"$log" 2>&1 </dev/null || fail "compressing failed"
wine "$tool" make-setup "$outdir/$case.kfm" -o "$outdir/$case.exe" --setup "$setup" >>"$log" 2>&1 </dev/null ||
  fail "make-setup failed"
exe=$(winepath -w "$outdir/$case.exe")
printf 'old notes\r\n' >"$udest/notes.txt"
cp "$outdir/old.bin" "$udest/big.bin"
touch -d '2 days ago' "$udest/big.bin" "$udest/notes.txt"
temp="$udest/~big.bin.kestrune.tmp"
old_size=$(stat -c %s "$outdir/old.bin")

# The old big.bin is whole and nothing partial lies under its name.
old_kept() {
  cmp -s "$udest/big.bin" "$outdir/old.bin" || fail "$1: the old big.bin is gone or changed: $(ls -l "$udest")"
}
# A run that must succeed; the new big.bin carries the source's date (DOS time: 2 s).
good_run() {
  start "$exe"; wait_end "$1"
  [ "$code" = 0 ] || fail "$1: exit code $code"
  cmp -s "$udest/big.bin" "$ubase/src/big.bin" || fail "$1: the new big.bin was not installed"
  cmp -s "$udest/notes.txt" "$ubase/src/notes.txt" || fail "$1: notes.txt was not installed"
  d=$(($(stat -c %Y "$udest/big.bin") - $(stat -c %Y "$ubase/src/big.bin")))
  [ "$d" -ge -2 ] && [ "$d" -le 2 ] || fail "$1: big.bin is dated $d s away from its source"
  [ -z "$(ls -A "$udest" | grep -v '^big\.bin$\|^notes\.txt$')" ] || fail "$1: left beside the files: $(ls -A "$udest")"
}
# A run that fails with a message box saying $2.
failed_run() {
  start "$exe"
  got=$(drive msgbox '*program' 60000) || fail "$1: no message box"
  case $got in $2) ;; *) fail "$1: the message was <$got>" ;; esac
  drive click '*program' OK >/dev/null || fail "$1: cannot answer <$got>"
  wait_end "$1"
  [ "$code" = 1 ] || fail "$1: exit code $code"
  old_kept "$1"
  [ ! -e "$temp" ] || fail "$1: the temporary file was left"
}

case $case in
  damaged)
    cp "$ubase/arc/files.1" "$outdir/files.good"
    size=$(stat -c %s "$ubase/arc/files.1")
    head -c 64 /dev/zero | tr '\0' Z | dd of="$ubase/arc/files.1" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
    failed_run "damaged member" 'error'
    cp "$outdir/files.good" "$ubase/arc/files.1"
    good_run "after the damaged member"
    echo "ok: a damaged member left the old file whole; the next run installed the new one" ;;
  full)
    failed_run "full disk" '*disk is full*'
    mount -o remount,size=32m "$udest" || fail "cannot make room"
    good_run "with room"
    echo "ok: a full disk left the old file whole; the next run installed the new one" ;;
  killed)
    for attempt in 1 2 3; do
      start "$exe"
      # Waits (busily: the member takes well under a second on a fast machine) for the new
      # big.bin (its temporary file, or big.bin itself where it is written directly) to
      # grow, then kills the setup program.
      seen=0 killed=0 i=0
      while kill -0 "$pid" 2>/dev/null; do
        f=$temp; [ -e "$f" ] || f=$udest/big.bin
        s=$(stat -c %s "$f" 2>/dev/null || echo 0)
        if [ "$s" != 0 ] && [ "$s" != "$old_size" ] && [ "$s" -lt $((new_mb << 20)) ]; then
          if [ "$seen" != 0 ] && [ "$s" -gt "$seen" ]; then kill -9 "$pid"; killed=1; break; fi
          seen=$s
        fi
        i=$((i + 1)); [ $i -lt 50000 ] || fail "the setup program did not end"
      done
      wait "$pid" 2>/dev/null
      [ "$killed" = 1 ] && break
      echo "note: attempt $attempt: the run ended before it could be killed"
      cp "$outdir/old.bin" "$udest/big.bin"; touch -d '2 days ago' "$udest/big.bin"
    done
    [ "$killed" = 1 ] || fail "the setup program was never caught writing big.bin"
    sleep 1
    old_kept "killed"
    echo "ok: killed with $(stat -c %s "$temp") bytes of the new big.bin written: the old file is whole"
    good_run "after the kill"
    echo "ok: the next run took the temporary file over and installed the new big.bin" ;;
esac
