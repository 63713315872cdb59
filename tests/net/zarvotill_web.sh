#!/bin/sh
# Zarvotill's network builds as their author and user meet them, under Wine: the setup
# program's -b builds a web distribution (dtWeb) and a network one (dtTraditionalNet) from
# a copy of the Zarvotill script whose network location points at the loopback servers;
# the archives and filelist.lst it writes are copied into the servers' folders, and the
# built setup.exe installs from them. Each network install puts the same files in place,
# byte for byte, as the plain (dtTraditional) build of the same script does from its
# folder. The web build over HTTP is first run with one archive missing from the server:
# the run fails on it, naming it, and keeps the archives it downloaded; the next run, with
# those archives gone from the server, installs from the kept copies and removes them. The
# same web build installs from the FTP server's root directory, and the network build
# takes its network archive from the FTP server with a named login and a directory with
# backslashes (after a run that fails with the archive missing there).
# The script copy is stripped of the wizard's dialog managers and dialogs, the database
# engine group and the shortcuts (objects of those classes, the objects inside them and
# the properties naming them): the runs go through without a page to answer, and the
# wizard, the engine and the shortcuts are tested elsewhere. Its product name is this
# test's own; what an install put in place is read from the product's uninstall entry.
# Usage: zarvotill_web.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE KITDIR SCRIPT.kfm OUTDIR
set -u
setup=$1 tool=$2 driver=$3 kit=$4 script=$5 outdir=$6
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
log="$outdir/zarvotill_web.log"
: >"$log"
title='*program'  # the setup program's message boxes carry the application title
wait_limit=600
. "$(dirname "$0")/../gui/ui_steps.sh"
. "$(dirname "$0")/servers.sh"
start_servers "$outdir/servers"
served="$outdir/servers/root"

drive_c="$WINEPREFIX/drive_c"
root="$drive_c/KstWeb"
rm -rf "$root" && mkdir -p "$root" || fail "no work folder"
# The kit folder the script names (C:\Kestrune) is this build's kit.
rm -rf "$drive_c/Kestrune" && ln -s "$kit" "$drive_c/Kestrune" || fail "cannot show the kit as C:\\Kestrune"
records='HKLM\SOFTWARE\Kestrune'
wine reg delete "$records" /f >/dev/null 2>&1 </dev/null

# The script copy: top-level objects of the left-out classes go, with the objects inside
# them (Container = one of them) and the properties that name them.
awk '
  function dropped_class(c) { return c ~ /DialogManager|Dlg$|GrabCall|^TInstallBDE$|^TInstall(Main|Shell)Link$|^TMainLinkGroup$/ }
  NR == FNR {
    if ($0 ~ /^  object [A-Za-z0-9_]+: /) { name = $2; sub(/:$/, "", name); if (dropped_class($3)) drop[name] = 1; cur = name }
    else if ($0 ~ /^    Container = /) container[cur] = $3
    next
  }
  FNR == 1 { do { more = 0; for (n in container) if (!(n in drop) && (container[n] in drop)) { drop[n] = 1; more = 1 } } while (more) }
  /^  object [A-Za-z0-9_]+: / { name = $2; sub(/:$/, "", name); skip = (name in drop) }
  skip { if ($0 == "  end") skip = 0; next }
  /^    [A-Za-z.]+ = [A-Za-z0-9_]+$/ && ($3 in drop) { next }
  { print }
' "$script" "$script" |
  sed -e "s/^    Information.ProductName = 'Zarvotill'$/    Information.ProductName = 'Zarvotill web test'/" \
      >"$outdir/base.kfm"
grep -q "^    Information.ProductName = 'Zarvotill web test'$" "$outdir/base.kfm" || fail "the script copy has no product name of its own"
grep -q '^  object NetLocation: TNetInstallLocation$' "$outdir/base.kfm" || fail "the script has no NetLocation"

