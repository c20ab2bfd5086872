#!/usr/bin/env bash
# End to end: the real brickrun on a private X display, driven with real key events and watched
# through screenshots of its window. The window carries the game's name, class and icon. Starts a
# game from the title menu with Return, sees the level banner and then the level, and closes the
# window the way a window manager's close button does.
#
# Usage: play_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun, send-close and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert), xprop.
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
[[ -x $BUILD/send-close ]] || fail "$BUILD/send-close is missing (built from tests/e2e/send_close.cpp)"

percent() { echo $(($1 * 100 / $2)); }

# With no display at all the game must say so in one line and exit 1, not run unseen.
(cd "$BUILD/data" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$BUILD/brickrun") \
    2>"$WORK/no-display.err"
status=$?
lines=$(wc -l <"$WORK/no-display.err")
((status == 1 && lines == 1)) ||
    fail "without a display: status $status and $lines lines on stderr, not 1 and 1: $(head -n 3 "$WORK/no-display.err")"
echo "ok: without a display it exits 1 saying: $(cat "$WORK/no-display.err")"

start_display
echo "display $DISPLAY"
start_game "$BUILD"
find_window
name=$(xdotool getwindowname "$WINDOW")
class=$(xprop -id "$WINDOW" WM_CLASS)
icon=$(xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c '=$0x$1' _NET_WM_ICON)
[[ $name == brickrun ]] || fail "the window's title is '$name', not brickrun"
[[ $class == *'= "brickrun", "brickrun"' ]] || fail "the window's class is not brickrun: $class"
[[ $icon == _NET_WM_ICON=64x64 ]] || fail "the window has no 64x64 icon: $icon"
echo "ok: window $WINDOW is shown, named brickrun, of class brickrun, with a 64x64 icon"

picture_until title is_title $(($(now_ms) + 5000)) || fail "no title menu within 5 s (the window stays black)"
echo "ok: title menu drawn ($(percent "$black" "$total")% black)"

# Without a window manager the game takes the focus itself; asking again costs nothing.
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
pressed=$(now_ms)
hold_key Return

picture_until banner is_banner $((pressed + 1500)) ||
    fail "no level banner within 1.5 s of Return: $black of $total pixels black, $bright bright"
echo "ok: level banner after $(($(now_ms) - pressed)) ms: $(percent "$black" "$total")% black, $bright bright pixels of text"

picture_until game is_game $((pressed + 5500)) ||
    fail "no level within 5.5 s of Return: $sky of $total pixels have the sky colour"
shown=$(($(now_ms) - pressed))
((shown >= 3200)) || fail "the level showed $shown ms after Return: the banner must last 3.3 s"
echo "ok: level after $shown ms (the banner lasts 3.3 s): $(percent "$sky" "$total")% sky colour 00C0FF"

"$BUILD/send-close" "$WINDOW" || fail "the window takes no close request"
asked=$(now_ms)
retry 50 game_ended || fail "the game still runs 5 s after the close request"
wait "$GAME_PID"
status=$?
GAME_PID=
((status == 0)) || fail "the game ended with status $status after the close request"
echo "ok: closing the window ended the game with status 0 after $(($(now_ms) - asked)) ms"
echo "passed"
