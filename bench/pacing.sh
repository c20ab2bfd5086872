#!/usr/bin/env bash
# How well the real game keeps its pace of one frame per 33 ms, and what the pace costs: runs
# brickrun on a private X display, starts a game, and during play measures the interval between
# the pictures reaching the window (median and worst over FRAMES frames, by the X server's clock)
# and the CPU time brickrun used meanwhile, as a percentage of one core. Prints numbers only.
#
# Usage: pacing.sh BUILD_DIR [FRAMES]   (BUILD_DIR holds brickrun, frame-times and data/)
# Needs: Xvfb, xdotool, ImageMagick.
set -u

[[ $# -ge 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR [FRAMES]" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
FRAMES=${2:-300}
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../tests/e2e/xvfb_game.sh
source "$HERE/../tests/e2e/xvfb_game.sh"

make_work_folder
trap 'stop_game_and_display; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

[[ -x $BUILD/frame-times ]] || fail "$BUILD/frame-times is missing (built from bench/frame_times.cpp)"

title_drawn() {
    local total black
    read -r total black _ < <(shoot title) && ((total > 0 && black < total / 2))
}

# User plus system CPU time of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Clock ticks ($1) used over milliseconds ($2) as a percentage of one core, to a tenth.
core_percent() {
    awk -v ticks="$1" -v ms="$2" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f", ticks * 100000 / hz / ms }'
}

start_display
start_game "$BUILD"
find_window
retry 50 title_drawn || fail "no title menu within 5 s"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
hold_key Return
sleep 4  # the level banner lasts 3.3 s; play starts after it

game_before=$(cpu_ticks "$GAME_PID")
server_before=$(cpu_ticks "$XVFB_PID")
started=$(now_ms)
result=$("$BUILD/frame-times" "$WINDOW" "$FRAMES" 60) || fail "frame-times measured nothing"
elapsed=$(($(now_ms) - started))
game_ticks=$(($(cpu_ticks "$GAME_PID") - game_before))
server_ticks=$(($(cpu_ticks "$XVFB_PID") - server_before))
read -r total _ _ sky < <(shoot after)

read -r _ count _ median _ _ worst _ <<<"$result"
echo "frames:       $count intervals over $elapsed ms"
echo "median:       $median ms"
echo "worst:        $worst ms"
echo "cpu brickrun: $(core_percent "$game_ticks" "$elapsed")% of one core"
echo "cpu Xvfb:     $(core_percent "$server_ticks" "$elapsed")% of one core (puts the pictures on its screen)"
((sky * 2 >= total)) || echo "note: the level was no longer on screen at the end; a banner may have run during the count"
