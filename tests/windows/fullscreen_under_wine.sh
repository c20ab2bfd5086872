#!/usr/bin/env bash
# brickrun-fs.exe under Wine covers the screen and shows the title menu exactly as the headless
# runner draws it, at the largest whole multiple that fits, centred, every other pixel black: on
# screens of 1024x768 (once, at 112,84) and 1600x1200 (twice, at 0,0). Escape ends it with status 0.
#
# Usage: fullscreen_under_wine.sh WINDOWS_BUILD HOST_BUILD
set -u

# shellcheck source=SCRIPTDIR/../e2e/xvfb_game.sh
source "$(dirname "$0")/../e2e/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$@"
start_test
make_work fullscreen

"$HOST/brickrun-headless" --data "$WINBUILD/data" --presents 3 --shot "3:$WORK/headless-title.png" \
    2>/dev/null || fail "the Linux headless runner cannot draw the title"

for case in 1024x768:1 1600x1200:2; do
    size=${case%:*} scale=${case#*:}
    width=${size%x*} height=${size#*x}
    left=$(((width - 800 * scale) / 2)) top=$(((height - 600 * scale) / 2))
    # What the screen must show: the headless title, each pixel a scale x scale block, on black.
    convert -size "$size" xc:black \( "$WORK/headless-title.png" -alpha off -sample "$((100 * scale))%" \) \
        -geometry "+$left+$top" -composite -depth 8 "rgb:$WORK/expected.rgb"
    start_display "$size"
    (cd "$WINBUILD/data" && exec wine "$WINBUILD/brickrun-fs.exe") 2>"$WORK/game.err" &
    GAME_PID=$!
    screen_shows_title() {
        import -window root "png:$WORK/screen-$size.png" &&
            convert "$WORK/screen-$size.png" -alpha off -depth 8 "rgb:$WORK/screen.rgb" &&
            cmp -s "$WORK/screen.rgb" "$WORK/expected.rgb"
    }
    retry 200 screen_shows_title ||
        fail "$size: the screen never showed the title ${scale}x at $left,$top on black (kept: screen-$size.png)"
    WINDOW=$(xdotool search --onlyvisible --class brickrun-fs.exe | head -n 1)
    timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "$size: the window does not take the focus"
    escape_ends_game
    echo "ok: $size shows the title menu ${scale}x at $left,$top on black, exactly; Escape ends it with status 0"
    stop_game_and_display
done
echo "passed"
