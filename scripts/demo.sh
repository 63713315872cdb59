#!/bin/sh
# The main job: installs what is needed, builds both builds (the Zarvotill product and the
# kit directory come with the Windows build, in build/win32/kit), then under Wine in a
# throwaway prefix:
#   1. the setup program builds the Zarvotill distribution with -b (traditional form:
#      setup.exe and files.1) and a fresh copy of that folder installs the product;
#   2. a copy of the script with UseLoadingProgram True builds the self-extracting form,
#      one setup.exe (loader + setup.1 + files.1 + extraction info), which installs from a
#      fresh folder on its own and leaves no temporary copy behind;
#   3. the main window is shown once.
# Each install shows the whole wizard, which is driven through its windows as a user would:
# welcome, licence (the agreement ticked), the component selection when the build has it,
# copy progress, the success page (the restart declined, its warning confirmed). Every page
# is captured into build/demo/ (traditional_*.png, selfextracting_*.png, main_window.png).
# Without a display it uses a private Xvfb. It prints where the distributions, the
# installed product and the screenshots are.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
KESTRUNE_SKIP_FUZZ=1 "$root/scripts/build.sh"

out="$root/build/demo"
mkdir -p "$out"
export WINEPREFIX="$out/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
bin="$root/build/win32/bin"
kit="$root/build/win32/kit"
script="$root/src/resources/zarvotill.kfm"

. "$root/scripts/display.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  stop_display
}
trap cleanup EXIT
start_display 81

if [ ! -d "$WINEPREFIX" ]; then
  echo "== making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
fi
# The profile's Desktop, Documents, ... as real folders, not links to the host's home: the
# product's desktop shortcuts stay in the prefix.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
done
drive_c="$WINEPREFIX/drive_c"
driver() { wine "$bin/uidriver.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Runs a program to its end; a message box it shows on the way is printed and answered.
run() {
  wine "$@" >>"$out/setup.log" 2>&1 </dev/null &
  pid=$!
  finish
}
# Waits for the started program ($pid), answering its message boxes; its exit code.
finish() {
  while kill -0 "$pid" 2>/dev/null; do
    if text=$(driver msgbox '*program' 500) && [ -n "$text" ]; then
      printf '   message: %s\n' "$text"
      driver click '*program' OK >/dev/null
    fi
  done
  wait "$pid"
}
shot() { import -window root "$out/$1.png" && echo "   screenshot: $out/$1.png"; }
# Whether a window with the caption shows up within $2 ms (the driver prints it then).
seen() { [ -n "$(driver wait "$1" "$2")" ]; }
# Waits up to $1 seconds for a window with one of the captions that follow; prints it.
wait_page() {
  limit=$(($1 * 2)); shift
  while [ "$limit" -gt 0 ]; do
    for caption in "$@"; do
      if seen "$caption" 250; then echo "$caption"; return 0; fi
    done
    limit=$((limit - 1))
  done
  return 1
}
# install_with_wizard NAME PROGRAM: runs an install and drives its wizard as a user would, a screenshot
# of every page as NAME_<n>_<page>.png; the exit code of the setup program.
install_with_wizard() {
  tag=$1; shift
  rm -f "$out/${tag}"_*.png "$out/.copy_seen" "$out/.walk_done"
  wine "$@" >>"$out/setup.log" 2>&1 </dev/null &
  pid=$!
  page=$(wait_page 90 'Vítejte' '*program') || { echo "   the welcome page did not appear"; finish; return; }
  if [ "$page" != 'Vítejte' ]; then finish; return; fi
  sleep 0.5; shot "${tag}_1_welcome"
  echo "   welcome page: Plná instalace (full version) stays chosen; Další"
  driver click 'Vítejte' 'Další' >/dev/null
  wait_page 10 'Licenční ujednání' >/dev/null || { echo "   the licence page did not follow"; finish; return; }
  driver check 'Licenční ujednání' 'Smlouvu jsem četl a bez výhrad souhlasím' on >/dev/null
  sleep 0.5; shot "${tag}_2_licence"
  echo "   licence page: the agreement ticked; Další"
  # The copy progress window lives only while files are copied: a watcher catches it.
  rm -f "$out/.walk_done"
  (
    while [ ! -e "$out/.walk_done" ]; do
      if seen 'Kopírování instalovaného programu' 3000; then
        sleep 0.2
        import -window root "$out/${tag}_4_copy.png" && : >"$out/.copy_seen"
        break
      fi
    done
  ) &
  watcher=$!
  driver click 'Licenční ujednání' 'Další' >/dev/null
  page=$(wait_page 120 'Výběr komponent k instalaci' 'Úspěšná instalace' 'Instalace nebyla úspěšná' '*program')
  if [ "$page" = 'Výběr komponent k instalaci' ]; then
    sleep 0.5; shot "${tag}_3_selection"
    echo "   selection page: destination and disk space shown; Další"
    driver click 'Výběr komponent k instalaci' 'Další' >/dev/null
    # A drive too large for the free-space count asks whether to go on.
    if seen 'Varování' 2000; then
      printf '   question: %s\n' "$(driver texts 'Varování' | sed -n 's/^Static\t//p' | head -n1)"
      driver click 'Varování' '&Ano' >/dev/null || driver click 'Varování' 'Ano' >/dev/null
      driver click 'Výběr komponent k instalaci' 'Další' >/dev/null
    fi
    page=$(wait_page 120 'Úspěšná instalace' 'Instalace nebyla úspěšná' '*program')
  fi
  : >"$out/.walk_done"
  wait "$watcher" 2>/dev/null
  if [ -e "$out/.copy_seen" ]; then
    echo "   copy progress window: screenshot: $out/${tag}_4_copy.png"
  else
    echo "   note: the copy was over before its progress window could be captured"
  fi
  case $page in
    'Úspěšná instalace')
      driver check 'Úspěšná instalace' 'Ne, restartuji počítač později.' on >/dev/null
      sleep 0.5; shot "${tag}_5_success"
      echo "   success page: no restart now; Dokončit"
      driver click 'Úspěšná instalace' 'Dokončit' >/dev/null
      if wait_page 10 'Varování' >/dev/null; then
        sleep 0.3; shot "${tag}_6_restart_warning"
        printf '   warning: %s; OK\n' "$(driver texts 'Varování' | sed -n 's/^Static\t//p' | head -n1)"
        driver click 'Varování' 'OK' >/dev/null
      fi
      ;;
    'Instalace nebyla úspěšná')
      sleep 0.5; shot "${tag}_5_failure"
      echo "   the install failed: the failure page is shown; Zavřít"
      driver click 'Instalace nebyla úspěšná' 'Zavřít' >/dev/null
      ;;
  esac
  finish
}

