# Sourced by the scripts that drive the setup program's windows under Wine. Expects
# driver (the UI driver .exe) and log (the run's log file, or begin's) to be set.
#   drive ARGS...    runs the UI driver, its answer without carriage returns, its status
#   fail TEXT        says what failed, lists the windows, ends the started program, exits 1
#   start PROGRAM..  starts a program under Wine in the background; its pid in $pid
#   wait_end WHAT    waits for the started program (wait_limit tenths of a second, 60 s
#                    unless the script sets it); its exit code in $code
# The wizard's scripts also use:
#   begin NAME SHOTS      skips the test (77) without a display, makes $outdir, starts the
#                         log $outdir/NAME.log; screenshots are $outdir/SHOTS*.png
#   shot NAME             a screenshot of the display as $outdir/SHOTSNAME.png
#   has_text W TEXT, expect_state W CONTROL STATE   checks of a control of window W
#   wizard_kfm SOURCE FILES MANAGERS [ENGINE LINE...]   the test script, on stdout
#   make_setup_of KFM EXE SETUP   a copy of the setup program SETUP carrying KFM
#   work_folder NAME      $drive_c, and $work (C:\NAME with empty Source and Make)
#   build_dist MAKE DIST  the distribution built by MAKE\setup.exe -b into DIST (both
#                         folders under C:\, in Windows form)
#   czech_pages, english_pages   the page titles and buttons in $welcome, $next, ...
#   past_welcome, past_licence, to_selection WHAT   the wizard's first steps; each page
#                         met is handed to on_page (welcome, licence, agreed) on the way
pid=""
: "${wait_limit:=600}"
drive() {
  # The driver's own exit status is the step's: a wait that times out is a failure.
  _out=$(wine "$driver" "$@" 2>>"$log" </dev/null)
  _rc=$?
  [ -z "$_out" ] || printf '%s\n' "$_out" | tr -d '\r'
  return $_rc
}
fail() {
  echo "FAIL: $*"
  drive list -r || true
  [ -z "$pid" ] || kill "$pid" 2>/dev/null
  exit 1
}
start() { wine "$@" >>"$log" 2>&1 </dev/null & pid=$!; }
wait_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1)); [ $i -lt "$wait_limit" ] || fail "$1: the program did not end"
    sleep 0.1
  done
  wait "$pid"; code=$?
}

begin() {
  if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
  mkdir -p "$outdir"
  log="$outdir/$1.log" shots=$2
  : >"$log"
  # Wine reads the arguments it is given and writes what it prints in the locale's encoding.
  export LC_ALL=C.UTF-8
}
shot() { sleep 0.5; import -window root "$outdir/$shots$1.png" || fail "screenshot $1"; }
has_text() { drive texts "$1" | grep -qF "$2" || fail "$1 does not show: $2"; }
expect_state() {
  got=$(drive state "$1" "$2") || fail "no control $2 on $1"
  [ "$got" = "$3" ] || fail "$2 on $1: $got, expected $3"
}

# A small script shaped like the demo's: an engine installing to C:\Zarvotill, the full
# and the demo group, the before-install manager and those of the types MANAGERS lists
# (dmAfterGoodInstall ...), the full version's full.bin and the demo's demo.bin, or the
# demo's file and f01.bin .. fFILES.bin when FILES is a number, all from the folder SOURCE. The engine
# lines given after MANAGERS are added to its own; a translator into English when
# $translate_to is klEnglish.
wizard_kfm() {
  _source=$1 _files=$2 _managers=$3
  shift 3
  cat <<KFM
object frmMain: TfrmMain
  Left = 214
  Top = 121
  Width = 544
  Height = 384
  Caption = 'Instalace Zarvotill'
  PixelsPerInch = 96
KFM
  [ -z "${translate_to:-}" ] || printf '  object Translator: TTranslator\n    TranslateIntoLanguage = %s\n  end\n' "$translate_to"
  cat <<KFM
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
    DestDir = 'C:\\Zarvotill'
KFM
  for _line in "$@"; do printf '    %s\n' "$_line"; done
  cat <<KFM
    Information.ProductName = 'Zarvotill'
    HideMainForm = False
    Reboot = False
    UseLoadingProgram = False
  end
  object DialogManager: TDialogManager
    Container = Install
  end
KFM
  for _type in $_managers; do
    # Named after the type's number, as the kit names them.
    case $_type in dmAfterGoodInstall) _n=1 ;; dmAfterBadInstall) _n=2 ;; dmDuringCopyFiles) _n=3 ;; *) _n=5 ;; esac
    printf '  object DialogManager%d: TDialogManager\n    Container = Install\n    ManagerType = %s\n  end\n' $_n "$_type"
  done
  _order=0
  for _group in 'FullVersion Plná verze' 'DemoVersion Demoverze'; do
    _order=$((_order + 1))
    cat <<KFM
  object ${_group%% *}: TInstallFileGroup
    Tag = 1
    GroupName = '${_group#* }'
    Container = Install
    Order = $_order
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
  end
