#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: a cluster in a temporary
# directory, listening on a local socket only, run as an unprivileged user.
#
#   tools/pg_test_server.sh start   starts one and prints the line
#                                   TORVIKA_TEST_PG=host=<dir> port=<n> user=<u>
#                                   that the tests read from the environment
#   tools/pg_test_server.sh stop DIR  stops it and removes its directory
set -euo pipefail

bindir() {
    local d
    d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$d" ] || { echo "PostgreSQL is not installed (Debian package postgresql)" >&2; exit 1; }
    echo "$d"
}

# The server refuses to run as root: it runs as this user then.
RUN_AS=torvika-test

as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$RUN_AS" -- "$@"
    else
        "$@"
    fi
}

start() {
    local bin dir port
    bin=$(bindir)
    dir=$(mktemp -d /tmp/torvika-pg.XXXXXX)
    chmod 755 "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        id "$RUN_AS" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$RUN_AS"
        chown "$RUN_AS" "$dir"
    fi
    port=54329
    as_user "$bin/initdb" -D "$dir/data" -U torvika --auth=trust --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; exit 1; }
    # The members of torvika_passwords log in with a password (the tests of
    # the password prompt); everyone else is trusted.
    as_user sed -i '1i local all +torvika_passwords md5' "$dir/data/pg_hba.conf"
    # Durability is of no use to a test run: no flushes to disk.
    as_user "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o \
        "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200 -c wal_level=minimal -c max_wal_senders=0 -c max_wal_size=4GB" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    as_user "$bin/psql" -q -h "$dir" -p "$port" -U torvika -d postgres \
        -c "CREATE ROLE torvika_passwords NOLOGIN" >/dev/null
    echo "TORVIKA_TEST_PG=host=$dir port=$port user=torvika"
}

stop() {
    local dir=$1
    [ -d "$dir/data" ] && as_user "$(bindir)/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}

case "${1:-}" in
    start) start ;;
    stop) stop "${2:?directory}" ;;
    *) echo "usage: $0 start | stop DIR" >&2; exit 2 ;;
esac
