#!/usr/bin/env bash
# brickrun-fs.exe under Wine covers the screen and shows the title menu as the headless runner
# draws it, filling the screen with sharp pixels, centred, every other pixel black: on 1024x768
# every screen pixel within one picture pixel shows it exactly and every one across an edge a mix
# of those it covers (fill-check); on 1600x1200 that is exactly twice its size. Escape ends it with
# status 0.
#
# Usage: fullscreen_under_wine.sh WINDOWS_BUILD HOST_BUILD   (HOST_BUILD holds the Linux
# brickrun-headless and fill-check)
set -u

# shellcheck source=SCRIPTDIR/../e2e/xvfb_game.sh
source "$(dirname "$0")/../e2e/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$@"
start_test
make_work fullscreen

[[ -x $HOST/fill-check ]] || fail "$HOST/fill-check is missing (built from tests/e2e/fill_check.cpp)"
"$HOST/brickrun-headless" --data "$WINBUILD/data" --presents 3 --shot "3:$WORK/headless-title.bmp" \
    2>/dev/null || fail "the Linux headless runner cannot draw the title"

for size in 1024x768 1600x1200; do
    width=${size%x*} height=${size#*x}
    start_display "$size"
    (cd "$WINBUILD/data" && exec wine "$WINBUILD/brickrun-fs.exe") 2>"$WORK/game.err" &
    GAME_PID=$!
    screen_shows_title() {
        import -window root "png:$WORK/screen-$size.png" &&
            convert "$WORK/screen-$size.png" -alpha off -depth 8 "rgb:$WORK/screen.rgb" &&
            "$HOST/fill-check" "$WORK/headless-title.bmp" "$WORK/screen.rgb" "$size" "${size}+0+0" >"$WORK/fill.log"
    }
    retry 200 screen_shows_title ||
        fail "$size: the screen never showed the title filled, sharp (kept: screen-$size.png): $(cat "$WORK/fill.log")"
    shown=$(cat "$WORK/fill.log")
    if [[ $size == 1600x1200 ]]; then
        # Twice the size: every screen pixel lies within one picture pixel.
        [[ $shown == "1920000 pixels within one picture pixel"* ]] || fail "1600x1200 is not exactly 2x: $shown"
    fi
    WINDOW=$(xdotool search --onlyvisible --class brickrun-fs.exe | head -n 1)
    timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "$size: the window does not take the focus"
    escape_ends_game
    echo "ok: $size shows the title menu filling the screen: $shown; Escape ends it with status 0"
    stop_game_and_display
done
echo "passed"
