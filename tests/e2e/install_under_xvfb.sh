#!/usr/bin/env bash
# End to end: brickrun installed like any game, and found from anywhere. cmake --install puts the
# programs, their data, a valid desktop entry and AppStream file (with a web page and screenshots
# once the project has them), icons at four sizes and the manual pages under a prefix; the
# installed brickrun, started from another folder, finds its data and shows the title menu. The build's own brickrun does the same from elsewhere, and a brickrun with
# no data anywhere names every place it looked in one line and exits 1.
#
# Usage: install_under_xvfb.sh BUILD_DIR   (BUILD_DIR: a configured and built build folder)
# Needs: Xvfb, xdotool, ImageMagick, desktop-file-utils, appstream, groff, cmake.
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
for tool in desktop-file-validate appstreamcli groff identify; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup test installs it)"
done

prefix=$WORK/prefix
cmake --install "$BUILD" --prefix "$prefix" >"$WORK/install.log" || fail "cmake --install failed: $(tail -n 3 "$WORK/install.log")"
for file in bin/brickrun bin/brickrun-fs share/brickrun/font.raw share/brickrun/Maps/level3.map \
    share/brickrun/Graphics/sky.bmp share/applications/brickrun.desktop \
    share/metainfo/org.brickrun.brickrun.metainfo.xml share/man/man6/brickrun.6 \
    share/man/man6/brickrun-fs.6; do
    [[ -s $prefix/$file ]] || fail "the install lacks $file"
done
desktop-file-validate "$prefix/share/applications/brickrun.desktop" || fail "the desktop entry is not valid"
grep -qx 'Categories=Game;ArcadeGame;' "$prefix/share/applications/brickrun.desktop" || fail "the desktop entry is not in the Game category"
# Docks match a window to its entry by the window's class, which brickrun's windows carry.
grep -qx 'StartupWMClass=brickrun' "$prefix/share/applications/brickrun.desktop" || fail "the desktop entry names no StartupWMClass=brickrun"
appstreamcli validate --no-net "$prefix/share/metainfo/org.brickrun.brickrun.metainfo.xml" >"$WORK/appstream.log" 2>&1 ||
    fail "the AppStream file is not valid: $(tail -n 5 "$WORK/appstream.log")"
# Once the project has a web page, the AppStream data names it and shows the pictures of docs/.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
cmake -DSOURCE="$source_dir" -DOUT="$WORK/linked.metainfo.xml" -DVERSION=1.0.0 -DLICENSE=MIT \
    -DHOMEPAGE=https://brickrun.example.org -DSCREENSHOTS=https://brickrun.example.org/docs \
    -P "$source_dir/cmake/metainfo.cmake" || fail "cmake/metainfo.cmake cannot write the AppStream data"
appstreamcli validate --no-net "$WORK/linked.metainfo.xml" >"$WORK/appstream.log" 2>&1 ||
    fail "the AppStream file with a web page is not valid: $(tail -n 5 "$WORK/appstream.log")"
shots=$(grep -c '<image>https://brickrun.example.org/docs/[a-z0-9]*.png</image>' "$WORK/linked.metainfo.xml")
((shots == 5)) || fail "the AppStream file with a web page shows $shots pictures of docs/, not 5"
for size in 32 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/brickrun.png
    [[ $(identify -format '%wx%h %[channels]' "$icon" 2>/dev/null) == "${size}x${size} srgba"* ]] ||
        fail "no ${size}x${size} icon with transparency: $(identify "$icon" 2>&1)"
done
warnings=$(groff -man -ww -z "$prefix/share/man/man6/brickrun.6" 2>&1)
[[ -z $warnings ]] || fail "the manual page has faults: $warnings"
# Every option the program knows is in its manual page.
manual=$(groff -man -Tascii -P-cbu "$prefix/share/man/man6/brickrun.6" 2>/dev/null)
for option in $("$prefix/bin/brickrun" --help | grep -o -- ' --*[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$manual" || fail "the manual page does not mention $option"
done
echo "ok: installed programs, data, desktop entry, AppStream file, icons at 32 to 256 and manual pages, all valid"

version=$(cd / && "$prefix/bin/brickrun" --version)
[[ $version == "brickrun "[0-9]* ]] || fail "the installed brickrun says '$version' to --version"
usage=$("$prefix/bin/brickrun" -h | head -n 1)
[[ $usage == "usage: brickrun "* ]] || fail "the installed brickrun says '$usage' to -h"

# With no data anywhere: one line naming every place tried, status 1.
mkdir -p "$WORK/alone/bin"
cp "$BUILD/brickrun" "$WORK/alone/bin/"
(cd "$WORK/alone" && exec env -u DISPLAY "$WORK/alone/bin/brickrun") 2>"$WORK/alone.err"
status=$?
lines=$(wc -l <"$WORK/alone.err")
((status == 1 && lines == 1)) || fail "with no data: status $status and $lines lines, not 1 and 1"
grep -q "in the current folder, $WORK/alone/bin/../share/brickrun, $WORK/alone/bin/data;" "$WORK/alone.err" ||
    fail "with no data, the line does not name every place: $(cat "$WORK/alone.err")"
echo "ok: with no data: $(cat "$WORK/alone.err")"

start_display
for program in "$prefix/bin/brickrun" "$BUILD/brickrun"; do
    (cd "$WORK" && exec "$program") 2>"$WORK/game.err" &
    GAME_PID=$!
    find_window
    picture_until title is_title $(($(now_ms) + 20000)) || fail "$program started elsewhere shows no title menu"
    timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
    escape_ends_game
    echo "ok: $program, started in another folder, found its data and showed the title menu"
done
echo "passed"
