#!/bin/sh
# The engine as a user meets it, under Wine, with the setup program's exit code checked at
# every ending: command-line errors in message boxes (also a quoted source directory that
# ends in a backslash, given on a raw command line), a script without an engine, a good
# run that ends by itself and removes its install record, a file that cannot be started
# after a good run, a failing run that shows its error, a script that needs -s, and a
# restart through RunOnce that resumes with -r from a source directory with Czech letters.
# The restart is real: ExitWindowsEx ends the Wine session and wineboot restarts it,
# running the RunOnce command. On an NT 3.51 version setting no restart is tried.
# Usage: engine_run.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 driver=$3 script=$4 outdir=$5
wait_limit=300
. "$(dirname "$0")/ui_steps.sh"
begin engine_run engine_run_
runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
records='HKLM\SOFTWARE\Kestrune\Install'
title='*program'  # the application title, "Instalační program"

# The prefix is shared with the other tests: whatever happens, its Windows version is put
# back.
version=$(wine winecfg -v </dev/null 2>/dev/null | tr -d '\r')
version_changed=0
restore_version() {
  [ "$version_changed" = 1 ] || return 0
  wine winecfg -v "${version:-win7}" </dev/null >/dev/null 2>&1
  version_changed=0
}
trap 'restore_version' EXIT
trap 'exit 1' INT TERM

reg_query() { wine reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }
expect_code() { [ "$code" = "$1" ] || fail "$2: exit code $code, expected $1"; }
clean_registry() {
  wine reg delete "$records" /f >/dev/null 2>&1 </dev/null
  wine reg delete 'HKLM\SOFTWARE\Kestrune' /f >/dev/null 2>&1 </dev/null
  wine reg delete "$runonce" /v KestruneUnfinished /f >/dev/null 2>&1 </dev/null
}
# Answers the message box of the started program, which must show exactly that text, and
# expects the program to end with that exit code.
answer_box() {
  expected=$1 exit_code=$2 what=$3
  got=$(drive msgbox "$title" 30000) || fail "no message box for: $what"
  [ "$got" = "$expected" ] || fail "for $what: message was <$got>, expected <$expected>"
  drive click "$title" OK >/dev/null || fail "cannot answer the message box"
  wait_end "$what"
  expect_code "$exit_code" "$what"
  printf '%s\n' "ok: $what -> $got (exit code $code)"
}
# Runs a program with arguments and answers its message box.
expect_box_of() {
  program=$1 expected=$2 exit_code=$3; shift 3
  start "$program" "$@"
  answer_box "$expected" "$exit_code" "$*"
}
expect_box() { expected=$1 exit_code=$2; shift 2; expect_box_of "$setup" "$expected" "$exit_code" "$@"; }
# A copy of the setup program carrying the script OUTDIR/NAME.kfm, as OUTDIR/NAME.exe.
make_setup() {
  wine "$tool" make-setup "$outdir/$1.kfm" -o "$outdir/$1.exe" --setup "$setup" >>"$log" 2>&1 </dev/null ||
    fail "make-setup of $1 failed"
}
clean_registry

# The engine's endings are tried without a distribution: a copy of the script without its
# product files, its database engine group and the shortcuts to them (those need the built
# archive, which the distribution test covers), put into a copy of the setup program. Its
# dialog managers are left out too, so that each run ends by itself without the wizard
# (the wizard has tests of its own).
awk '/^  object [A-Za-z0-9_]+: T(InstallFile|UninstallEXE|InstallBDE|InstallMainLink|InstallShellLink|MainLinkGroup|DialogManager)$/ { skip = 1; next }
     skip && /^  end$/ { skip = 0; next }
     !skip { print }' "$script" >"$outdir/no-files.kfm"
make_setup no-files
script="$outdir/no-files.kfm"
setup="$outdir/no-files.exe"

