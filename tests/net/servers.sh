# Sourced by the network test scripts: start_servers WORK starts the loopback HTTP and FTP
# servers of servers.py on free ports, serving WORK/root, and sets http_port, ftp_port,
# stall_port and down_port (and KST_NET_PORTS, "http ftp stall down"); the servers end
# with the sourcing script. Exits 77 (skipped) without python3-pyftpdlib.
python=/usr/bin/python3  # Debian's, which has python3-pyftpdlib
server_pid=""
start_servers() {
  if ! "$python" -c 'import pyftpdlib' 2>/dev/null; then echo "python3-pyftpdlib missing: skipped"; exit 77; fi
  rm -rf "$1" && mkdir -p "$1" || exit 1
  "$python" "$(dirname "$0")/servers.py" "$1/root" "$1/ports" >"$1/servers.log" 2>&1 &
  server_pid=$!
  trap 'stop_servers' EXIT
  trap 'exit 1' INT TERM
  i=0
  while [ ! -s "$1/ports" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 $server_pid 2>/dev/null; then echo "servers did not start"; cat "$1/servers.log"; exit 1; fi
    sleep 0.1
  done
  KST_NET_PORTS=$(cat "$1/ports")
  export KST_NET_PORTS
  set -- $KST_NET_PORTS
  http_port=$1 ftp_port=$2 stall_port=$3 down_port=$4
}
stop_servers() {
  [ -z "$server_pid" ] || { kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; }
  server_pid=""
}
