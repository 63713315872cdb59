#!/bin/sh
# The distribution as a kit user meets it, under Wine: -b builds from BUILD.INF (and
# refuses a missing or empty BUILD.INF, a missing kit directory or loader), the
# self-extracting setup.exe is loader + setup.1 + files.1 + the 56-byte extraction info, a
# web-type build writes filelist.lst, the self-extracting setup.exe installs from a fresh
# folder, again and again, and leaves nothing in the temporary folder (nor loads the DLLs
# planted beside it under system names); a build without the loader ends with success;
# the installed product is in Wine's list of
# programs (`uninstaller --list`), its shortcuts read back through the shell's link object
# to the installed files, and uninstall.exe, started as the entry's "UninstallString" says
# and answered as a user would, removes what the entry lists and nothing else; damaged
# copies end in the loader's message and its own exit code (5),
# and "*TODISK" spans the distribution over three or more 1.44 MB disks (tmpfs mounts behind drive
# A:), where Cancel at the third disk ends with "Aborted by user" and deletes nothing on any disk.
# Usage: distribution.sh SETUP.EXE KESTRUNE-SCRIPT.EXE LOADER.EXE UIDRIVER.EXE KESTRUNE-ARC.EXE
#        UNINSTALL.EXE LNKINFO.EXE SCRIPT.kfm OUTDIR PLANTED.DLL
set -u
setup=$1 tool=$2 loader=$3 driver=$4 arc=$5 uninstaller=$6 lnkinfo=$7 script=$8 outdir=$9 planted=${10}
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/distribution.log"
: >"$log"
title='*program'  # the setup program's message boxes carry the application title
libkey='HKCU\Software\Borland\Delphi\3.0\Library'

. "$(dirname "$0")/../gui/ui_steps.sh"
# Answers the message box of window pattern $1 that must say $2.
answer() {
  got=$(drive msgbox "$1" 30000) || fail "no message box <$2>"
  [ "$got" = "$2" ] || fail "message was <$got>, expected <$2>"
  drive click "$1" "${3:-OK}" >/dev/null || fail "cannot answer <$2>"
}
expect_box() {
  expected=$1; shift
  start "$@"; answer "$title" "$expected"; wait_end "$*"
  echo "ok: $* -> $expected"
}
ukey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Distribution test'
search_path() { wine reg add "$libkey" /v SearchPath /d "$1" /f >/dev/null 2>&1 </dev/null; }

