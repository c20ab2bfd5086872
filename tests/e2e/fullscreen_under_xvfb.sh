#!/usr/bin/env bash
# End to end: brickrun-fs covers the whole screen and shows the 800x600 picture at the largest whole
# multiple that fits, centred, with every other pixel black. On screens of 1024x768 and 1920x1080
# (once, offset by 112,84 and 560,240) and 1600x1200 (twice, every picture pixel a 2x2 block).
#
# Usage: fullscreen_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun-fs and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert, compare).
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
command -v compare >/dev/null || fail "compare is missing (package imagemagick)"
GAME_PROGRAM=brickrun-fs

# How many pixels of an image file are not black.
not_black() {
    convert "$1" -fill white +opaque black -format %c histogram:info:- |
        awk '!/#000000/ { sum += $1 } END { print sum + 0 }'
}

for case in 1024x768:1 1920x1080:1 1600x1200:2; do
    size=${case%:*} scale=${case#*:}
    width=${size%x*} height=${size#*x}
    shown_w=$((800 * scale)) shown_h=$((600 * scale))
    left=$(((width - shown_w) / 2)) top=$(((height - shown_h) / 2))
    start_display "$size"
    start_game "$BUILD"
    find_window
    screen="$WORK/screen-$size.png"
    # The title menu, once drawn, stays as it is.
    title_shown() {
        import -window root "png:$screen" || return 1
        convert "$screen" -crop "${shown_w}x${shown_h}+$left+$top" +repage "$WORK/shown.png" &&
            (($(not_black "$WORK/shown.png") > shown_w * shown_h / 2))
    }
    retry 200 title_shown || fail "$size: no title menu in ${shown_w}x${shown_h} at $left,$top"
    convert "$screen" -fill black -draw "rectangle $left,$top $((left + shown_w - 1)),$((top + shown_h - 1))" \
        "$WORK/border.png"
    border=$(not_black "$WORK/border.png")
    ((border == 0)) || fail "$size: $border pixels outside the picture are not black"
    if ((scale > 1)); then
        # Each picture pixel is a block: sampling one pixel of each block and blowing it up again
        # gives back the same image.
        convert "$WORK/shown.png" -sample "$((100 / scale))%" -sample "$((100 * scale))%" \
            "$WORK/blocks.png"
        differ=$(compare -metric AE "$WORK/shown.png" "$WORK/blocks.png" null: 2>&1)
        [[ $differ == 0 ]] || fail "$size: $differ pixels break the ${scale}x${scale} blocks"
    fi
    echo "ok: $size shows the picture ${scale}x at $left,$top on black"
    stop_game_and_display
done
echo "passed"
