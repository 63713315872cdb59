#!/bin/sh
# Runs kestrune-script on what a kit user meets: Czech file and folder names, a full disk,
# an output that is its own template, a directory where a file belongs, a script without an
# engine, a template that is no program, control characters in names. A failure must exit
# non-zero, say what failed, and leave neither the output nor a temporary file behind.
# The full-disk runs need a small tmpfs (root); without one they are skipped, saying so.
# Usage: check_script_tool.sh TOOL ZARVOTILL.kfm WORK [SETUP.exe]
# (SETUP.exe given in the Windows build, where make-setup can run to its end.)
set -u
tool=$1 zarvotill=$2 work=$3 setup=${4:-}
run() { if [ -n "${WINEPREFIX:-}" ]; then "$(dirname "$0")/../../scripts/wine-run.sh" "$tool" "$@"; else "$tool" "$@"; fi; }
failed=0
fail() { printf 'FAIL: %s\n' "$*"; failed=1; }
esc=$(printf '\033')

# expect_failure PATTERN ARGS...: a non-zero exit, PATTERN in the message, no raw escape.
expect_failure() {
  pattern=$1; shift
  if err=$(run "$@" 2>&1 >/dev/null); then fail "kestrune-script $* succeeded"; return; fi
  printf '%s\n' "$err" | grep -q -- "$pattern" || fail "kestrune-script $*: expected '$pattern', got: $err"
  case $err in *"$esc"*) fail "a raw escape character reached the terminal: $err" ;; esac
}
# carries PROGRAM TEXT: the program holds a gzip member whose inflated bytes contain TEXT
# (the script is stored compressed, so TEXT is not in the file itself).
carries() {
  python3 - "$1" "$2" <<'PY'
import sys, zlib
data, want = open(sys.argv[1], 'rb').read(), sys.argv[2].encode()
at = data.find(b'\x1f\x8b\x08')
while at >= 0:
    inflater = zlib.decompressobj(31)
    try:
        if want in inflater.decompress(data[at:]) and inflater.eof: sys.exit(0)
    except zlib.error:
        pass
    at = data.find(b'\x1f\x8b\x08', at + 1)
sys.exit(1)
PY
}
# no_output FILE: neither FILE nor a temporary file of it in its folder.
no_output() {
  [ -e "$1" ] && fail "a failed run left $1"
  ls -A "$(dirname "$1")" | grep -q '^~.*\.tmp$' && fail "a temporary file was left in $(dirname "$1")"
}

