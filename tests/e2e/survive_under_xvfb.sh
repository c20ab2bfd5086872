#!/usr/bin/env bash
# End to end: the real brickrun on a private X display survives what players do to its window.
# Closed in the title menu, on the level banner and in play, or stopped with SIGTERM or SIGINT, it
# ends at once and cleanly: status 0, nothing on stderr. And a key held as the window loses the
# keyboard focus, and let go while the focus is elsewhere, is not stuck down once the focus is
# back: a recording says what the game read, and its replay how the hero moved.
#
# Usage: survive_under_xvfb.sh BUILD_DIR
#   (BUILD_DIR holds brickrun, brickrun-headless, send-close, take-focus, recorded-keys and data/)
# Needs: Xvfb, xdotool, ImageMagick (import, convert).
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"

start_test
for program in brickrun-headless send-close take-focus recorded-keys; do
    [[ -x $BUILD/$program ]] || fail "$BUILD/$program is missing"
done
start_display

# Slow machines get generous limits throughout: the checks are on what happened, not how fast.
start_and_see_title() {
    start_game "$BUILD" "$@"
    find_window
    picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
    timeout 5 xdotool windowfocus --sync "$WINDOW" ||
        fail "the window does not take the keyboard focus"
}

close_window() {
    "$BUILD/send-close" "$WINDOW" || fail "$1: the window takes no close request"
    CLOSED=$(now_ms)
}

# The game must end by itself within $2 seconds of the close request, with status 0 and nothing on
# stderr: a normal game warns of nothing.
expect_clean_end() {
    local when=$1 limit=$2 status errors
    retry $((limit * 10)) game_ended || fail "$when: the game still runs $limit s after the close"
    wait "$GAME_PID"
    status=$?
    GAME_PID=
    errors=$(cat "$WORK/game.err")
    ((status == 0)) || fail "$when: the game ended with status $status: $(grep -m 5 . <<<"$errors")"
    [[ -z $errors ]] || fail "$when: the game wrote to stderr: $(grep -m 5 . <<<"$errors")"
    echo "ok: closed $when, the game ended cleanly $(($(now_ms) - CLOSED)) ms after the request"
}

# Whether the band of the window the hero walks in (under the lowest blocks, above the ground) shows
# the same pixels three times over a second, within 15 s. Nothing else moves there while the hero
# stays short of where the level starts to scroll.
hero_stands() {
    local deadline=$(($(now_ms) + 15000)) band seen="" same=0
    while ((same < 2)); do
        (($(now_ms) < deadline)) || return 1
        sleep 0.5
        band=$(import -window "$WINDOW" -crop 800x48+0+496 rgb:- | md5sum)
        if [[ $band == "$seen" ]]; then ((same += 1)); else same=0 seen=$band; fi
    done
}

# ---- closed in the title menu and on the level banner ----
# Neither waits for the player or for its end: the game sees the request at its next picture.
start_and_see_title
close_window "in the title menu"
expect_clean_end "in the title menu" 1

start_and_see_title
hold_key Return
picture_until banner is_banner $(($(now_ms) + 20000)) || fail "no level banner within 20 s"
close_window "on the level banner"
expect_clean_end "on the level banner" 1

# ---- Ctrl+C and kill ----
# SIGINT and SIGTERM are close requests too: a clean end, not a death by the signal.
start_and_see_title
kill -TERM "$GAME_PID"
CLOSED=$(now_ms)
expect_clean_end "by SIGTERM in the title menu" 1
start_and_see_title
hold_key Return
picture_until game is_game $(($(now_ms) + 30000)) || fail "no level within 30 s of Return"
kill -INT "$GAME_PID"
CLOSED=$(now_ms)
expect_clean_end "by SIGINT in play" 1

# ---- the focus lost with Right held, Right let go elsewhere, the focus back; closed in play ----
# Every stretch with Right down is short: walking further than about 500 pixels into the
# level wakes the first walker, and the hero could die.
start_and_see_title --record "$WORK/focus.rec"
hold_key Return
picture_until game is_game $(($(now_ms) + 30000)) || fail "no level within 30 s of Return"
xdotool keydown Right
sleep 0.3
"$BUILD/take-focus" >"$WORK/other" 2>"$WORK/take-focus.err" &
FOCUS_PID=$!
retry 100 test -s "$WORK/other" ||
    fail "take-focus did not take the focus: $(cat "$WORK/take-focus.err")"
