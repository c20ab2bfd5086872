#!/usr/bin/env bash
# How well the real game keeps its pace of one frame per 33 ms, and what the pace costs: runs
# brickrun on a private X display and measures the CPU time brickrun uses, as a percentage of one
# core, in the title menu, on the level banner and in play, and during play the interval between
# the pictures reaching the window (median and worst over FRAMES frames, by the X server's clock).
# With a SIZE (1600x1200, say) the window is resized to it first, on a display of that size, so the
# picture is scaled; with `full-screen` after it, brickrun-fs covers a display of that size instead.
# Prints numbers only.
#
# Usage: pacing.sh BUILD_DIR [FRAMES] [SIZE [full-screen]]   (BUILD_DIR holds brickrun, brickrun-fs,
# frame-times and data/)
# Needs: Xvfb, xdotool, ImageMagick.
set -u

[[ $# -ge 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR [FRAMES] [SIZE]" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
FRAMES=${2:-300}
SIZE=${3:-}
FULL=${4:-}
[[ -z $FULL || ($FULL == full-screen && -n $SIZE) ]] || { echo "usage: $0 BUILD_DIR [FRAMES] [SIZE [full-screen]]" >&2; exit 2; }
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../tests/e2e/xvfb_game.sh
source "$HERE/../tests/e2e/xvfb_game.sh"

make_work_folder
trap 'stop_game_and_display; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

[[ -x $BUILD/frame-times ]] || fail "$BUILD/frame-times is missing (built from bench/frame_times.cpp)"

# User plus system CPU time of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Clock ticks ($1) used over milliseconds ($2) as a percentage of one core, to a tenth.
core_percent() {
    awk -v ticks="$1" -v ms="$2" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f", ticks * 100000 / hz / ms }'
}

# The CPU brickrun uses over the next $1 seconds, as a percentage of one core.
cpu_over() {
    local before started
    before=$(cpu_ticks "$GAME_PID")
    started=$(now_ms)
    sleep "$1"
    core_percent $(($(cpu_ticks "$GAME_PID") - before)) $(($(now_ms) - started))
}

# Full screen, the picture may leave much of the screen black: the title is there once it shows.
shows_picture() { ((total > 0 && black * 100 < total * 95)); }

start_display "${SIZE:-1024x768}"
if [[ -n $FULL ]]; then
    GAME_PROGRAM=brickrun-fs start_game "$BUILD"
else
    start_game "$BUILD"
fi
find_window
[[ -z $SIZE || -n $FULL ]] || xdotool windowsize "$WINDOW" "${SIZE%x*}" "${SIZE#*x}"
picture_until title shows_picture $(($(now_ms) + 5000)) || fail "no title menu within 5 s"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
menu_cpu=$(cpu_over 3)
hold_key Return
banner_cpu=$(cpu_over 2.8)  # the level banner lasts 3.3 s; play starts after it
sleep 1.2

game_before=$(cpu_ticks "$GAME_PID")
server_before=$(cpu_ticks "$XVFB_PID")
started=$(now_ms)
result=$("$BUILD/frame-times" "$WINDOW" "$FRAMES" 60) || fail "frame-times measured nothing"
elapsed=$(($(now_ms) - started))
game_ticks=$(($(cpu_ticks "$GAME_PID") - game_before))
server_ticks=$(($(cpu_ticks "$XVFB_PID") - server_before))
read -r total _ _ sky < <(shoot after)

read -r _ count _ median _ _ worst _ <<<"$result"
echo "window:       ${SIZE:-800x600}${FULL:+ (full screen)}"
echo "frames:       $count intervals over $elapsed ms"
echo "median:       $median ms"
echo "worst:        $worst ms"
echo "cpu brickrun: $(core_percent "$game_ticks" "$elapsed")% of one core in play," \
    "$menu_cpu% in the title menu, $banner_cpu% on the level banner"
echo "cpu Xvfb:     $(core_percent "$server_ticks" "$elapsed")% of one core (puts the pictures on its screen)"
((sky * 2 >= total)) || echo "note: the level was no longer on screen at the end; a banner may have run during the count"
