#!/usr/bin/env bash
# End to end: brickrun-fs covers the whole screen and shows the title menu as the headless runner
# draws it, centred, with every other pixel black. By default it fills the screen keeping the
# picture's shape, with sharp pixels: on 1024x768 and 1920x1080 every screen pixel within one
# picture pixel shows it exactly and every one across an edge a mix of those it covers (fill-check);
# on 1600x1200 that is exactly twice the size, each picture pixel a 2x2 block. F10, and
# --scale whole, keep to whole multiples: 1920x1080 then shows the picture once, at 560,240.
#
# Usage: fullscreen_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun-fs, brickrun-headless,
# fill-check and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert).
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
for program in brickrun-headless fill-check; do
    [[ -x $BUILD/$program ]] || fail "$BUILD/$program is missing"
done
GAME_PROGRAM=brickrun-fs
"$BUILD/brickrun-headless" --data "$BUILD/data" --presents 3 --shot "3:$WORK/title.bmp" \
    2>/dev/null || fail "the headless runner cannot draw the title"

# The screen as raw RGB in $WORK/screen.rgb (and the picture in screen-$1.png).
grab_screen() {
    import -window root "png:$WORK/screen-$1.png" &&
        convert "$WORK/screen-$1.png" -alpha off -depth 8 "rgb:$WORK/screen.rgb"
}
# Whether the screen of size $1 shows the title filled into the box $2 (WxH+LEFT+TOP).
shows_fill() {
    grab_screen "$1" && "$BUILD/fill-check" "$WORK/title.bmp" "$WORK/screen.rgb" "$1" "$2" >"$WORK/fill.log"
}
# Whether the screen of size $1 shows the title $2 times its size at $3,$4 on black, exactly.
shows_whole() {
    convert -size "$1" xc:black \( "$WORK/title.bmp" -alpha off -sample "$(($2 * 100))%" \) \
        -geometry "+$3+$4" -composite -depth 8 "rgb:$WORK/expected.rgb" &&
        grab_screen "$1" && cmp -s "$WORK/screen.rgb" "$WORK/expected.rgb"
}
focus_game() {
    WINDOW=$(timeout 10 xdotool search --sync --onlyvisible --class brickrun | head -n 1)
    [[ -n $WINDOW ]] || fail "no visible window of class brickrun within 10 s"
    timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
}

for case in 1024x768:1024x768+0+0 1920x1080:1440x1080+240+0; do
    size=${case%%:*} box=${case#*:}
    start_display "$size"
    start_game "$BUILD"
    retry 200 shows_fill "$size" "$box" ||
        fail "$size: the title is not filled into $box on black: $(cat "$WORK/fill.log")"
    echo "ok: $size shows the title filled into $box: $(cat "$WORK/fill.log")"
    if [[ $size == 1920x1080 ]]; then
        focus_game
        xdotool key F10
        retry 100 shows_whole "$size" 1 560 240 || fail "after F10 the title is not shown 1x at 560,240"
        echo "ok: F10 keeps to whole multiples: the title 1x at 560,240 on black"
        xdotool key F10
        retry 100 shows_fill "$size" "$box" || fail "a second F10 does not fill the screen again"
        echo "ok: a second F10 fills the screen again"
    fi
    stop_game_and_display
done

start_display 1600x1200
start_game "$BUILD"
retry 200 shows_whole 1600x1200 2 0 0 || fail "1600x1200: the title is not shown 2x, each pixel a 2x2 block"
echo "ok: 1600x1200 shows the title exactly twice its size"
stop_game_and_display

start_display 1920x1080
start_game "$BUILD" --scale whole
retry 200 shows_whole 1920x1080 1 560 240 || fail "with --scale whole 1920x1080 does not show the title 1x at 560,240"
echo "ok: with --scale whole 1920x1080 shows the title 1x at 560,240 on black"
focus_game
escape_ends_game
echo "passed"