invalid='Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), -e (Called by self-extractor), -r (After reboot)'
expect_box "Invalid parameter <-x>. $invalid" 3 -x
expect_box "Invalid parameter <->. $invalid" 3 -
expect_box "Invalid parameter <b>. $invalid" 3 b
nodir='You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "-sC:\My Build"'
expect_box "$nodir" 3 -d
expect_box "$nodir" 3 -d "-s   "

# The raw command line as a shortcut or a batch file passes it: the quoted source directory
# keeps its final backslash and the switch after it stays a switch of its own.
printf '@"%s" "-sC:\\Dist\\" -x\r\n' "$(winepath -w "$setup")" >"$outdir/trailing.bat"
start cmd /c "$(winepath -w "$outdir/trailing.bat")"
got=$(drive msgbox "$title" 30000) || fail "no message box for the raw command line"
[ "$got" = "Invalid parameter <-x>. $invalid" ] || fail "raw command line: message was <$got>"
drive click "$title" OK >/dev/null
wait_end "raw command line"
printf '%s\n' "ok: \"-sC:\\Dist\\\" -x -> $got"

# A script without an engine would show a window that never ends: it is refused. The kit's
# tools make no such program, so the engine of a bare script is turned into an object of
# another class in the copy's script resource (same stream length): the resource's gzip
# member is inflated, changed and compressed again in its place, and its data entry is given
# the new length. The other class is the backdrop's, whose name the stream already holds, so
# that the member does not grow.
{
  awk '/^  object / { keep = ($0 ~ /^  object BackDrop:/) } keep || /^end$/ || !started { print }
       /^  object / { started = 1 } /^  end$/ { keep = 1 }' "$script" | sed '$d'
  printf '  object Install: TInstall\n  end\nend\n'
} >"$outdir/no-engine.kfm"
make_setup no-engine
python3 - "$outdir/no-engine.exe" <<'EOF' || fail "cannot take the engine out of the script"
import struct, sys, zlib
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
engine = b"\x08TInstall\x07Install\x00\x00"
pe = struct.unpack_from("<I", data, 0x3C)[0]
count, optsize = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
sections = [struct.unpack_from("<8sIIII", data, pe + 24 + optsize + 40 * i) for i in range(count)]
def rva(offset):
    for _, vsize, vaddr, rawsize, rawptr in sections:
        if rawptr <= offset < rawptr + rawsize:
            return vaddr + offset - rawptr
found = []
at = data.find(b"\x1f\x8b\x08")
while at >= 0:
    d = zlib.decompressobj(31)
    try:
        stream = d.decompress(bytes(data[at:]))
        if d.eof and stream.count(engine) == 1:
            found.append((at, len(data) - at - len(d.unused_data), stream))
    except zlib.error:
        pass
    at = data.find(b"\x1f\x8b\x08", at + 1)
assert len(found) == 1
at, size, stream = found[0]
c = zlib.compressobj(9, zlib.DEFLATED, 31, 8)
member = c.compress(stream.replace(engine, b"\x09TBackdrop\x06Instal\x00\x00")) + c.flush()
assert len(member) <= size
entry = struct.pack("<II", rva(at), size)
assert data.count(entry) == 1
where = data.find(entry)
data[where + 4:where + 8] = struct.pack("<I", len(member))
data[at:at + size] = member + bytes(size - len(member))
open(path, "wb").write(bytes(data))
EOF
expect_box_of "$outdir/no-engine.exe" \
  "The install script of this setup program has no TInstall component: there is nothing to install." 1

# A good run: the record exists while it runs and is gone at its end; the program ends
# by itself.
start "$setup"
wait_end "good run"
expect_code 0 "good run"
reg_query "$records" | grep -q Install && fail "the good run left its install record"
printf '%s\n' "ok: good run ended by itself without a record"

# A file marked to run after the installation that cannot be started is reported, and the
# installation still ends as good.
{ sed 's/^end$//' "$script"; cat <<'EOF'; } >"$outdir/run-after.kfm"
  object StartAfter: TInstallFile
    DestDir = 'C:\Nowhere'
    DestDirType = nil
    DestName = 'missing.exe'
    FileName = 'missing.exe'
    RunAfterInstall = True
  end