# SDL tells the game of a lost focus only after 200 ms, in case it comes straight back.
sleep 0.6
xdotool keyup Right
sleep 0.3
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the game window does not take the focus back"
kill "$FOCUS_PID"
wait "$FOCUS_PID" 2>/dev/null
hero_stands ||
    fail "the hero does not stop once the focus is back: the band it walks in keeps changing"
# A hero that walked on into the first walker stands still too, on the banner after its death.
picture_until standing is_game $(($(now_ms) + 1)) ||
    fail "the level is gone once the focus is back: the hero walked on and died?"
close_window "in play"
expect_clean_end "in play" 1

# One line per keyboard read: "failed" while the window lacked the focus, else the codes held.
"$BUILD/recorded-keys" "$WORK/focus.rec" >"$WORK/focus.keys" || fail "the recording does not read"
right="cd"  # the Right arrow's key code
first_failed=$(grep -n -m 1 '^failed$' "$WORK/focus.keys" | cut -d: -f1)
last_failed=$(grep -n '^failed$' "$WORK/focus.keys" | tail -n 1 | cut -d: -f1)
[[ -n $first_failed ]] || fail "no keyboard read failed while another window had the focus"
head -n "$first_failed" "$WORK/focus.keys" | grep -qw "$right" ||
    fail "Right was never read as held before the focus went"
tail -n +$((last_failed + 1)) "$WORK/focus.keys" >"$WORK/focus-back.keys"
after=$(wc -l <"$WORK/focus-back.keys")
stuck=$(grep -n -m 1 -w "$right" "$WORK/focus-back.keys" | cut -d: -f1)
[[ -z $stuck ]] || fail "Right is read as held in read $stuck after the focus came back"
((after >= 30)) || fail "only $after keyboard reads after the focus came back"
echo "ok: reads $first_failed to $last_failed failed without the focus; none of the $after after" \
    "has Right held"

"$BUILD/brickrun-headless" --data "$BUILD/data" --replay "$WORK/focus.rec" \
    --trace "$WORK/focus.jsonl" 2>"$WORK/replay.err" ||
    fail "the replay failed: $(grep -v warning "$WORK/replay.err")"
# Per present: the screen, lives, the hero's vx and how far into the level it stands (x + scroll).
field='"present":([0-9]+),"screen":"([a-z_]+)","lives":([-0-9]+),.*'
hero='"hero":\{"x":([-0-9]+),"vx":([^,]*),"y":[^,]*,"vy":[^,]*,"scroll":([-0-9]+),.*'
sed -E "s/^\{$field$hero/\1 \2 \3 \5 \4 \6/" "$WORK/focus.jsonl" |
    awk '{ print $1, $2, $3, $4, $5 + $6 }' >"$WORK/focus.hero"
# Read n is answered in present n + 1. While the reads fail the game keeps the last snapshot, so
# the hero walks on; it must still be walking when the focus comes back, or nothing was tested.
verdict=$(awk -v first=$((first_failed + 1)) -v back=$((last_failed + 1)) -v settle=25 '
    $2 == "game" && !playing { playing = 1; lives = $3 }
    playing && ($2 != "game" || $3 != lives) && !trouble {
        trouble = "present " $1 " shows " $2 " with " $3 " lives"
    }
    $1 == first { left = $5 }
    $1 == back { walking = $4 > 0; came_back = $5 }
    $1 >= back + settle {
        if (!moving && $4 != 0) moving = "present " $1 " has vx " $4
        if (!moving && standing && $5 != at) moving = "present " $1 " is at " $5 ", not " at
        standing += 1
        at = $5
    }
    END {
        if (trouble) print "the hero did not stay in play: " trouble
        else if (!walking) print "the hero was not walking when the focus came back (present " back ")"
        else if (moving) print "the hero still moves " settle " frames after the focus came back: " moving
        else if (standing < 3) print "only " standing " frames show the hero after it stopped"
        else {
            printf "ok: walked from %d to %d with the focus away, stopped at %d", left, came_back, at
            printf " and stood %d frames\n", standing
            exit 0
        }
        exit 1
    }' "$WORK/focus.hero") || fail "$verdict (focus.hero: present screen lives vx progress)"
echo "$verdict"
echo "passed"