root=$(winepath -u 'C:\KstDist' 2>/dev/null)
temp=$(winepath -u "$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
rm -rf "$root" && mkdir -p "$root/Source" "$root/Kit" "$root/Make" "$root/Run" "$root/Bad" || fail "no work folder"
echo hello >"$root/Source/small.txt"
head -c 3300000 /dev/urandom >"$root/Source/big.bin"
echo pre >"$root/Source/presetup.dat"
wine reg delete "$ukey" /f >/dev/null 2>&1 </dev/null  # entries add up across installs
wine "$tool" make-setup "$script" -o 'C:\KstDist\Make\setup.exe' --setup "$(winepath -w "$setup")" >>"$log" 2>&1 </dev/null ||
  fail "make-setup failed"
make='C:\KstDist\Make\setup.exe'

# ---- what a build and a transfer refuse ----
expect_box 'Sorry... You can only transfer this installation to floppies through the self-extracting file. Usage example: setup.exe *TODISK' "$make" -f
expect_box 'Need to have a BUILD.INF file in this directory with the first line specifying the build directory' "$make" -b
[ "$code" = 1 ] || fail "a refused build ended with exit code $code, expected 1"
: >"$root/Make/BUILD.INF"
expect_box 'Must be 1 line in BUILD.INF. This line should specify the build directory' "$make" -b
printf 'C:\\KstDist\\Out\r\n' >"$root/Make/BUILD.INF"
search_path ''
expect_box 'The HKEY_LOCAL_MACHINE | \Software\Holmvard\K32V35 key in the registry is either missing or points to an invalid Kestrune directory' "$make" -b
echo kit >"$root/Kit/K32V35.TXT"
search_path 'C:\KstDist\Nowhere;C:\KstDist\Kit\'
expect_box 'The loader program C:\KstDist\Kit\KestruneLoadProgram.exe was not found' "$make" -b

# ---- the build ----
cp "$loader" "$root/Kit/KestruneLoadProgram.exe"
cp "$uninstaller" "$root/Kit/uninstall.exe"
start "$make" -b; wait_end "build"
[ "$code" = 0 ] || fail "the build ended with $code"
[ -z "$(find "$root/Out" -name filelist.lst)" ] || fail "a traditional build wrote filelist.lst"
python3 - "$root/Out" "$loader" <<'EOF' || fail "the self-extracting setup.exe is not loader + setup.1 + files.1 + info"
import struct, sys
out, loader = sys.argv[1], sys.argv[2]
exe = open(out + '/setup.exe', 'rb').read()
parts = [open(loader, 'rb').read(), open(out + '/setup.1', 'rb').read(), open(out + '/files.1', 'rb').read()]
info = exe[-56:]
assert info[:16] == b'\x0eSELFEXTRACTING\x00' and info[32:] == bytes(24), info
s1, e1, s2, e2 = struct.unpack('<4i', info[16:32])
assert (s1, e1) == (len(parts[0]), len(parts[0]) + len(parts[1]) - 1), (s1, e1)
assert (s2, e2) == (e1 + 1, e1 + len(parts[2])), (s2, e2)
assert exe == b''.join(parts) + info
EOF
echo "ok: build: setup.exe = loader + setup.1 + files.1 + extraction info, no filelist.lst"

# ---- a build without the loader: the program copy and files.1, and success ----
mkdir -p "$root/Plain"
sed 's/^    UseLoadingProgram = True$/    UseLoadingProgram = False/' "$script" >"$root/Plain/plain.kfm"
wine "$tool" make-setup "$(winepath -w "$root/Plain/plain.kfm")" -o 'C:\KstDist\Plain\setup.exe' --setup "$(winepath -w "$setup")" \
  >>"$log" 2>&1 </dev/null || fail "make-setup of the script without the loader failed"
printf 'C:\\KstDist\\PlainOut\r\n' >"$root/Plain/BUILD.INF"
start 'C:\KstDist\Plain\setup.exe' -b; wait_end "build without the loader"
[ "$code" = 0 ] || fail "the build without the loader ended with $code"
cmp -s "$root/Plain/setup.exe" "$root/PlainOut/setup.exe" && [ -s "$root/PlainOut/files.1" ] && [ ! -e "$root/PlainOut/setup.1" ] ||
  fail "the build without the loader made: $(ls "$root/PlainOut")"
echo "ok: a build without the loader copies the program, writes files.1 and ends with 0"

# ---- a web-type build: the remote file list, one record per compressed file ----
mkdir -p "$root/Web"
awk '{ print } /^  object Install: TInstall$/ { print "    DistributeType = dtWeb"; print "    NetLocation = NetLocation" }' \
  "$script" | sed '$d' >"$root/Web/web.kfm"
printf "  object NetLocation: TNetInstallLocation\n    LoginInformation.Directory = '/zarvotill/dist'\n    LoginInformation.Hostname = 'downloads.example'\n  end\nend\n" >>"$root/Web/web.kfm"
wine "$tool" make-setup "$(winepath -w "$root/Web/web.kfm")" -o 'C:\KstDist\Web\setup.exe' --setup "$(winepath -w "$setup")" \
  >>"$log" 2>&1 </dev/null || fail "make-setup of the web script failed"
printf 'C:\\KstDist\\WebOut\r\n' >"$root/Web/BUILD.INF"
start 'C:\KstDist\Web\setup.exe' -b; wait_end "web build"
python3 - "$root/WebOut/downloads.example/-zarvotill-dist/filelist.lst" "$root/Source" "$uninstaller" <<'EOF' ||
import os, struct, sys
data = open(sys.argv[1], 'rb').read()
count, = struct.unpack('<i', data[:4])
assert len(data) == 4 + 72 * count, len(data)
records = {}
for i in range(count):
    r = data[4 + 72 * i: 4 + 72 * (i + 1)]
    size, = struct.unpack('<i', r[:4])
    records[r[12:52].rstrip(b'\0').decode()] = (size, r[52:72].rstrip(b'\0'))
src = sys.argv[2]
assert records == {'SmallFile': (os.path.getsize(src + '/small.txt'), b''),
                   'ComponentNameOfFortyCharactersExactly00': (os.path.getsize(src + '/big.bin'), b''),
                   'Uninstaller': (os.path.getsize(sys.argv[3]), b'')}, records
EOF
  fail "filelist.lst of the web build"
echo "ok: a web build writes filelist.lst in the location's sub-directory, one record per compressed file"

# ---- installing from the self-extracting file alone ----
# Beside it DLLs named like system ones, which Wine is told to prefer to its own as Windows
# does for DLLs outside its protected list: the loader must load neither. Each install
# leaves the temporary folder as it found it, at once: the loader alone removes its copy.
# In the first the command interpreter is off, so that a clean-up batch file of the setup
# program, racing with the loader, would stay there and show.
before=$(ls -A "$temp")
cp "$root/Out/setup.exe" "$root/Run/setup.exe"
cp "$planted" "$root/Run/version.dll" && cp "$planted" "$root/Run/imm32.dll" || fail "cannot plant the DLLs"
overrides=$WINEDLLOVERRIDES
for run in 1 2 3 4 5; do
  export WINEDLLOVERRIDES="$overrides;version,imm32=n,b"
  [ $run = 1 ] && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;cmd.exe="
  wine reg delete "$ukey" /f >/dev/null 2>&1 </dev/null  # the entry of this run alone
  start 'C:\KstDist\Run\setup.exe'; wait_end "self-extracting install $run"
  [ "$code" = 0 ] || fail "self-extracting install $run ended with $code"
  [ "$(ls -A "$temp")" = "$before" ] || fail "self-extracting install $run left in the temporary folder: $(ls -A "$temp")"
done
WINEDLLOVERRIDES=$overrides
[ -z "$(ls "$root/Run" | grep '\.loaded$')" ] || fail "DLLs planted beside setup.exe were loaded: $(ls "$root/Run")"
cmp -s "$root/Source/big.bin" "$root/Installed/big.bin" && cmp -s "$root/Source/small.txt" "$root/Installed/small.txt" ||
  fail "the installed files differ from their sources"
echo "ok: five self-extracting installs from a fresh folder, nothing left in the temporary folder, no planted DLL loaded"

# ---- a resume after a restart keeps the loader's folder ----
# A run that leaves work for after a restart registers in RunOnce (KestruneUnfinished) the
# command that finishes it from the loader's folder: the loader must keep that folder. The
# value is written here, naming the folder in small letters, while the setup program shows
# its usage (-?).
runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
start 'C:\KstDist\Run\setup.exe' -?
drive msgbox "$title" 30000 >/dev/null || fail "setup.exe -? shows no usage"
made=""
for f in $(ls -A "$temp"); do printf '%s\n' "$before" | grep -qxF "$f" || made=$f; done
[ -n "$made" ] || fail "no folder of the loader in the temporary folder"
folder=$(winepath -w "$temp/$made" 2>/dev/null | tr 'A-Z' 'a-z')
wine reg add "$runonce" /v KestruneUnfinished /d "$folder\setup.exe -r" /f >/dev/null 2>&1 </dev/null
drive click "$title" OK >/dev/null || fail "cannot close the usage"
wait_end "setup.exe -?"
wine reg delete "$runonce" /v KestruneUnfinished /f >/dev/null 2>&1 </dev/null
[ -f "$temp/$made/setup.exe" ] || fail "the loader removed the folder that the resume in RunOnce runs from"
cmp -s "$root/Source/presetup.dat" "$temp/$made/presetup.dat" || fail "the loader's copy of the pre-setup file differs"
rm -rf "${temp:?}/$made"
echo "ok: the loader keeps its folder when the resume registered in RunOnce runs from it, its pre-setup file unpacked"

# ---- the installed product: Wine's list of programs, shortcuts, uninstall.exe ----
listed() { wine uninstaller --list </dev/null 2>>"$log" | tr -d '\r' | grep -c '|||Distribution test$'; }
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>>"$log" | tr -d '\r' | sed -n 's/^ *[^ ].* REG_SZ *//p'; }
[ "$(listed)" = 1 ] || fail "uninstaller --list does not list the product"
lines=$(wine reg query "$ukey\Files" </dev/null 2>>"$log" | tr -d '\r' | sed -n 's/^ *File[0-9]* *REG_SZ *//p')
links=$(printf '%s\n' "$lines" | grep -i '\.lnk$')
[ "$(printf '%s\n' "$lines" | grep -vi '\.lnk$')" = "$(printf 'C:\\KstDist\\Installed\\big.bin\nC:\\KstDist\\Installed\\small.txt')" ] ||
  fail "the entry's files: $lines"
