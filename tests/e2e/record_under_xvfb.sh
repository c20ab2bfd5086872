#!/usr/bin/env bash
# End to end: the real brickrun records a game played with real key events on a private X display
# (Return, a walk to the right, Escape), and brickrun-headless replays the recording to the same end:
# game frames, the hero further right than where it started, the same last frame as the quit.
#
# Usage: record_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun, brickrun-headless and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert).
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
[[ -x $BUILD/brickrun-headless ]] || fail "$BUILD/brickrun-headless is missing"

# A bad command line is refused in one line with status 2, before any window.
for args in "--frobnicate" "--record" "--record x.rec extra"; do
    # shellcheck disable=SC2086
    (cd "$BUILD/data" && exec env -u DISPLAY timeout 10 "$BUILD/brickrun" $args) 2>"$WORK/args.err"
    status=$?
    lines=$(wc -l <"$WORK/args.err")
    ((status == 2 && lines == 1)) || fail "brickrun $args: status $status and $lines lines, not 2 and 1"
done
echo "ok: bad options are refused with status 2 and one line"

start_display
start_game "$BUILD" --record "$WORK/play.rec"
find_window
# Slow machines get generous limits: only what the recording holds is compared, never the timing.
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
hold_key Return
picture_until game is_game $(($(now_ms) + 30000)) || fail "no level within 30 s of Return"
echo "ok: the game started"

walk_right_a_cell 30 || fail "the hero did not walk a cell to the right within 30 s of Right"
escape_ends_game
[[ -s $WORK/play.rec ]] || fail "no recording was written"
echo "ok: Escape ended the recorded game with status 0; $(wc -c <"$WORK/play.rec") bytes recorded"

"$BUILD/brickrun-headless" --data "$BUILD/data" --replay "$WORK/play.rec" \
    --trace "$WORK/replay.jsonl" 2>"$WORK/replay.err"
status=$?
((status == 0)) || fail "the replay ended with status $status: $(grep -v warning "$WORK/replay.err")"

# The hero's x plus the level's scroll: how far into the level it stands.
progress() {
    sed -E 's/.*"hero":\{"x":([-0-9.e+]+),"vx":[^,]*,"y":[^,]*,"vy":[^,]*,"scroll":([-0-9.e+]+),.*/\1 \2/' |
        awk '{ printf "%d\n", $1 + $2 }'
}
frames=$(grep -c '"screen":"game"' "$WORK/replay.jsonl")
((frames > 10)) || fail "the replay shows $frames game frames"
first=$(grep -m 1 '"screen":"game"' "$WORK/replay.jsonl" | progress)
last_line=$(tail -n 1 "$WORK/replay.jsonl")
last=$(progress <<<"$last_line")
[[ $last_line == *'"screen":"game"'* ]] || fail "the replay does not end in a game frame: ${last_line:0:80}"
((last > first + 32)) || fail "the hero did not move right in the replay: from $first to $last"
echo "ok: the replay ends after $frames game frames with the hero moved from $first to $last"
echo "passed"