echo "== the kit directory C:\\Kestrune (loader, K32V35.TXT and the Zarvotill product)"
rm -rf "$drive_c/Kestrune"
ln -s "$kit" "$drive_c/Kestrune"
wine reg add 'HKCU\Software\Borland\Delphi\3.0\Library' /v SearchPath /d 'C:\Kestrune' /f >/dev/null 2>&1 </dev/null
if [ ! -f "$kit/IDAPINST.DLL" ]; then
  echo "   note: the kit has no IDAPINST.DLL yet; the distributions are built from a copy of the"
  echo "   script without that pre-setup file"
  sed '/^    PresetupFiles.Strings = ($/,/)$/d' "$script" >"$out/zarvotill.kfm"
  script="$out/zarvotill.kfm"
fi
files=$(grep -c ': TInstallFile$' "$script" || true)
echo "   the script installs $files product files"

echo "== the install script's object tree"
wine "$bin/kestrune-script.exe" tree "$script" </dev/null 2>&1 | tr -d '\r'

# make_dist NAME SCRIPT: a setup program carrying SCRIPT in C:\ZarvotillMake\NAME, which
# builds into C:\ZarvotillDist\NAME.
make_dist() {
  make="$drive_c/ZarvotillMake/$1" dist="$drive_c/ZarvotillDist/$1"
  rm -rf "$make" "$dist" && mkdir -p "$make"
  wine "$bin/kestrune-script.exe" make-setup "$2" -o "C:\\ZarvotillMake\\$1\\setup.exe" \
    --setup "$(winepath -w "$bin/setup.exe")" </dev/null >>"$out/setup.log" 2>&1
  printf 'C:\\ZarvotillDist\\%s\r\n' "$1" >"$make/BUILD.INF"
  run "C:\\ZarvotillMake\\$1\\setup.exe" -b || true
}
installed() {
  n=$(find "$drive_c/Zarvotill" -type f 2>/dev/null | wc -l)
  printf '   installed: %s files in C:\\Zarvotill (%s)\n' "$n" "$drive_c/Zarvotill"
  wine reg query 'HKLM\Software\Zarvotill\Servers' </dev/null 2>/dev/null | tr -d '\r' | grep REG_SZ |
    sed 's/^/   ActiveX server registered: /' || true
  find "$drive_c/users" -name '*.lnk' | sed "s|^$drive_c/|   shortcut: C:/|"
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvotill' /v UninstallString </dev/null 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *\(.*\)$/   uninstall command: \1/p'
  engine_installed
}
# The database engine's installation: its folder (the first item of DLLPATH), its
# configuration file and use count; IDAPINST.DLL is a pre-setup file, never installed.
engine_value() {
  wine reg query 'HKLM\Software\Borland\Database Engine' /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
engine_installed() {
  dllpath=$(engine_value DLLPATH) config=$(engine_value CONFIGFILE01) uses=$(engine_value UseCount)
  if [ -z "$dllpath" ]; then
    echo "   note: no database engine was registered"
    return 0
  fi
  dir=$(winepath -u "${dllpath%%;*}" 2>/dev/null)
  printf '   database engine: %s files in %s (DLLPATH %s), used by %s installations\n' \
    "$(ls "$dir" 2>/dev/null | wc -l)" "${dllpath%%;*}" "$dllpath" "$((${uses:-0}))"
  printf '   its configuration: %s (%s settings)\n' "$config" \
    "$(grep -c = "$(winepath -u "$config" 2>/dev/null)" 2>/dev/null || echo no)"
  if find "$drive_c/Zarvotill" "$dir" -iname IDAPINST.DLL 2>/dev/null | grep -q .; then
    echo "   note: IDAPINST.DLL was installed with the product"
  fi
}

wine reg delete 'HKLM\SOFTWARE\Kestrune' /f >/dev/null 2>&1 </dev/null || true
# A machine without the database engine: the first install creates its installation, the
# second finds it, installs into its folder and merges the configuration.
wine reg delete 'HKLM\Software\Borland' /f >/dev/null 2>&1 </dev/null || true
rm -rf "$drive_c/Program Files/Borland"

echo "== 1. building the traditional distribution with setup.exe -b"
echo "   (the script has UseLoadingProgram False: the build copies the setup program and makes"
echo "   files.1, then ends by itself: setup.1 for a self-extracting file is made only with the loader)"
make_dist traditional "$script"
# Without the loader nothing unpacks the pre-setup files: IDAPINST.DLL goes beside setup.exe.
if [ -f "$kit/IDAPINST.DLL" ]; then cp "$kit/IDAPINST.DLL" "$drive_c/ZarvotillDist/traditional/"; fi
echo "   distribution: $drive_c/ZarvotillDist/traditional: $(ls "$drive_c/ZarvotillDist/traditional" | tr '\n' ' ')"
rm -rf "$drive_c/Zarvotill" "$drive_c/ZarvotillRun"
cp -r "$drive_c/ZarvotillDist/traditional" "$drive_c/ZarvotillRun"
echo "   installing from a fresh copy of it"
install_with_wizard traditional 'C:\ZarvotillRun\setup.exe' && echo "   setup.exe ran the installation through the wizard and ended"
installed

echo "== 2. the self-extracting form (UseLoadingProgram True)"
sed 's/^    UseLoadingProgram = False/    UseLoadingProgram = True/' "$script" >"$out/selfextracting.kfm"
make_dist selfextracting "$out/selfextracting.kfm"
exe="$drive_c/ZarvotillDist/selfextracting/setup.exe"
if [ -f "$exe" ]; then
  echo "   self-extracting setup.exe: $exe ($(stat -c %s "$exe") bytes)"
  rm -rf "$drive_c/Zarvotill" "$drive_c/ZarvotillAlone"
  mkdir -p "$drive_c/ZarvotillAlone" && cp "$exe" "$drive_c/ZarvotillAlone/setup.exe"
  temp=$(winepath -u "$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
  before=$(ls "$temp" | wc -l)
  echo "   running it alone from a fresh folder"
  install_with_wizard selfextracting 'C:\ZarvotillAlone\setup.exe' &&
    echo "   the loader unpacked and ran the setup program, which ran the wizard and ended"
  installed
  sleep 1
  if [ "$(ls "$temp" | wc -l)" -le "$before" ]; then
    echo "   the temporary copy of the setup program was removed"
  else
    echo "   note: the temporary folder holds more than before: $(ls "$temp" | tr '\n' ' ')"
  fi
else
  echo "   the self-extracting build made no setup.exe (see the message above)"
fi
if wine reg query 'HKLM\SOFTWARE\Kestrune\Install' </dev/null >/dev/null 2>&1; then
  echo "note: an install record is left in the registry"
else
  echo "the install records were removed after the good endings"
fi

# The runs above end as soon as they are through. To look at the main window, a copy of
# the setup program whose script waits for the host (RunAutomatic False) is shown,
# captured and closed. It is not maximised: on a display without a window manager the X
# window keeps its size while Windows considers it maximised.
echo "== 3. the main window"
sed 's/^    UseLoadingProgram = False/    AutoMaximizeWindow = False\n    RunAutomatic = False\n    UseLoadingProgram = False/' \
  "$root/src/resources/zarvotill.kfm" >"$out/window.kfm"
wine "$bin/kestrune-script.exe" make-setup "$out/window.kfm" -o "$out/window-setup.exe" </dev/null >/dev/null 2>&1
wine "$out/window-setup.exe" >>"$out/setup.log" 2>&1 </dev/null &
pid=$!
if wine "$bin/uidriver.exe" wait '*Zarvotill*' 30000 </dev/null >/dev/null 2>&1; then
  sleep 1
  import -window root "$out/main_window.png" && echo "screenshot of the main window: $out/main_window.png"
  wine "$bin/uidriver.exe" close '*Zarvotill*' </dev/null >/dev/null 2>&1
fi
wait "$pid" || true

echo "== where things are"
echo "   distributions: $drive_c/ZarvotillDist/traditional and $drive_c/ZarvotillDist/selfextracting"
echo "   installed product: $drive_c/Zarvotill"
echo "   screenshots of the wizard's pages and of the main window: $out"
echo "   log of the setup programs: $out/setup.log"
