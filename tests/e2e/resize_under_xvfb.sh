#!/usr/bin/env bash
# End to end: the brickrun window resized, shrunk and made full screen. At 1600x1200 and 1024x768 it
# shows the title menu exactly as the headless runner draws it, at the largest whole multiple,
# centred on black; at 400x300 shrunk to fit, its shape kept. At 2000x1400, more than twice the
# picture, it fills the window with sharp pixels (fill-check), and after F10 shows it 2x. F11 makes
# it cover the display, filled; Alt+Return brings the 800x600 window back, and its Return does not
# reach the menu.
#
# Usage: resize_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun, brickrun-headless, fill-check
# and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert).
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
[[ -x $BUILD/brickrun-headless ]] || fail "$BUILD/brickrun-headless is missing"
"$BUILD/brickrun-headless" --data "$BUILD/data" --presents 3 --shot "3:$WORK/title.png" \
    2>/dev/null || fail "the headless runner cannot draw the title"

# What a screen of SIZE must show: the title scale times, at LEFT,TOP, on black.
expected() {
    convert -size "$1" xc:black \( "$WORK/title.png" -alpha off -sample "$(($2 * 100))%" \) \
        -geometry "+$3+$4" -composite -depth 8 "rgb:$WORK/expected.rgb"
}
# Whether the window (or the root, for full screen) shows exactly that.
shows_expected() {
    import -window "$1" "png:$WORK/shown.png" &&
        convert "$WORK/shown.png" -alpha off -depth 8 "rgb:$WORK/shown.rgb" &&
        cmp -s "$WORK/shown.rgb" "$WORK/expected.rgb"
}

# Whether the window (or the root) of size $2 shows the title filled into the box $3, on black.
shows_fill() {
    import -window "$1" "png:$WORK/shown.png" &&
        convert "$WORK/shown.png" -alpha off -depth 8 "rgb:$WORK/shown.rgb" &&
        "$BUILD/fill-check" "$WORK/title.bmp" "$WORK/shown.rgb" "$2" "$3" >"$WORK/fill.log"
}
convert "$WORK/title.png" "$WORK/title.bmp"

start_display 2560x1600
start_game "$BUILD"
find_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"

for case in 1600x1200:2:0:0 1024x768:1:112:84; do
    IFS=: read -r size scale left top <<<"$case"
    xdotool windowsize "$WINDOW" "${size%x*}" "${size#*x}"
    expected "$size" "$scale" "$left" "$top"
    retry 100 shows_expected "$WINDOW" ||
        fail "resized to $size, the window does not show the title ${scale}x at $left,$top on black"
    echo "ok: resized to $size, the title ${scale}x at $left,$top on black, pixel for pixel"
done

xdotool windowsize "$WINDOW" 400 300
shrunk() {
    import -window "$WINDOW" "png:$WORK/shrunk.png" &&
        [[ $(identify -format %wx%h "$WORK/shrunk.png") == 400x300 ]] &&
        (($(convert "$WORK/shrunk.png" -fill white +opaque black -format %c histogram:info:- |
            awk '/#FFFFFF/ { print $1 + 0 }') > 400 * 300 * 9 / 10))
}
retry 100 shrunk || fail "at 400x300 the window does not show the title shrunk to fit"
echo "ok: at 400x300 the title is shrunk to fit the window"

xdotool windowsize "$WINDOW" 2000 1400
retry 100 shows_fill "$WINDOW" 2000x1400 1866x1400+67+0 ||
    fail "at 2000x1400 the window does not show the title filled into 1866x1400+67+0: $(cat "$WORK/fill.log")"
echo "ok: at 2000x1400 the title fills the window: $(cat "$WORK/fill.log")"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
xdotool key F10
expected 2000x1400 2 200 100
retry 100 shows_expected "$WINDOW" || fail "after F10 the 2000x1400 window does not show the title 2x at 200,100"
xdotool key F10
echo "ok: F10 keeps the 2000x1400 window to whole multiples, the title 2x at 200,100"

xdotool windowsize "$WINDOW" 800 600
xdotool key F11
retry 100 shows_fill root 2560x1600 2133x1600+213+0 ||
    fail "after F11 the display does not show the title filled into 2133x1600+213+0: $(cat "$WORK/fill.log")"
echo "ok: F11 covers the display, the title filled into 2133x1600 at 213,0 on black"

xdotool keydown alt keydown Return
sleep 0.3
xdotool keyup Return keyup alt
expected 800x600 1 0 0
retry 100 shows_expected "$WINDOW" || fail "after Alt+Return the 800x600 window with the title is not back"
[[ $(xdotool getwindowgeometry "$WINDOW" | grep -o '[0-9]*x[0-9]*') == 800x600 ]] ||
    fail "after Alt+Return the window is $(xdotool getwindowgeometry "$WINDOW"), not 800x600"
picture_stays title is_title $(($(now_ms) + 1000)) || fail "the Return of Alt+Return left the title menu"
echo "ok: Alt+Return brings the 800x600 window back; the menu did not take its Return"

escape_ends_game
echo "passed"