KFM
  done
  # kfm_file OBJECT GROUP FILE ID
  kfm_file() {
    cat <<KFM
  object $1: TInstallFile
    Container = $2
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    FileName = '$3'
    IncludeFromDir = '$_source'
    DestName = '$3'
    UniqueID = $4
  end
KFM
  }
  if [ "$_files" = full ]; then
    kfm_file FullFile FullVersion full.bin 1
    kfm_file DemoFile DemoVersion demo.bin 2
  else
    kfm_file DemoFile DemoVersion demo.bin 100
    _n=0
    while [ $_n -lt "$_files" ]; do
      _n=$((_n + 1))
      kfm_file "File$(printf %02d $_n)" FullVersion "f$(printf %02d $_n).bin" $_n
    done
  fi
  echo end
}

make_setup_of() {
  wine "$tool" make-setup "$1" -o "$2" --setup "$3" </dev/null >>"$log" 2>&1 ||
    { echo "FAIL: make-setup of $2"; cat "$log"; exit 1; }
}
# Unix paths: a winepath call would start Wine's services with the script's streams.
work_folder() {
  drive_c=$(winepath -u 'C:\' 2>/dev/null </dev/null)
  work="$drive_c/$1"
  rm -rf "$work" "$drive_c/Zarvotill" "$drive_c/Zarvotill Demo"
  mkdir -p "$work/Source" "$work/Make" || { echo "FAIL: no work folder"; exit 1; }
}
# The build copies the setup program and makes files.1, then says in a message box that
# the self-extracting form was not made (the scripts do not use the loading program).
build_dist() {
  _make="$drive_c/$(printf '%s' "$1" | tr '\\' /)" _dist="$drive_c/$(printf '%s' "$2" | tr '\\' /)"
  printf 'C:\\%s\r\n' "$2" >"$_make/BUILD.INF"
  start "$_make/setup.exe" -b
  # A build of a script without the loader ends by itself; one that asks something (a
  # message box of the program) is answered: look for one only while the build runs.
  _i=0
  while kill -0 "$pid" 2>/dev/null && [ $_i -lt 120 ]; do
    _i=$((_i + 1))
    if drive msgbox '*program' 1000 >>"$log" 2>&1; then drive click '*program' OK >/dev/null; fi
  done
  wait_end "build"
  [ -f "$_dist/setup.exe" ] && [ -f "$_dist/files.1" ] || fail "the build made no distribution"
}

czech_pages() {
  welcome='Vítejte' licence='Licenční ujednání' sel='Výběr komponent k instalaci'
  good='Úspěšná instalace' next='Další' back='Zpět' cancel='Storno' finish='Dokončit'
  agreement='Smlouvu jsem četl a bez výhrad souhlasím'
  restart='Ano, chci restartovat můj počítač nyní' no_restart='Ne, restartuji počítač později.'
}
english_pages() {
  welcome='Welcome' licence='Licence agreement' sel='Select the components to install'
  good='Installation successful' next='Next >' back='< Back' cancel='Cancel' finish='Finish'
  agreement='I have read and fully accept the agreement'
  restart='Yes, I want to restart my computer now' no_restart='No, I will restart my computer later.'
}
on_page() { :; }
past_welcome() {
  drive wait "$welcome" 30000 >/dev/null || fail "$1: no welcome page"
  on_page welcome
  drive click "$welcome" "$next" || fail "$1: $next on the welcome page"
}
# The licence page: "next" is ticked on by the agreement.
past_licence() {
  drive wait "$licence" 10000 >/dev/null || fail "$1: no licence page"
  on_page licence
  drive check "$licence" "$agreement" on || fail "$1: agreement box"
  sleep 0.3
  on_page agreed
  drive click "$licence" "$next" || fail "$1: $next on the licence page"
}
to_selection() {
  past_welcome "$1"
  past_licence "$1"
  drive wait "$sel" 10000 >/dev/null || fail "$1: no selection page"
  sleep 0.3
}
