#!/usr/bin/env bash
# A throw-away MariaDB server for the MySQL tests and benchmarks, on 127.0.0.1 and
# a free port, with its data in a temporary folder. Nothing is installed and no
# system-wide server or configuration file is touched.
#
#   private_server.sh start STATE_FILE [OWNER_PID]
#   private_server.sh stop STATE_FILE
#
# start writes STATE_FILE as KEY=VALUE lines (HOST, PORT, SOCKET, USER, DATADIR,
# PID). Clients that cannot choose the port reach the server through SOCKET.
# With OWNER_PID a watcher stops the server once that process is gone, so a
# crashed test program does not leave a server behind.
set -uo pipefail

die() {
    echo "private_server: $*" >&2
    exit 1
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

ping_server() {
    mariadb-admin --no-defaults --protocol=tcp -h127.0.0.1 -P"$1" -uroot --connect-timeout=2 ping >/dev/null 2>&1
}

# Stops the server of pid/port/datadir: a clean shutdown first, then signals, so
# the process is gone whatever state it is in.
stop_server() {
    local pid=$1 port=$2 datadir=$3
    if [ -n "$port" ]; then
        mariadb-admin --no-defaults --protocol=tcp -h127.0.0.1 -P"$port" -uroot --connect-timeout=2 \
            --shutdown-timeout=10 shutdown >/dev/null 2>&1
    fi
    if [ -n "$pid" ]; then
        for _ in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null
            for _ in $(seq 1 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
        fi
        kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    fi
    if [ -n "$datadir" ] && [ -d "$datadir" ]; then
        rm -rf "$datadir"
    fi
    return 0
}

start() {
    local state=$1 owner=${2:-}
    [ -n "$state" ] || die "no state file given"
    local datadir
    datadir=$(mktemp -d "${TMPDIR:-/tmp}/mockexam-mariadb.XXXXXX") || die "cannot create a data folder"
    if ! mariadb-install-db --no-defaults --datadir="$datadir" --user=root \
        --auth-root-authentication-method=normal --skip-test-db >"$datadir.install.log" 2>&1; then
        cat "$datadir.install.log" >&2
        rm -rf "$datadir" "$datadir.install.log"
        die "mariadb-install-db failed"
    fi
    rm -f "$datadir.install.log"

    # Without name resolution an account for 'localhost' only matches socket
    # clients, so tests can add one without touching those that come over TCP.
    # The port is free when chosen but may be taken before the server binds it:
    # a few attempts with fresh ports cover that race.
    local attempt port pid ready
    for attempt in 1 2 3 4 5; do
        port=$(free_port) || die "no free port"
        mariadbd --no-defaults --user=root --datadir="$datadir" --socket="$datadir/s" \
            --pid-file="$datadir/p" --port="$port" --bind-address=127.0.0.1 --skip-name-resolve \
            >"$datadir/server.log" 2>&1 </dev/null &
        pid=$!
        ready=0
        for _ in $(seq 1 600); do
            if ping_server "$port"; then
                ready=1
                break
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        [ $ready = 1 ] && break
        stop_server "$pid" "" ""
    done
    if [ $ready != 1 ]; then
        cat "$datadir/server.log" >&2
        rm -rf "$datadir"
        die "the server did not start"
    fi

    {
        echo "HOST=127.0.0.1"
        echo "PORT=$port"
        echo "SOCKET=$datadir/s"
        echo "USER=root"
        echo "DATADIR=$datadir"
        echo "PID=$pid"
    } >"$state.tmp" && mv "$state.tmp" "$state"

    if [ -n "$owner" ]; then
        (
            trap '' HUP INT
            while kill -0 "$owner" 2>/dev/null && kill -0 "$pid" 2>/dev/null; do
                sleep 1
            done
            stop_server "$pid" "$port" "$datadir"
        ) >/dev/null 2>&1 </dev/null &
        disown
    fi
    echo "private MariaDB server on 127.0.0.1:$port (pid $pid)"
}

stop() {
    local state=$1
    [ -f "$state" ] || die "no server recorded in $state"
    local line key value pid="" port="" datadir=""
    while IFS= read -r line; do
        key=${line%%=*}
        value=${line#*=}
        case $key in
        PID) pid=$value ;;
        PORT) port=$value ;;
        DATADIR) datadir=$value ;;
        esac
    done <"$state"
    stop_server "$pid" "$port" "$datadir"
    rm -f "$state"
    echo "private MariaDB server stopped"
}

case ${1:-} in
start) start "${2:-}" "${3:-}" ;;
stop) stop "${2:-}" ;;
*) die "usage: $0 start STATE_FILE [OWNER_PID] | stop STATE_FILE" ;;
esac