end
EOF
make_setup run-after
start "$outdir/run-after.exe"
got=$(drive msgbox "$title" 30000) || fail "no message box for the file that cannot be started"
case $got in "The installed file C:\\Nowhere\\missing.exe could not be started: "*) ;; *) fail "run after: <$got>" ;; esac
drive click "$title" OK >/dev/null
wait_end "run after"
expect_code 0 "a good run with a file that cannot be started"
clean_registry
printf '%s\n' "ok: the file that cannot be started was reported, the run ended good"

# A failing run (the self-extracting file does not exist): bad ending, the error shown.
start "$setup" -eSetup.exe
got=$(drive msgbox "$title" 30000) || fail "no message box for the failing run"
drive click "$title" OK >/dev/null
wait_end "failing run"
expect_code 1 "failing run: $got"
clean_registry
printf '%s\n' "ok: failing run -> $got"

# A script started through the loader needs -s; without it the run ends badly and the
# exit code names the command line.
sed 's/^    UseLoadingProgram = False/    UseLoadingProgram = True/' "$script" >"$outdir/loader.kfm"
make_setup loader
expect_box_of "$outdir/loader.exe" 'The path of the loading program was not passed correctly. If you are running your install project in the IDE, then you need to add two command line parameters. In Run | Parameters | "Run Parameters", type in: -d "-sBUILDPATH" where BUILDPATH is the path into which you built the distributables. Example: -d "-sC:\My Build".' 3
clean_registry

# Restart: a script with Reboot set registers its resume in RunOnce and restarts Windows.
# The setup program lies in a folder with Czech letters and is given it as its source
# directory: the letters travel through the command line, the install record, the resume
# command in the registry and the restarted program's command line.
sed 's/^    Reboot = False/    Reboot = True/' "$script" >"$outdir/reboot-setup.kfm"
make_setup reboot-setup
czech='C:\Příliš žluťoučký'
czech_unix=$(winepath -u "$czech" 2>/dev/null)
mkdir -p "$czech_unix" && cp "$outdir/reboot-setup.exe" "$czech_unix/setup.exe" || fail "cannot place the setup program"

# First on NT 3.51, where no restart is attempted: the failure message, the resume command
# stays in RunOnce, and the exit code tells that a restart is pending.
version_changed=1
wine winecfg -v nt351 </dev/null >/dev/null 2>&1
start "$czech_unix/setup.exe" "-s$czech"
answer_box "Could not reboot windows. Please manually reboot windows." 4 "restart on NT 3.51"
restore_version
# reg query prints in the console's code page, which lacks the Czech letters; an export
# is UTF-16, with backslashes and quotes escaped.
wine reg export "$runonce" "$(winepath -w "$outdir/runonce.reg")" /y >/dev/null 2>&1 </dev/null
command=$(iconv -f UTF-16 -t UTF-8 "$outdir/runonce.reg" | tr -d '\r' | grep KestruneUnfinished)
expected=$(printf '"%s\\setup.exe" -r "-s%s"' "$czech" "$czech" | sed 's/\\/\\\\/g; s/"/\\"/g')
[ "$command" = "\"KestruneUnfinished\"=\"$expected\"" ] || fail "resume command in RunOnce: $command"
reg_query "$records" | grep -q Install || fail "the record was not kept for the resumed run"
clean_registry
printf '%s\n' "ok: NT 3.51 showed the failure message and kept the resume command: $command"

# Now for real: the program restarts Windows; Wine's restart runs the RunOnce command,
# which resumes with -r, finishes, and removes the install record and its own entry.
start "$czech_unix/setup.exe" "-s$czech"
wait_end "restart run"
i=0
while reg_query "$records" | grep -q Install || reg_query "$runonce" | grep -q KestruneUnfinished; do
  i=$((i + 1)); [ $i -lt 120 ] || fail "the resumed run did not finish (record or RunOnce entry left)"
  sleep 0.5
done
clean_registry
printf '%s\n' "ok: restart ran the resume command and the resumed run removed the record"
