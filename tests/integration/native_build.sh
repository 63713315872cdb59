#!/bin/sh
# One script, two builds: `kestrune-script build` run natively (no Wine, no BUILD.INF, no
# registry, sources relative to the script) and the setup program's -b under Wine, from a
# program made from the same script beside it. Both hold the same files, their archives
# the same members, and each distribution, installed under Wine, gives the same files byte
# for byte; for a web type both write the same network folder and remote file list.
# Usage: native_build.sh NATIVE-KESTRUNE-SCRIPT SETUP.EXE LOADER.EXE UIDRIVER.EXE EXAMPLE-DIR OUTDIR
set -u
tool=$1 setup=$2 loader=$3 driver=$4 example=$5 outdir=$6
if [ ! -x "$tool" ]; then echo "no native kestrune-script at $tool (make the native build first): skipped"; exit 77; fi
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
arc=$(dirname "$tool")/kestrune-arc
mkdir -p "$outdir"
log="$outdir/native_build.log"
: >"$log"
. "$(dirname "$0")/../gui/ui_steps.sh"

root=$(winepath -u 'C:\KstNative' 2>/dev/null)
installed=$(winepath -u 'C:\Kestrune Starter' 2>/dev/null)
rm -rf "$root" "$installed" && mkdir -p "$root/Kit" || fail "no work folder"
cp -r "$example" "$root/Script"
cp "$setup" "$root/Kit/setup.exe" && cp "$loader" "$root/Kit/KestruneLoadProgram.exe" && echo kit >"$root/Kit/K32V35.TXT" ||
  fail "no kit folder"

"$tool" build "$root/Script/starter.kfm" -o "$root/Native" --kit "$root/Kit" >>"$log" 2>&1 ||
  fail "the native build failed: $(cat "$log")"
"$tool" make-setup "$root/Script/starter.kfm" -o "$root/Script/setup.exe" --setup "$root/Kit/setup.exe" >>"$log" 2>&1 ||
  fail "make-setup failed"
printf 'C:\\KstNative\\B\r\n' >"$root/Script/BUILD.INF"
wine reg add 'HKCU\Software\Borland\Delphi\3.0\Library' /v SearchPath /d 'C:\KstNative\Kit' /f >/dev/null 2>&1 </dev/null
start 'C:\KstNative\Script\setup.exe' -b; wait_end "the -b build"
[ "$code" = 0 ] || fail "the -b build ended with $code"
[ "$(ls "$root/Native")" = "$(ls "$root/B")" ] || fail "the builds made different files: $(ls "$root/Native") / $(ls "$root/B")"
[ "$(ls "$root/Native")" = "$(printf 'files.1\nsetup.1\nsetup.exe')" ] || fail "unexpected files: $(ls "$root/Native")"

# The members: names and sizes (the setup program's by its file name: its folder is where
# each build found it), and their contents.
members() { "$arc" list "$1" | awk -F '\t' -v leaf="$2" '{ n = $1; if (leaf) sub(/.*[\\\/]/, "", n); print n "\t" $2 }'; }
for a in files.1 setup.1; do
  leaf=$([ $a = setup.1 ] && echo 1)
  [ "$(members "$root/Native/$a" "$leaf")" = "$(members "$root/B/$a" "$leaf")" ] ||
    fail "$a members differ: $(members "$root/Native/$a" "$leaf") / $(members "$root/B/$a" "$leaf")"
  "$arc" extract "$root/Native/$a" "$outdir/native-$a" >>"$log" 2>&1 && "$arc" extract "$root/B/$a" "$outdir/b-$a" >>"$log" 2>&1 ||
    fail "cannot extract $a"
  diff -r "$outdir/native-$a" "$outdir/b-$a" >>"$log" 2>&1 || fail "the members of $a differ in content"
  rm -rf "$outdir/native-$a" "$outdir/b-$a"
done
echo "ok: both builds made setup.exe, setup.1, files.1 with the same members"

# Each distribution installs from a fresh folder; what they install is the same.
for d in Native B; do
  mkdir -p "$root/Run$d" && cp "$root/$d/setup.exe" "$root/Run$d/setup.exe"
  start "C:\\KstNative\\Run$d\\setup.exe"; wait_end "the install of the $d build"
  [ "$code" = 0 ] || fail "the install of the $d build ended with $code"
  [ -d "$installed" ] || fail "the $d build installed nothing"
  mv "$installed" "$root/Installed$d"
done
diff -r "$root/InstalledNative" "$root/InstalledB" >>"$log" 2>&1 || fail "the two distributions installed different files"
for f in ReadMe.txt Starter.ini docs/Guide.txt; do
  cmp -s "$root/InstalledNative/$f" "$root/Script/product/$f" || fail "$f is not installed as its source"
done
echo "ok: the native and the -b distribution install the same files, byte for byte"

# A web type: the same files, the archives in the location's folder and the same remote
# file list.
mkdir -p "$root/Web" && cp -r "$root/Script/product" "$root/Web/product"
awk '{ print } /^  object Install: TInstall$/ { print "    DistributeType = dtWeb"; print "    NetLocation = NetLocation" }' \
  "$root/Script/starter.kfm" | sed '$d' >"$root/Web/web.kfm"
printf "  object NetLocation: TNetInstallLocation\n    LoginInformation.Directory = '/starter'\n    LoginInformation.Hostname = 'downloads.example'\n  end\nend\n" >>"$root/Web/web.kfm"
"$tool" build "$root/Web/web.kfm" -o "$root/WebNative" --kit "$root/Kit" >>"$log" 2>&1 || fail "the native web build failed"
"$tool" make-setup "$root/Web/web.kfm" -o "$root/Web/setup.exe" --setup "$root/Kit/setup.exe" >>"$log" 2>&1 || fail "make-setup (web)"
printf 'C:\\KstNative\\WebB\r\n' >"$root/Web/BUILD.INF"
start 'C:\KstNative\Web\setup.exe' -b; wait_end "the -b web build"
[ "$code" = 0 ] || fail "the -b web build ended with $code"
[ "$(cd "$root/WebNative" && find . -type f | sort)" = "$(cd "$root/WebB" && find . -type f | sort)" ] ||
  fail "the web builds made different files: $(cd "$root/WebNative" && find . -type f) / $(cd "$root/WebB" && find . -type f)"
list=downloads.example/-starter/filelist.lst
[ -f "$root/WebNative/$list" ] && cmp -s "$root/WebNative/$list" "$root/WebB/$list" || fail "the remote file lists differ"
echo "ok: a web build: the same files and the same filelist.lst"
