#!/usr/bin/env bash
# The Debian package: cpack -G DEB in BUILD (a release build with the programs, data and icons
# built) makes brickrun_VERSION_amd64.deb, which declares the libraries the programs link, holds
# the installed files laid out as Debian lays out a game (programs in /usr/games, compressed
# manual pages, changelog and copyright), and has lintian report no error and no warning. On a CI
# machine (CI=true, as root, brickrun not installed) it is also installed with dpkg -i, started
# from /, and removed again, leaving nothing behind.
#
# Usage: deb_check.sh BUILD_DIR
set -u

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[[ $# -eq 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)

rm -f "$BUILD"/brickrun_*.deb
(cd "$BUILD" && cpack -G DEB) >"$BUILD/cpack.log" 2>&1 || fail "cpack failed: $(tail -n 5 "$BUILD/cpack.log")"
deb=$(ls "$BUILD"/brickrun_*_amd64.deb 2>/dev/null | head -n 1)
[[ -n $deb ]] || fail "cpack made no brickrun_*_amd64.deb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libstdc++6 libc6; do
    [[ $depends == *"$library"* ]] || fail "the package does not depend on $library: '$depends'"
done
contents=$(dpkg-deb -c "$deb")
for file in ./usr/games/brickrun ./usr/games/brickrun-fs ./usr/share/brickrun/font.raw \
    ./usr/share/applications/brickrun.desktop ./usr/share/icons/hicolor/256x256/apps/brickrun.png \
    ./usr/share/metainfo/org.brickrun.brickrun.metainfo.xml ./usr/share/man/man6/brickrun.6.gz \
    ./usr/share/man/man6/brickrun-fs.6.gz ./usr/share/doc/brickrun/changelog.gz \
    ./usr/share/doc/brickrun/copyright ./usr/share/brickrun/packs/long-way-round/pack.txt; do
    grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
echo "ok: $(basename "$deb"), $(stat -c %s "$deb") bytes, depends on: $depends"

command -v lintian >/dev/null || fail "lintian is missing (scripts/setup test installs it)"
lintian --display-info --pedantic "$deb" >"$BUILD/lintian.log" 2>&1
grep -q '^[EW]: ' "$BUILD/lintian.log" && fail "lintian reports errors or warnings: $(grep '^[EW]: ' "$BUILD/lintian.log")"
echo "ok: lintian reports no error and no warning ($(grep -c '^[IP]: ' "$BUILD/lintian.log") notes, in $BUILD/lintian.log)"

if [[ ${CI:-} != true || $(id -u) -ne 0 ]] || dpkg-query -W brickrun >/dev/null 2>&1; then
    echo "skipped: dpkg -i and dpkg -r (only on a CI machine, as root, without brickrun installed)"
    exit 0
fi
dpkg -i "$deb" >"$BUILD/dpkg.log" 2>&1 || fail "dpkg -i failed: $(tail -n 5 "$BUILD/dpkg.log")"
version=$(cd / && /usr/games/brickrun --version)
# No display here: the one line then says so, which shows the data was found first.
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY /usr/games/brickrun) 2>"$BUILD/installed.err"
status=$?
dpkg -r brickrun >>"$BUILD/dpkg.log" 2>&1 || fail "dpkg -r failed: $(tail -n 5 "$BUILD/dpkg.log")"
[[ $version == "brickrun "[0-9]* ]] || fail "the installed brickrun says '$version' to --version"
((status == 1)) && grep -q "cannot open the game window" "$BUILD/installed.err" ||
    fail "the installed brickrun, started from /, did not find its data: $(cat "$BUILD/installed.err")"
for left in /usr/games/brickrun /usr/games/brickrun-fs /usr/share/brickrun /usr/share/doc/brickrun \
    /usr/share/applications/brickrun.desktop; do
    [[ ! -e $left ]] || fail "dpkg -r left $left behind"
done
echo "ok: installed with dpkg -i, '$version' ran from / and found its data, removed with dpkg -r leaving nothing"
