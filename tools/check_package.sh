#!/usr/bin/env bash
# Builds the Debian package from a build directory and checks it as a
# machine that installs it would see it: its layout, its declared
# dependencies, no bundled Qt, and the unpacked program starting offscreen on
# a new program directory of its own per user, logging in and quitting.
#
#   tools/check_package.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "package check: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/out/torvika_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") (made: $(ls "$work/out"))"

root="$work/root"
dpkg-deb -x "$deb" "$root"

for f in usr/bin/torvika usr/bin/torvika-fiscal-printer usr/bin/torvika-fiscal-http \
         usr/share/torvika/SQLs/NewTables.nts usr/share/torvika/SQLs/UpdateTables.nts \
         usr/share/torvika/Documentations/Фактура.psc \
         usr/share/applications/torvika.desktop \
         usr/share/icons/hicolor/scalable/apps/torvika.svg \
         usr/share/man/man1/torvika.1.gz usr/share/man/man1/torvika-fiscal-printer.1.gz \
         usr/share/man/man1/torvika-fiscal-http.1.gz \
         usr/share/doc/torvika/copyright; do
    [ -e "$root/$f" ] || fail "missing /$f"
done
if find "$root" -name 'libQt6*' | grep -q .; then
    fail "Qt is bundled: $(find "$root" -name 'libQt6*' | head -3)"
fi
grep -qx 'Exec=torvika' "$root/usr/share/applications/torvika.desktop" || fail "the desktop entry does not start torvika"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/torvika.desktop"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6sql6-psql \
           libqt6printsupport6 libsqlite3-0 libpq5; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$dep" \
        || fail "Depends lacks $dep: $depends"
done

# The programs answer --help and --version without a display.
"$root/usr/bin/torvika" --version | grep -qx "torvika $version" || fail "torvika --version"
"$root/usr/bin/torvika" --help | grep -q -- '--check' || fail "torvika --help"
"$root/usr/bin/torvika-fiscal-printer" --version | grep -q "$version" || fail "torvika-fiscal-printer --version"
"$root/usr/bin/torvika-fiscal-printer" --help | grep -q -- '--receipts' || fail "torvika-fiscal-printer --help"
"$root/usr/bin/torvika-fiscal-http" --version | grep -q "$version" || fail "torvika-fiscal-http --version"
"$root/usr/bin/torvika-fiscal-http" --help | grep -q -- '--journal' || fail "torvika-fiscal-http --help"

# Two users of the machine: each starts on a new program directory of their
# own under $XDG_DATA_HOME, logs in as the first operator and quits.
for user in first second; do
    home="$work/$user"
    mkdir -p "$home"
    echo 1 | env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
        XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
        timeout 120 "$root/usr/bin/torvika" --check >"$work/$user.log" 2>&1 \
        || { cat "$work/$user.log" >&2; fail "the unpacked program did not start for the $user user"; }
    grep -q 'logged in as Администратор' "$work/$user.log" || { cat "$work/$user.log" >&2; fail "no login"; }
    [ -f "$home/.local/share/torvika/SQLs/NewTables.nts" ] || fail "the $user user's program directory lacks SQLs"
    ls "$home/.local/share/torvika/Data" | grep -q . || fail "the $user user has no company database"
done
echo "package check: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) installs and starts"
