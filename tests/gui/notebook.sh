#!/bin/sh
# The Notebook Pro example as a new kit user follows README's "Your first installer",
# under Wine: examples/notebook is copied to C:\Notebook with the kit's uninstall.exe among
# its files, make-setup makes setup.exe beside notebook.kfm (carrying licence.txt), and
# "setup.exe -b" builds the distribution into C:\Notebook\Dist. Its setup program is run
# twice through the wizard: each page shows the example's own product data in English and
# nothing of the demo; the optional group "Sample notebooks" is unticked in the first run
# (its files stay out, the needed space drops) and ticked in the second. A screenshot of
# every page is kept (notebook_*.png). The uninstall entry then holds the values Windows'
# list of programs reads, and its QuietUninstallString removes the product.
# Usage: notebook.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UNINSTALL.EXE UIDRIVER.EXE EXAMPLEDIR OUTDIR
set -u
setup=$1 tool=$2 uninstaller=$3 driver=$4 example=$5 outdir=$6
. "$(dirname "$0")/ui_steps.sh"
begin notebook notebook_
english_pages
no_demo() {
  if drive texts "$1" | grep -qiE 'zarvotill|velmora|BDE|Database Engine|Demo'; then
    fail "$1 shows the demo's texts: $(drive texts "$1" | tr '\t' ' ')"
  fi
}
# The needed space shown in the grid (its second value cell).
needed() { drive texts "$1" | awk -F'\t' '/     KB$/ { v = $2 } END { print v }'; }

drive_c=$(winepath -u 'C:\' 2>/dev/null </dev/null)
folder="$drive_c/Notebook"
installed="$drive_c/Program Files/Notebook Pro"
rm -rf "$folder" "$installed"
cp -r "$example" "$folder" && cp "$uninstaller" "$folder/Files/uninstall.exe" || fail "no copy of the example"
make_setup_of 'C:\Notebook\notebook.kfm' 'C:\Notebook\setup.exe' "$setup"
build_dist Notebook 'Notebook\Dist'

# The welcome and the licence page show the example's data, nothing of the demo's.
on_page() {
  case $1 in
    welcome)
      has_text "$welcome" 'This program will install on your computer'
      has_text "$welcome" 'Notebook Pro'
      has_text "$welcome" 'Notes, lists and letters in one place'
      no_demo "$welcome"
      shot "welcome$suffix" ;;
    licence)
      has_text "$licence" 'NOTEBOOK PRO LICENCE AGREEMENT'
      no_demo "$licence"
      expect_state "$licence" "$next" 'visible disabled unchecked' ;;
    agreed) shot "licence$suffix" ;;
  esac
}
# walk TICK SUFFIX [SWITCH]: one install through the wizard with the optional group ticked
# or not.
walk() {
  suffix=$2
  start "$folder/Dist/setup.exe" ${3:+"$3"}
  to_selection "walk$2"
  has_text "$sel" 'Optional components'
  has_text "$sel" 'Free disk space'
  has_text "$sel" 'Space required'
  has_text "$sel" 'c:\program files\notebook pro'
  no_demo "$sel"
  expect_state "$sel" 'Browse...' 'visible enabled unchecked'
  expect_state "$sel" 'Sample notebooks' 'visible enabled checked'
  with=$(needed "$sel")
  drive check "$sel" 'Sample notebooks' "$1" || fail "the optional group's box"
  sleep 0.3
  now=$(needed "$sel")
  if [ "$1" = off ]; then
    [ "$now" != "$with" ] || fail "the needed space did not follow the tick ($with)"
  fi
  shot "selection$2"
  drive click "$sel" "$next" || fail "Next > on the selection page"
  # The copy form may come and go faster than a screenshot.
  if drive wait 'Copying the program being installed' 2000 >/dev/null; then shot "copy$2"; fi

  drive wait "$good" 30000 >/dev/null || fail "the success page did not appear"
  has_text "$good" 'Notebook Pro has been installed successfully. Click Finish to end the installation.'
  no_demo "$good"
  expect_state "$good" "$restart" 'hidden enabled unchecked'
  shot "success$2"
  drive click "$good" "$finish" || fail "Finish"
  wait_end "walk$2"
  [ "$code" = 0 ] || fail "the walk ended with exit code $code, expected 0"
  for f in ReadMe.txt notebook.ini Help.txt uninstall.exe; do
    cmp -s "$folder/Files/$f" "$installed/$f" || fail "$f was not installed"
  done
}

