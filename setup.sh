#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, builds, and then either starts
# the program ("run", the default) or runs the whole test suite ("test").
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build ccache pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
          libqt6printsupport6 libsqlite3-dev libpq-dev libbenchmark-dev qt6-multimedia-dev
          xvfb xauth fonts-dejavu-core fonts-liberation poppler-utils clang-format qt6-translations-l10n
          postgresql dpkg-dev file)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# The project's sources, as clang-format checks them.
sources() {
    find src tests bench tools -name '*.cpp' -o -name '*.h' 2>/dev/null
}

check_format() {
    local out
    out=$(sources | xargs clang-format --dry-run --Werror 2>&1 | grep 'error:' || true)
    if [ -n "$out" ]; then
        echo "$out" | head -20
        echo "The code is not formatted as .clang-format says: run clang-format -i on the files above." >&2
        exit 1
    fi
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build build --parallel "$(nproc)"
}

mode="${1:-run}"
shift || true
install_missing
case "$mode" in
    screenshots)
        # The README's pictures, made by the test suite from the real windows.
        build
        mkdir -p docs/screenshots
        (cd build && TORVIKA_SCREENSHOTS="$PWD/../docs/screenshots" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
            tests/app_test_screenshots)
        exit 0
        ;;
    test)
        # The tests build with warnings as errors, on formatted code, and the
        # benchmarks are compiled (not run) so that none stops building.
        check_format
        build -DTORVIKA_WERROR=ON -DTORVIKA_BENCH_COMPILE=ON
        ;;
    *)
        build
        ;;
esac
case "$mode" in
    run)
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display found: starting the program under Xvfb."
            exec xvfb-run -a -s "-screen 0 1280x1024x24" build/torvika "$@"
        fi
        exec build/torvika "$@"
        ;;
    test)
        # Every test of the company database runs on SQLite and on a
        # throwaway PostgreSQL server, started here and stopped at the end
        # (or on the server TORVIKA_TEST_PG already names). Whether the
        # PostgreSQL variants ran, or why not, is said once at the end.
        if [ -n "${TORVIKA_TEST_PG:-}" ]; then
            pg_note="PostgreSQL variants: run on the given server ($TORVIKA_TEST_PG)"
        else
            pg_err=$(mktemp)
            if server=$(tools/pg_test_server.sh start 2>"$pg_err"); then
                export "${server?}"
                pgdir=$(echo "$TORVIKA_TEST_PG" | sed -e 's/^host=\([^ ]*\).*/\1/')
                trap 'tools/pg_test_server.sh stop "$pgdir"' EXIT
                pg_note="PostgreSQL variants: run on a throwaway server ($TORVIKA_TEST_PG)"
            else
                pg_note="PostgreSQL variants: SKIPPED, the throwaway server did not start: $(head -n 3 "$pg_err" | tr '\n' ' ')"
            fi
            rm -f "$pg_err"
        fi
        rc=0
        (cd build && ctest --output-on-failure --parallel "$(nproc)" "$@") || rc=$?
        echo "$pg_note"
        exit "$rc"
        ;;
    *)
        echo "usage: $0 [run|test|screenshots]" >&2
        exit 2
        ;;
esac