# Main-folder links first, then the desktop's: the order of processing.
printf '%s\n' "$links" | sed 's/.*\\\([^\\]*\\[^\\]*\)$/\1/' >"$outdir/links.txt"
printf '%s\n' 'Kestrune Distribuce\Maly soubor.lnk' 'Kestrune Distribuce\Odinstalovat.lnk' 'Desktop\Kestrune big.lnk' |
  cmp -s - "$outdir/links.txt" || fail "the entry's shortcuts: $links"
# Each link read back: target, arguments, working directory.
printf '%s\n' "$links" >"$outdir/links.txt"
printf 'C:\\KstDist\\Installed\\small.txt\n\nC:\\KstDist\\Installed\nC:\\KstDist\\Installed\\uninstall.exe\nDistribution test\nC:\\KstDist\\Installed\nC:\\KstDist\\Installed\\big.bin\n\nC:\\KstDist\\Installed\n' \
  >"$outdir/targets.expected"
: >"$outdir/targets.txt"
while IFS= read -r link; do
  wine "$lnkinfo" "$link" </dev/null 2>>"$log" | tr -d '\r' >>"$outdir/targets.txt" || fail "cannot read $link"
done <"$outdir/links.txt"
cmp -s "$outdir/targets.expected" "$outdir/targets.txt" || fail "the shortcuts point elsewhere: $(cat "$outdir/targets.txt")"
echo "ok: the product is in Wine's list of programs, its shortcuts lead to the installed files"