walk off _unticked
[ ! -e "$installed/Samples" ] || fail "the unticked group was installed"
# The second run writes a log of every file it installs and of its ending.
walk on _ticked '-lC:\Notebook\install.log'
logged=$(tr -d '\r' <"$folder/install.log")
printf '%s\n' "$logged" | grep -q 'Installed: C:\\Program Files\\Notebook Pro\\ReadMe.txt' &&
  printf '%s\n' "$logged" | grep -q 'Installed: C:\\Program Files\\Notebook Pro\\Samples\\Letter.txt' &&
  printf '%s\n' "$logged" | grep -q ' Installed$' || fail "the log does not tell what happened: $logged"
cmp -s "$folder/Files/Samples/Letter.txt" "$installed/Samples/Letter.txt" || fail "the ticked group was not installed"

# The uninstall entry as Windows' list of programs reads it, and the uninstall without
# questions through its QuietUninstallString.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notebook Pro'
entry=$(wine reg query "$key" 2>>"$log" </dev/null | tr -d '\r')
printf '%s\n' "$entry" >>"$log"
value() { printf '%s\n' "$entry" | awk -v n="$1" '$1 == n { sub(/^[ ]*[^ ]+[ ]+[^ ]+[ ]+/, ""); print; exit }'; }
[ "$(value DisplayVersion)" = "1.0" ] || fail "DisplayVersion: $(value DisplayVersion)"
[ "$(value Publisher)" = "Example Software" ] || fail "Publisher: $(value Publisher)"
[ "$(value InstallLocation)" = 'C:\Program Files\Notebook Pro' ] || fail "InstallLocation: $(value InstallLocation)"
[ "$(value DisplayIcon)" = 'C:\Program Files\Notebook Pro\uninstall.exe,0' ] || fail "DisplayIcon: $(value DisplayIcon)"
[ "$(value NoModify)" = "0x1" ] && [ "$(value NoRepair)" = "0x1" ] || fail "NoModify/NoRepair"
size=$(value EstimatedSize)
[ -n "$size" ] && [ $((size)) -gt 0 ] || fail "EstimatedSize: $size"
quiet=$(value QuietUninstallString)
[ "$quiet" = '"C:\Program Files\Notebook Pro\uninstall.exe" /Q Notebook Pro' ] || fail "QuietUninstallString: $quiet"
wine uninstaller --list 2>>"$log" </dev/null | tr -d '\r' | grep -q '|||Notebook Pro$' || fail "Notebook Pro is not in the list of programs"
# The program in quotes and its words, as Windows starts the command.
program=$(printf '%s' "$quiet" | sed 's/^"\([^"]*\)".*/\1/')
words=$(printf '%s' "$quiet" | sed 's/^"[^"]*" //')
# The uninstaller speaks the installation's language; "No" keeps the product.
start "$program" Notebook Pro
got=$(drive msgbox Uninstall 30000) || fail "the uninstaller asked nothing in English"
[ "$got" = "Do you really want to remove Notebook Pro and all of its components?" ] || fail "the uninstaller asked: $got"
drive click Uninstall No >/dev/null || fail "cannot answer the uninstaller"
wait_end "uninstall.exe"
[ "$code" = 2 ] && [ -e "$installed/ReadMe.txt" ] || fail "No at the uninstaller's question: exit code $code"
# shellcheck disable=SC2086
wine "$program" $words >>"$log" 2>&1 </dev/null
code=$?
[ "$code" = 0 ] || fail "the quiet uninstall ended with exit code $code"
[ ! -e "$installed/ReadMe.txt" ] && [ ! -e "$installed/Samples/Letter.txt" ] || fail "the quiet uninstall left files"
if wine reg query "$key" >/dev/null 2>&1 </dev/null; then fail "the uninstall entry is still there"; fi
echo "ok: the Notebook Pro example built and installed twice through its own English wizard (samples unticked, then ticked), listed with its full entry and removed through QuietUninstallString"
