#!/usr/bin/env bash
# brickrun.exe's sound stream under Wine on a busy machine. Wine plays the game's winmm stream into
# the null sink of a private PulseAudio server; 10 s of the title tune are recorded from the sink's
# monitor while every core runs background work. The title tune never falls silent for even a
# millisecond (one of its voices always sounds), so a silence of 5 ms or more in the recording is
# the stream running dry. The check requires the tune heard through the stream, and says how many
# such silences it found and the longest.
#
# It does not require none. The game keeps 100 ms queued in winmm (platform/win32/winmm_sound.cpp);
# Wine moves it into a 100 ms buffer of its own and from there, every 10 ms, into PulseAudio, which
# holds only three of those periods. The last step is a thread of Wine 8's at ordinary priority in
# the game's process: held off for more than about 25 ms, it lets PulseAudio play silence whatever
# the game has queued, and that happens now and then even on an idle machine (0 to 3 silences of 5
# to 50 ms in 10 s, where the four short buffers of before gave 40 to 140).
#
# Usage: sound_under_wine.sh WINDOWS_BUILD HOST_BUILD
# Needs: Wine, Xvfb, xdotool, ImageMagick, pulseaudio, pulseaudio-utils.
set -u

# shellcheck source=SCRIPTDIR/../e2e/xvfb_game.sh
source "$(dirname "$0")/../e2e/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/../e2e/pulse_sink.sh
source "$(dirname "$0")/../e2e/pulse_sink.sh"
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$@"
start_test
make_work sound
trap on_sound_check_exit EXIT

start_pulse
start_display
(cd "$WINBUILD/data" && exec wine "$WINBUILD/brickrun.exe") 2>"$WORK/game.err" &
GAME_PID=$!
find_wine_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
start_busy
record_sink 10 "$WORK/title.raw"
stop_busy
read -r gaps longest heard < <(silences "$WORK/title.raw" 240)
((heard >= 9000)) || fail "the title tune was heard for $heard ms of the 10 s recorded"
echo "ok: 10 s of the title tune through winmm, Wine and PulseAudio on a busy machine:" \
    "$gaps silences of 5 ms or more (the longest $longest ms)"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
escape_ends_game
echo "passed"
