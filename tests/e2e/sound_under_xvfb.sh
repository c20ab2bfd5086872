#!/usr/bin/env bash
# End to end: the real brickrun hears a jump. With SDL's disk audio driver the mixed sound goes to
# a file as it is played; started without music, the stream is silent in play before Space and
# holds the jump after it. M switches the sound off, and the window shows a sign for it in its top
# right corner, until a second M.
#
# Usage: sound_under_xvfb.sh BUILD_DIR   (BUILD_DIR holds brickrun and data/)
# Needs: Xvfb, xdotool, ImageMagick.
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
take_build_dir "$@"
start_test

stream=$WORK/sound.raw
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$stream
# Whether the stream's 16-bit samples from byte $1 to byte $2 are all zero.
silent_between() {
    local nonzero
    nonzero=$(tail -c +"$(($1 + 1))" "$stream" | head -c "$(($2 - $1))" | od -An -v -tx1 | tr -s ' \n' '\n\n' | grep -vc '^00$\|^$')
    ((nonzero == 0))
}
size() { stat -c %s "$stream"; }
# Waits until the stream has grown by $1 ms of sound past byte $2 (48000 16-bit samples a second),
# at most 20 s.
grown_by() {
    local until=$(($2 + $1 * 96)) deadline=$(($(now_ms) + 20000))
    while (($(size) < until)); do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

start_display
start_game "$BUILD" --no-music
find_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
hold_key Return
picture_until game is_game $(($(now_ms) + 30000)) || fail "no level within 30 s of Return"
retry 100 test -s "$stream" || fail "SDL's disk audio driver wrote nothing to $stream"
# A second of play, by the stream's own clock: the banner's call has faded by then.
grown_by 1000 "$(size)" || fail "the stream does not grow in play"
before=$(size)
grown_by 500 "$before" || fail "the stream does not grow in play"
pressed_at=$(size)
silent_between "$before" "$pressed_at" || fail "the stream is not silent in play before Space (no music asked for)"
echo "ok: the stream is silent in play before Space ($(( (pressed_at - before) / 96 )) ms of it)"
hold_key space
grown_by 500 "$pressed_at" || fail "the stream stops after Space"
after=$(size)
silent_between "$pressed_at" "$after" && fail "the stream stays silent after Space: no jump heard"
first=$(tail -c +"$((pressed_at + 1))" "$stream" | head -c "$((after - pressed_at))" | od -An -v -tx1 -w2 |
    awk '$0 !~ /^ *00 00$/ { print NR - 1; exit }')
echo "ok: the jump is in the stream $(( first * 1000 / 48000 )) ms after the stream's end when Space went down"

# The sign's dark outline in the corner where it goes, over the sky.
sign_shown() {
    (($(import -window "$WINDOW" -crop 40x32+752+8 -depth 8 txt:- | grep -c '#1E1E1E') > 40))
}
sign_gone() { ! sign_shown; }
sign_gone || fail "a mute sign shows before M"
hold_key m
retry 50 sign_shown || fail "no mute sign within 5 s of M"
picture_stays muted sign_shown $(($(now_ms) + 1000)) || fail "the mute sign does not stay while muted"
hold_key m
retry 50 sign_gone || fail "the mute sign stays 5 s after the second M"
echo "ok: M shows the mute sign while the sound is off, and a second M takes it away"
escape_ends_game
echo "passed"