uninstall=$(reg_value "$ukey" UninstallString)
[ "$uninstall" = '"C:\KstDist\Installed\uninstall.exe" Distribution test' ] || fail "UninstallString is <$uninstall>"
echo mine >"$root/Installed/notes.txt"
eval start "$uninstall"  # the quoted program, then the product name's words
answer Odinstalace 'Opravdu chcete odebrat produkt Distribution test a všechny jeho součásti?' Yes
answer Odinstalace 'Produkt Distribution test byl odebrán.'
wait_end "uninstall.exe"
[ "$code" = 0 ] || fail "uninstall.exe ended with $code"
while IFS= read -r link; do
  [ ! -e "$(winepath -u "$link" 2>/dev/null)" ] || fail "the shortcut $link stayed"
done <"$outdir/links.txt"
[ ! -e "$(winepath -u "$(sed -n 1p "$outdir/links.txt")" 2>/dev/null | sed 's,/[^/]*$,,')" ] || fail "the emptied main folder stayed"
# The user's file keeps the product folder; the running uninstaller goes at the next restart.
[ "$(ls "$root/Installed" | tr '\n' ' ')" = "notes.txt uninstall.exe " ] || fail "left in the product folder: $(ls "$root/Installed")"
[ -f "$root/Source/big.bin" ] && [ -f "$root/Kit/uninstall.exe" ] || fail "uninstall.exe removed more than it listed"
[ "$(listed)" = 0 ] || fail "uninstaller --list still lists the product"
wine reg query "$ukey" </dev/null >/dev/null 2>&1 && fail "the uninstall entry stayed"
rm -rf "$root/Installed"
echo "ok: uninstall.exe removed the listed files, shortcuts and their folder, kept the user's file, ended with 0"