rm -rf "$work"
czech="$work/Příliš žluťoučký kůň"
mkdir -p "$czech"
cp "$zarvotill" "$czech/Úvodní skript.kfm"
# A file that only looks like a program: refused as no setup program, and nothing may stay.
# Natively it is the template of the runs that fail before they read it.
{ printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000PE\000\000'; head -c 65536 /dev/zero; } >"$work/fake.exe"
template=${setup:-$work/fake.exe}

# Czech names: the tree, and a format that gives back the script as written.
run tree "$czech/Úvodní skript.kfm" | head -n1 | grep -q "^Install	TInstall	" || fail "tree of a Czech-named script"
run format "$czech/Úvodní skript.kfm" "$czech/Přeformátovaný.kfm" || fail "format onto a Czech name"
cmp -s "$zarvotill" "$czech/Přeformátovaný.kfm" || fail "format did not give back the script"

# Directories, missing files, a script without engine, names with control characters.
expect_failure "Cannot open file \".*Příliš žluťoučký kůň\": it is a directory" tree "$czech"
expect_failure "Příliš žluťoučký kůň\": it is a directory" format "$zarvotill" "$czech"
# (Natively: Windows file names cannot hold control characters.)
[ -n "${WINEPREFIX:-}" ] || expect_failure "Cannot open file \".*a\\\\x1Bb.kfm\"" tree "$work/a${esc}b.kfm"
printf 'object frmMain: TfrmMain\n  object Files: TInstallFileGroup\n  end\nend\n' >"$work/no-engine.kfm"
expect_failure "has no install engine" make-setup "$work/no-engine.kfm" -o "$work/no-engine.exe" --setup "$template"
no_output "$work/no-engine.exe"
# A class name in a binary stream can hold anything; a destination too.
printf 'TPF0\010TfrmMain\007frmMain\000\010TNo\033Such\004Nope\000\000\000' >"$work/escape.bin"
expect_failure "Class TNo\\\\x1BSuch not found" tree "$work/escape.bin"
printf "object frmMain: TfrmMain\n  object Install: TInstall\n    DestDir = 'C:\\\\a'#27'b'#10'c'\n    DestDirType = nil\n  end\nend\n" >"$work/dest.kfm"
out=$(run tree "$work/dest.kfm" | tr -d '\r')
[ "$(printf '%s\n' "$out" | cut -f1,6)" = "Install	C:\\a\\x1Bb\\x0Ac" ] || fail "destination not escaped in the tree: $out"

# Reading errors of a text form: the line and column, the object of an unknown class, the
# valid values of an enumeration.
script_error() {  # script_error PATTERN LINES...: a script of those lines fails to load so.
  pattern=$1; shift
  { echo "object frmMain: TfrmMain"; echo "  object Install: TInstall"; printf '%s\n' "$@"; echo "end"; } >"$work/error.kfm"
  expect_failure "$pattern" tree "$work/error.kfm"
}
script_error "Line 3, column 5: Error reading Install.DistributeType: Invalid property value dtWebb (TDistributeType is one of: dtTraditional, dtWeb, dtTraditionalNet)" \
  "    DistributeType = dtWebb" "  end"
script_error "Line 4, column 3: Class TInstalFile not found (object ReadMe)" "  end" "  object ReadMe: TInstalFile" "  end"
script_error "Line 3, column 5: Error reading Install.DestDirType: no component named psNothing" "    DestDirType = psNothing" "  end"
script_error "Line 5, column 5: Error reading ReadMe.OverwriteMode: Invalid property value owSometimes (TOverwriteType is one of: owAlways, " \
  "  end" "  object ReadMe: TInstallFile" "    OverwriteMode = owSometimes" "  end"

expect_failure "fake.exe\" is not a setup program of the kit" make-setup "$zarvotill" -o "$work/out.exe" --setup "$work/fake.exe"
no_output "$work/out.exe"
if [ -n "$setup" ]; then
  # make-setup under a Czech name carries the script (a product name only it has).
  sed "s/ProductName = 'Zarvotill'/ProductName = 'KarryTest'/" "$zarvotill" >"$czech/Vlastní skript.kfm"
  run make-setup "$czech/Vlastní skript.kfm" -o "$czech/Instalační program.exe" --setup "$setup" || fail "make-setup onto a Czech name"
  carries "$czech/Instalační program.exe" KarryTest || fail "the made setup program does not carry the script"
  grep -aq KarryTest "$czech/Instalační program.exe" && fail "the made setup program carries its script uncompressed"
  carries "$setup" KarryTest && fail "the template carries the test script"
  carries "$setup" Zarvotill || fail "the template does not carry the demo script compressed"
  # The output is the code and its script: the template's own script leaves no room, and
  # a program made from a made program is the same as one made from the template.
  printf 'object frmMain: TfrmMain\n  object Install: TInstall\n  end\nend\n' >"$work/small.kfm"
  run make-setup "$work/small.kfm" -o "$work/small.exe" --setup "$setup" || fail "make-setup of a small script"
  made=$(wc -c <"$work/small.exe") template_size=$(wc -c <"$setup")
  [ "$made" -lt $((template_size - 30000)) ] || fail "the made setup program ($made bytes) keeps the template's script ($template_size bytes)"
  run make-setup "$czech/Vlastní skript.kfm" -o "$work/big.exe" --setup "$work/small.exe" || fail "make-setup from a made program"
  carries "$work/big.exe" KarryTest || fail "the program made from a made program does not carry the script"
  run make-setup "$work/small.kfm" -o "$work/again.exe" --setup "$work/big.exe" || fail "make-setup back"
  cmp -s "$work/again.exe" "$work/small.exe" || fail "a script put back into a program made from another is not the same program"
  # The output is the template, under its own name or another spelling of it.
  cp "$setup" "$czech/setup.exe"
  expect_failure "is the setup program it would be made from" make-setup "$zarvotill" -o "$czech/setup.exe" --setup "$czech/setup.exe"
  expect_failure "is the setup program it would be made from" make-setup "$zarvotill" -o "$czech/./setup.exe" --setup "$czech/setup.exe"
  cmp -s "$setup" "$czech/setup.exe" || fail "the template changed"
  printf 'notpe\n' >"$work/notpe.exe"
  expect_failure "notpe.exe\" is not a Windows program" make-setup "$zarvotill" -o "$work/out.exe" --setup "$work/notpe.exe"
  no_output "$work/out.exe"
fi

# build: the kit and every source file are checked before anything is written, and a
# failed build leaves neither the output nor its work folder.
b="$work/build"
mkdir -p "$b/product" "$b/kit"
echo a >"$b/product/a.txt"
# small_script [ARCHIVE-LINE]: an engine and two files from product\, a.txt and b.txt.
small_script() {
  printf "object frmMain: TfrmMain\n  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n" >"$b/s.kfm"
  printf "  object Install: TInstall\n    UseLoadingProgram = True\n  end\n" >>"$b/s.kfm"
  for f in a b; do
    printf "  object File_%s: TInstallFile\n    Container = Install\n%b    FileName = '%s.txt'\n    IncludeFromDir = 'product'\n  end\n" \
      $f "${1:-}" $f >>"$b/s.kfm"
  done
  echo end >>"$b/s.kfm"
}
small_script
nothing_built() { [ "$(ls -A "$b")" = "$(printf 'kit\nproduct\ns.kfm')" ] || fail "a failed build left: $(ls -A "$b")"; }
# (Natively no setup.exe is beside the tool; the Windows build's bin folder is a kit.)
[ -n "${WINEPREFIX:-}" ] || expect_failure "No kit folder: setup.exe is neither beside kestrune-script" build "$b/s.kfm" -o "$b/out"
expect_failure "The kit folder .*nokit has no setup.exe" build "$b/s.kfm" -o "$b/out" --kit "$b/nokit"
cp "$template" "$b/kit/setup.exe"
expect_failure "The kit folder .*kit has no loader KestruneLoadProgram.exe (the script's Install.UseLoadingProgram is True)" \
  build "$b/s.kfm" -o "$b/out" --kit "$b/kit"
echo loader >"$b/kit/KestruneLoadProgram.exe"
expect_failure "Nothing was built: File_a (TInstallFile in Install): no archive (set ArchiveFileType = psContainerArchiveFile, or ArchiveFile); File_b (TInstallFile in Install): the source file product\\\\b.txt (.*) does not exist" \
  build "$b/s.kfm" -o "$b/out" --kit "$b/kit"
nothing_built
small_script "    ArchiveFileType = psContainerArchiveFile\n"
echo b >"$b/product/b.txt"
if [ -n "$setup" ]; then
  cp "$setup" "$b/kit/setup.exe"
  run build "$b/s.kfm" -o "$b/out" --kit "$b/kit" || fail "build of a small script"
  [ "$(ls "$b/out")" = "$(printf 'files.1\nsetup.1\nsetup.exe')" ] || fail "build made: $(ls "$b/out")"
  rm -rf "$b/out"
  # Without --kit: the Windows build's bin folder, beside the tool, is a kit.
  run build "$b/s.kfm" -o "$b/out" || fail "build with the kit beside the tool"
  [ -f "$b/out/files.1" ] && [ -f "$b/out/setup.exe" ] || fail "build with the kit beside the tool made: $(ls "$b/out")"
  rm -rf "$b/out"
else
  expect_failure "is not a setup program of the kit" build "$b/s.kfm" -o "$b/out" --kit "$b/kit"
fi
nothing_built

# add-folder: one object per file of a folder, its sources relative to the script; again,
# nothing new.
mkdir -p "$b/product/sub"
echo c >"$b/product/sub/c.txt"
out=$(run add-folder "$b/s.kfm" "$b/product" --to Install -o "$b/added.kfm" | tr -d '\r')
[ "$out" = "1 install file added to Install" ] || fail "add-folder said: $out"
run tree "$b/added.kfm" | tr -d '\r' | grep -q "^  c_txt	TInstallFile	.*\\\\sub	" || fail "add-folder did not add sub\\c.txt: $(run tree "$b/added.kfm")"
grep -q "IncludeFromDir = 'product\\\\sub'" "$b/added.kfm" || fail "add-folder did not name the source relative to the script"
out=$(run add-folder "$b/added.kfm" "$b/product" --to Install | tr -d '\r')
[ "$out" = "0 install files added to Install" ] || fail "add-folder added again: $out"

# A full disk: the tools report it and leave nothing behind.
disk="$work/disk"
mkdir -p "$disk"
if mount -t tmpfs -o size=1m,mode=0777 tmpfs "$disk" 2>/dev/null; then
  trap 'umount "$disk" 2>/dev/null || umount -l "$disk"' EXIT
  # Leave 32 KiB: less than any output below.
  free=$(df -k --output=avail "$disk" | tail -n1)
  dd if=/dev/zero of="$disk/filler" bs=1k count=$((free - 32)) 2>/dev/null
  expect_failure "Cannot write file \".*Plný disk.kfm\": the disk is full" format "$zarvotill" "$disk/Plný disk.kfm"
  no_output "$disk/Plný disk.kfm"
  if [ -n "$setup" ]; then
    expect_failure "Cannot write file \".*setup.exe\": the disk is full" make-setup "$zarvotill" -o "$disk/setup.exe" --setup "$setup"
    no_output "$disk/setup.exe"
  fi
else
  echo "SKIPPED full-disk runs: cannot mount a tmpfs here (needs root with CAP_SYS_ADMIN)"
fi

[ $failed = 0 ] && echo "script tool ok"
exit $failed
