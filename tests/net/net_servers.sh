#!/bin/sh
# Starts the loopback FTP and HTTP servers of the network tests on free ports, runs the
# given Windows test program with their ports and folder, and stops them again.
# Usage: net_servers.sh WINE-RUN.SH TEST.EXE WORKDIR
set -u
runner=$1 program=$2 work=$3
python=/usr/bin/python3  # Debian's, which has python3-pyftpdlib
if ! "$python" -c 'import pyftpdlib' 2>/dev/null; then echo "python3-pyftpdlib missing: skipped"; exit 77; fi
rm -rf "$work" && mkdir -p "$work" || exit 1
"$python" "$(dirname "$0")/servers.py" "$work/root" "$work/ports" >"$work/servers.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null' EXIT
i=0
while [ ! -s "$work/ports" ]; do
  i=$((i + 1))
  if [ $i -gt 100 ] || ! kill -0 $server 2>/dev/null; then echo "servers did not start"; cat "$work/servers.log"; exit 1; fi
  sleep 0.1
done
KST_NET_PORTS=$(cat "$work/ports")
KST_NET_ROOT=$(winepath -w "$work/root" 2>/dev/null)
export KST_NET_PORTS KST_NET_ROOT
sh "$runner" "$program" --gtest_brief=1