# ---- damaged copies ----
size=$(stat -c %s "$root/Out/setup.exe")
head -c $((size * 2 / 3)) "$root/Out/setup.exe" >"$root/Bad/setup.exe"
start 'C:\KstDist\Bad\setup.exe'
answer Setup 'The setup program C:\KstDist\Bad\setup.exe carries no setup files, and no setup.1 lies beside it.'
wait_end "truncated"; [ "$code" = 5 ] || fail "truncated copy: exit code $code"
lie() {  # copies setup.exe with int32 $2 written at offset $1 from the end
  python3 - "$root/Out/setup.exe" "$root/Bad/$3" "$1" "$2" <<'EOF'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = len(data) - int(sys.argv[3])
data[at:at + 4] = struct.pack('<i', int(sys.argv[4]))
open(sys.argv[2], 'wb').write(data)
EOF
}
lie 36 $((size * 2)) lying.exe    # setup.1 ends past the end of the file
start 'C:\KstDist\Bad\lying.exe'
answer Setup 'The self-extracting setup program C:\KstDist\Bad\lying.exe is damaged: the setup archive runs past the end of the file. Please get a new copy of it.'
wait_end "lying trailer"; [ "$code" = 5 ] || fail "lying trailer: exit code $code"
lie 32 100 overlap.exe  # files.1 starts inside the loader
start 'C:\KstDist\Bad\overlap.exe'
answer Setup 'The self-extracting setup program C:\KstDist\Bad\overlap.exe is damaged: the file archive overlaps the setup archive. Please get a new copy of it.'
wait_end "overlapping parts"; [ "$code" = 5 ] || fail "overlapping parts: exit code $code"
# A member's data spoilt in the middle of setup.1: nothing is started, nothing stays.
python3 - "$root/Out/setup.exe" "$root/Bad/spoilt.exe" <<'EOF'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
s1, e1 = struct.unpack('<2i', data[-40:-32])
for i in range((s1 + e1) // 2, (s1 + e1) // 2 + 64): data[i] ^= 0x5a
open(sys.argv[2], 'wb').write(data)
EOF
start 'C:\KstDist\Bad\spoilt.exe'
answer Setup 'The setup archive in C:\KstDist\Bad\spoilt.exe is damaged: a member does not unpack to its size. Please get a new copy of the setup program.'
wait_end "spoilt member"; [ "$code" = 5 ] || fail "spoilt member: exit code $code"
[ "$(ls -A "$temp")" = "$before" ] || fail "a damaged copy left files in the temporary folder"
# The setup program itself, told to read a trailer that lies.
start "$make" '-sC:\KstDist\Bad' -elying.exe
answer "$title" 'The extraction info of the self-extracting file C:\KstDist\Bad\lying.exe is damaged: the setup archive runs past the end of the file'
wait_end "setup program with a lying trailer"
wine reg delete 'HKLM\SOFTWARE\Kestrune' /f >/dev/null 2>&1 </dev/null
echo "ok: truncated, lying, overlapping and spoilt copies end in their messages"

# ---- floppies ----
# As many disks as the distribution fills (at least three), each a 1.44 MB tmpfs mount.
floppies="$outdir/floppies"
disks="1 2 3 4 5 6"
umount_all() { for d in $disks; do umount "$floppies/$d" 2>/dev/null; done; rm -f "$WINEPREFIX/dosdevices/a:"; }
trap umount_all EXIT
mounted=1
for d in $disks; do
  mkdir -p "$floppies/$d" && mount -t tmpfs -o size=1440k tmpfs "$floppies/$d" 2>/dev/null || mounted=0
done
if [ $mounted = 0 ]; then
  echo "SKIPPED: the floppy transfer needs tmpfs mounts, which need root (user $(id -un)); the parts before it passed"
  exit 77
fi
insert() { rm -f "$WINEPREFIX/dosdevices/a:"; ln -s "$floppies/$1" "$WINEPREFIX/dosdevices/a:"; }
# The prompts: disks 2, 3, ... as each volume fills up, then disk 1 again for the final table.
insert 1
start 'C:\KstDist\Run\setup.exe' '*TODISK'
last=1
while :; do
  got=$(drive msgbox "$title" 60000) || fail "no prompt after disk $last"
  case "$got" in
    'Please insert disk 1') ;;
    "Please insert disk $((last + 1))") [ $last -lt 6 ] || fail "more than six disks" ;;
    *) fail "prompt was <$got> after disk $last" ;;
  esac
  next=${got##* }
  insert "$next"
  drive click "$title" OK >/dev/null || fail "cannot answer <$got>"
  [ "$next" = 1 ] && break
  last=$next
done
wait_end "floppy transfer"
[ "$code" = 0 ] && [ $last -ge 3 ] || fail "the floppy transfer ended with $code after disk $last"
cmp -s "$floppies/1/setup.exe" "$loader" && cmp -s "$floppies/1/setup.1" "$root/Out/setup.1" ||
  fail "disk 1 does not hold the loader and setup.1"
more=""
for d in $(seq 2 $last); do
  [ -f "$floppies/$d/files.$d" ] || fail "volume $d is not on disk $d: $(ls -R "$floppies")"
  # Every disk but the last is full to the last few kilobytes.
  [ $d = $last ] || [ "$(df -k --output=avail "$floppies/$d" | tail -1)" -lt 64 ] || fail "disk $d is not full"
  more="$more --disk $(winepath -w "$floppies/$d")"
done
rm -rf "$outdir/unspanned" && mkdir -p "$outdir/unspanned"
# shellcheck disable=SC2086  # one argument per disk
wine "$arc" extract "$(winepath -w "$floppies/1/files.1")" "$(winepath -w "$outdir/unspanned")" 'C:\KstDist\Source\big.bin' \
  $more >>"$log" 2>&1 </dev/null || fail "the spanned set cannot be read back"
cmp -s "$outdir/unspanned/big.bin" "$root/Source/big.bin" || fail "big.bin read back from the disks differs"
echo "ok: *TODISK spans the distribution over $last 1.44 MB disks, read back intact"

# Installing from the disks: the loader on disk 1 finds setup.1 beside it, the setup program
# reads files.1's table there and asks for a disk whenever a member's data is on another.
wine reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f >/dev/null 2>&1 </dev/null
insert 1
start 'A:\setup.exe'
asked=""
while kill -0 "$pid" 2>/dev/null; do
  got=$(drive msgbox "$title" 1000) && [ -n "$got" ] || continue
  case "$got" in
    'Please insert disk #'[1-6]) disk=${got#*#}; asked="$asked $disk"; insert "$disk"
      drive click "$title" OK >/dev/null || fail "cannot answer <$got>" ;;
    *) fail "the install from the disks said <$got>" ;;
  esac
  [ ${#asked} -lt 40 ] || fail "the install from the disks asks again and again:$asked"
done
wait_end "install from the disks"
[ "$code" = 0 ] || fail "the install from the disks ended with $code (disks asked for:$asked)"
case "$asked" in *2*3*) ;; *) fail "the install from the disks asked for:$asked" ;; esac
for f in big.bin small.txt; do
  cmp -s "$root/Source/$f" "$root/Installed/$f" || fail "$f installed from the disks differs from its source"
