#!/bin/sh
# Starts or stops a printer on a device server for the Windows tests, as the setup and cleanup
# steps of a CTest fixture: the Linux simulator at 38400 bit/s behind a ser2net on 127.0.0.1 (the
# line starts at 19200: the client must set the rate), with COM<PORT> mapped to its URL in the
# Wine prefix's registry as a user maps it (HKCU\Software\Zarelcom\Ports).
#   network_line.sh start DIR PORT SIMULATOR   returns once ser2net listens
#   network_line.sh stop DIR PORT
set -eu
action=$1
dir=$2
com=$3
key='HKCU\Software\Zarelcom\Ports'
case "$action" in
start)
    simulator=$4
    mkdir -p "$dir"
    setsid "$simulator" --baud 38400 </dev/null >"$dir/sim.out" 2>&1 &
    echo $! >"$dir/sim.pid"
    for _ in $(seq 100); do
        line=$(head -n 1 "$dir/sim.out" 2>/dev/null || true)
        case "$line" in /dev/*) break ;; esac
        sleep 0.05
    done
    case "$line" in /dev/*) ;; *) echo "the simulator did not start: $line"; exit 1 ;; esac
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    setsid ser2net -n -u -P "$dir/ser2net.pid" -Y "connection: &printer#  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,$port#  connector: serialdev,$line,19200n81,local#  options:#    chardelay: false#    kickolduser: false" </dev/null >"$dir/ser2net.out" 2>&1 &
    echo $! >"$dir/server.pid"
    hex=$(printf '%04X' "$port")
    for _ in $(seq 200); do
        grep -q "0100007F:$hex 00000000:0000 0A" /proc/net/tcp && break
        sleep 0.05
    done
    grep -q "0100007F:$hex 00000000:0000 0A" /proc/net/tcp || { echo "ser2net does not listen"; cat "$dir/ser2net.out"; exit 1; }
    echo "rfc2217://127.0.0.1:$port" >"$dir/url"
    wine reg add "$key" /v "COM$com" /d "rfc2217://127.0.0.1:$port" /f >/dev/null 2>&1
    ;;
stop)
    wine reg delete "$key" /v "COM$com" /f >/dev/null 2>&1 || true
    for pid in server sim; do
        [ -f "$dir/$pid.pid" ] || continue
        kill "$(cat "$dir/$pid.pid")" 2>/dev/null || true
        rm -f "$dir/$pid.pid"
    done
    ;;
esac
