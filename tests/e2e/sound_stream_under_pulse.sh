#!/usr/bin/env bash
# End to end: the real brickrun's sound stream has no gaps on a busy machine. The game plays
# through SDL's PulseAudio backend into a null sink of a private PulseAudio server; 10 s of the
# title tune are recorded from the sink's monitor while every core runs a busy loop. The title
# tune never falls silent for even a millisecond (one of its voices always sounds), so a silence
# of 5 ms or more in the recording is the stream running dry.
#
# Usage: sound_stream_under_pulse.sh BUILD_DIR   (BUILD_DIR holds brickrun and data/)
# Needs: Xvfb, xdotool, ImageMagick, pulseaudio, pulseaudio-utils.
set -u

# shellcheck source=SCRIPTDIR/xvfb_game.sh
source "$(dirname "$0")/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/pulse_sink.sh
source "$(dirname "$0")/pulse_sink.sh"
take_build_dir "$@"
start_test
trap on_sound_check_exit EXIT

start_pulse
start_display
SDL_AUDIODRIVER=pulseaudio start_game "$BUILD"
find_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
start_busy
record_sink 10 "$WORK/title.raw"
stop_busy
read -r gaps longest heard < <(silences "$WORK/title.raw" 240)
((heard >= 9000)) || fail "the title tune was heard for $heard ms of the 10 s recorded"
((gaps == 0)) || fail "$gaps silences of 5 ms or more in 10 s of the title tune (the longest $longest ms)"
echo "ok: 10 s of the title tune through SDL and PulseAudio on a busy machine, no silence of 5 ms or more"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
escape_ends_game
echo "passed"