# variant NAME TYPE PROTOCOL PORT DIRECTORY [EXTRA-LOCATION-LINES]: a copy of the script
# with that distribution type and location, in $root/NAME/script.kfm.
variant() {
  mkdir -p "$root/$1"
  # Through the environment: awk -v would read the backslashes as escapes.
  type=$2 protocol=$3 host="127.0.0.1:$4" dir=$5 extra=${6:-} awk '
    BEGIN { type = ENVIRON["type"]; protocol = ENVIRON["protocol"]; host = ENVIRON["host"]; dir = ENVIRON["dir"]; extra = ENVIRON["extra"] }
    /^  object Install: TInstall$/ { print; if (type != "") print "    DistributeType = " type; next }
    /^  object NetLocation: TNetInstallLocation$/ {
      print; print "    LoginInformation.Directory = '\''" dir "'\''"; print "    LoginInformation.Hostname = '\''" host "'\''"
      print "    LoginInformation.Protocol = " protocol; if (extra != "") print extra
      inloc = 1; next
    }
    inloc && /^    LoginInformation\./ { next }
    inloc && /^  end$/ { inloc = 0 }
    { print }
  ' "$outdir/base.kfm" >"$root/$1/script.kfm"
}
# build NAME: the setup program carrying the script, built with -b into $root/NAME/out;
# without a loading program the build ends with the archives, and with exit code 0.
build() {
  wine "$tool" make-setup "$(winepath -w "$root/$1/script.kfm")" -o "C:\\KstWeb\\$1\\setup.exe" \
    --setup "$(winepath -w "$setup")" >>"$log" 2>&1 </dev/null || fail "make-setup of $1 failed"
  printf 'C:\\KstWeb\\%s\\out\r\n' "$1" >"$root/$1/BUILD.INF"
  start "C:\\KstWeb\\$1\\setup.exe" -b
  wait_end "$1 build"
  [ "$code" = 0 ] || fail "the $1 build ended with $code"
  [ -f "$root/$1/out/setup.exe" ] || fail "the $1 build made no setup.exe"
}
# What an install put in place is what the product's uninstall entry lists, less the
# shared system libraries (kept when already there).
ukey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvotill web test'
installed_list() {
  wine reg query "$ukey\\Files" </dev/null 2>>"$log" | tr -d '\r' | sed -n 's/^ *File[0-9]* *REG_SZ *//p' |
    grep -vi '\\system32\\' | sort -u
}
# clean_product: removes the files the last install put in place and its entry.
clean_product() {
  installed_list | while IFS= read -r f; do rm -f "$(winepath -u "$f" 2>/dev/null </dev/null)"; done
  wine reg delete "$ukey" /f >/dev/null 2>&1 </dev/null
}
# snapshot DIR: copies of the installed files under DIR by their Windows paths.
snapshot() {
  rm -rf "$1" && mkdir -p "$1" && installed_list >"$1.list" || return 1
  while IFS= read -r f; do
    rel=$(printf '%s' "$f" | sed 's/^[A-Za-z]://; s,\\,/,g')
    mkdir -p "$1$(dirname "$rel")" && cp "$(winepath -u "$f" 2>/dev/null </dev/null)" "$1$rel" || return 1
  done <"$1.list"
}
# run_install NAME: runs the built setup.exe from a fresh copy of the build folder (without
# the network archives) and expects a good ending.
run_install() {
  clean_product
  rm -rf "$root/$1/run" && mkdir -p "$root/$1/run" || fail "no run folder"
  for f in "$root/$1/out"/*; do [ -d "$f" ] || cp "$f" "$root/$1/run/"; done
  start "C:\\KstWeb\\$1\\run\\setup.exe"; wait_end "$1 install"
  [ "$code" = 0 ] || fail "the $1 install ended with $code"
}
# same_tree WHAT: the installed files are the reference install's, byte for byte.
same_tree() {
  snapshot "$root/got" || fail "$1: cannot read back the installed files"
  cmp -s "$root/reference.list" "$root/got.list" && diff -r "$root/reference" "$root/got" >>"$log" 2>&1 ||
    fail "$1: the installed files differ from the plain install's"
}
# failing_run NAME MESSAGE: runs the built setup.exe from a fresh copy of the build folder,
# expects its error box to say MESSAGE (its start, when MESSAGE ends in "*") and a failed
# ending; the archives its install record keeps go to $outdir/kept.txt (object name, path).
failing_run() {
  clean_product
  rm -rf "$root/$1/run" && mkdir -p "$root/$1/run" || fail "no run folder"
  for f in "$root/$1/out"/*; do [ -d "$f" ] || cp "$f" "$root/$1/run/"; done
  start "C:\\KstWeb\\$1\\run\\setup.exe"
  got=$(drive msgbox "$title" 60000) || fail "the failing $1 run showed no message"
  case "$got" in $2) ;; *) fail "the failing $1 run said <$got>" ;; esac
  drive click "$title" OK >/dev/null || fail "cannot answer <$got>"
  wait_end "failing $1 install"
  [ "$code" != 0 ] || fail "the failing $1 run ended with 0"
  # The install record keeps each downloaded archive as LocalFile under its object's name.
  wine reg query "$records" /s </dev/null 2>>"$log" | tr -d '\r' |
    awk '/^HKEY/ { n = split($0, p, "\\"); name = p[n] } /^ *LocalFile *REG_SZ/ { sub(/^ *LocalFile *REG_SZ */, ""); print name "\t" $0 }' \
    >"$outdir/kept.txt"
}
# publish NAME DIR: the build's network folder (the one holding filelist.lst) copied to DIR.
publish() {
  list=$(find "$root/$1/out" -name filelist.lst)
  [ "$(printf '%s\n' "$list" | grep -c .)" = 1 ] || fail "$1: expected one filelist.lst, found: $list"
  rm -rf "$2" && mkdir -p "$2" && cp "$(dirname "$list")"/* "$2/" || fail "$1: cannot publish"
}

# ---- the reference: the plain build installed from its folder ----
variant plain dtTraditional ipHTTP "$http_port" 'zarvotill\2.1'
build plain
[ -z "$(find "$root/plain/out" -name filelist.lst)" ] || fail "the plain build wrote filelist.lst"
run_install plain
snapshot "$root/reference" || fail "cannot read back the plain install"
files=$(find "$root/reference" -type f | wc -l)
[ "$files" -ge 8 ] || fail "the plain install holds $files files"
# Each installed file is a copy of one of the kit's files of that name.
find "$root/reference" -type f | while IFS= read -r f; do
  [ -n "$(find "$kit" -type f -name "$(basename "$f")" -exec cmp -s {} "$f" \; -print)" ] || echo "$f"
done >"$outdir/strangers.txt"
[ ! -s "$outdir/strangers.txt" ] || fail "the plain install holds files that are no kit file: $(cat "$outdir/strangers.txt")"
echo "ok: the plain build installs $files files from its folder"

# ---- the web build over HTTP ----
variant web dtWeb ipHTTP "$http_port" 'zarvotill\2.1'
build web
[ ! -f "$root/web/out/files.1" ] || [ "$(stat -c %s "$root/web/out/files.1")" -lt 2000 ] ||
  fail "the web build put the product into files.1"
http_dir="$served/http/zarvotill/2.1"
publish web "$http_dir"
archives=$(cd "$http_dir" && ls | grep -v '^filelist\.lst$')
echo "ok: the web build wrote filelist.lst and $(echo $archives | wc -w) archives: $(echo $archives)"

# First run: a late archive (the Vizud tables') is missing on the server.
last=$(printf '%s\n' $archives | grep -x 'VizudMain.1' || printf '%s\n' $archives | tail -1)
mv "$http_dir/$last" "$outdir/$last"
failing_run web "Could not find the file $last on the server. Error message Unregistered error code. Server 127.0.0.1:$http_port. Response from server No server response"
[ -s "$outdir/kept.txt" ] || fail "the failing web run kept no downloaded archive"
kept=$(cut -f2 "$outdir/kept.txt")
echo "ok: a run with $last missing ends in <$got> and keeps $(cut -f1 "$outdir/kept.txt" | tr '\n' ' ')"

# Second run: the archives the first one downloaded are gone from the server.
mv "$outdir/$last" "$http_dir/$last"
for a in $(cut -f1 "$outdir/kept.txt"); do rm "$http_dir/$a.1" || fail "no archive $a.1 on the server"; done
clean_product
start 'C:\KstWeb\web\run\setup.exe'; wait_end "web install from the kept archives"
[ "$code" = 0 ] || fail "the second web install ended with $code"
same_tree "web over HTTP"
printf '%s\n' "$kept" | while IFS= read -r f; do
  [ ! -e "$(winepath -u "$f" 2>/dev/null </dev/null)" ] || fail "the kept archive $f stayed after the good run"
done || exit 1
wine reg query "$records" </dev/null >/dev/null 2>&1 && fail "the install record stayed after the good run"
echo "ok: the next run installs from the kept archives, byte-identical, and removes them"

# ---- the web build over FTP, from the FTP root ----
variant webftp dtWeb ipFTP "$ftp_port" ''
build webftp
publish webftp "$served/ftp"
run_install webftp
same_tree "web over FTP"
echo "ok: the web build installs from the FTP server's root directory, byte-identical"

# ---- the network build over FTP: named login, a directory with backslashes ----
variant net dtTraditionalNet ipFTP "$ftp_port" 'zarvotill\net' \
  "    LoginInformation.Anonymous = False
    LoginInformation.Password = 'heslo'
    LoginInformation.Username = 'kestrune'"
# The Vizud tables come from the server, the rest from files.1.
awk '/^  object Vizud(Goods|Sales): TInstallFile$/ { print; print "    Net = True"; next } { print }' \
  "$root/net/script.kfm" >"$root/net/script.tmp" && mv "$root/net/script.tmp" "$root/net/script.kfm"
build net
[ -s "$root/net/out/files.1" ] || fail "the network build wrote no files.1"
net_dir="$served/ftp/private/zarvotill/net"
publish net "$net_dir"
[ -f "$net_dir/VizudMain.1" ] || fail "the network build put no archive for the Vizud tables: $(ls "$net_dir")"
mv "$net_dir/VizudMain.1" "$outdir/VizudMain.1"
failing_run net "Cannot open file VizudMain.1 on server. Error message ERROR_INTERNET_EXTENDED_ERROR. Server 127.0.0.1:$ftp_port. Response from server 550*"
mv "$outdir/VizudMain.1" "$net_dir/VizudMain.1"
run_install net
same_tree "network build over FTP"
echo "ok: the network build installs from files.1 and the FTP server (named login), byte-identical; without the"
echo "    server's archive it ends in <$got>"
rm -f "$drive_c/Kestrune"
