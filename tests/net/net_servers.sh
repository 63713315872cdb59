#!/bin/sh
# Starts the loopback FTP and HTTP servers of the network tests on free ports, runs the
# given Windows test program with their ports and folder, and stops them again.
# Usage: net_servers.sh WINE-RUN.SH TEST.EXE WORKDIR
set -u
runner=$1 program=$2 work=$3
. "$(dirname "$0")/servers.sh"
start_servers "$work"
KST_NET_ROOT=$(winepath -w "$work/root" 2>/dev/null)
export KST_NET_ROOT
# The stand-in library case has a prefix of its own (wininet_standin.sh).
sh "$runner" "$program" --gtest_brief=1 --gtest_filter='-StandInLibrary.*'