done
# Archives keep dates as DOS does, to two seconds.
skew=$(($(stat -c %Y "$root/Source/big.bin") - $(stat -c %Y "$root/Installed/big.bin")))
[ "${skew#-}" -le 2 ] || fail "big.bin lost its date (off by $skew s)"
rm -rf "$root/Installed"
echo "ok: installed from the $last disks (asked for disks$asked), files identical"

# Cancel at the third disk, with another disk in the drive that holds files of the same
# names: the transfer ends, and nothing is deleted on any disk.
for d in $disks; do rm -rf "${floppies:?}/$d/"*; done
echo other >"$floppies/3/files.1" && echo other >"$floppies/3/files.2"
insert 1
start 'C:\KstDist\Run\setup.exe' '*TODISK'
for d in 2 3; do
  got=$(drive msgbox "$title" 60000) || fail "no prompt for disk $d"
  [ "$got" = "Please insert disk $d" ] || fail "prompt was <$got>, expected disk $d"
  insert $d
  button=OK; [ $d = 3 ] && button=Cancel
  drive click "$title" $button >/dev/null || fail "cannot answer <$got>"
done
answer "$title" 'Aborted by user'
wait_end "cancelled floppy transfer"
[ "$code" = 1 ] || fail "the cancelled transfer ended with exit code $code, expected 1"
[ "$(ls "$floppies/1" | tr '\n' ' ')" = "files.1 setup.1 setup.exe " ] && [ "$(ls "$floppies/2")" = files.2 ] ||
  fail "cancel: disks 1 and 2 should keep what was written: $(ls -R "$floppies")"
[ "$(cat "$floppies/3/files.1" "$floppies/3/files.2")" = "$(printf 'other\nother')" ] || fail "cancel deleted files of the disk in the drive"
echo "ok: Cancel at the third disk ends with \"Aborted by user\", every disk keeps its files"
