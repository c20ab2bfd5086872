# shellcheck shell=bash
# Sourced by the checks of the game's sound stream, on Linux and under Wine: a private PulseAudio
# server whose one sink is a null sink in the game's own format (16-bit mono at 48000 Hz, so nothing
# is resampled on the way), a recording of what reaches it, a machine kept busy meanwhile, and the
# silences in a recording.
#
# Needs WORK (a fresh folder of the check's own), fail and retry (tests/e2e/xvfb_game.sh). Call
# stop_pulse_and_busy on every way out.

PULSE_PID=
BUSY_PIDS=()

# A PulseAudio server of this check's own, found by its clients (the game, Wine, parec) through
# PULSE_SERVER, its runtime files in WORK; never the user's.
start_pulse() {
    local tool
    for tool in pulseaudio pactl parec od; do
        command -v "$tool" >/dev/null || fail "$tool is missing (packages pulseaudio pulseaudio-utils)"
    done
    export XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$WORK/pulse-home"
    HOME=$WORK/pulse-home pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no -n \
        --log-target=stderr --log-level=error \
        --load="module-native-protocol-unix auth-anonymous=1" \
        --load="module-null-sink sink_name=brickrun rate=48000 channels=1 format=s16le" \
        2>"$WORK/pulse.log" &
    PULSE_PID=$!
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    retry 100 pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(tail -n 3 "$WORK/pulse.log")"
    pactl set-default-sink brickrun || fail "no null sink named brickrun"
}

# One endless loop on every core, until stop_pulse_and_busy: background work, at the low priority
# a desktop gives work nobody is waiting on, so the game and the sound server are served first.
start_busy() {
    local _
    for _ in $(seq "$(nproc)"); do
        nice -n 19 bash -c 'while :; do :; done' &
        BUSY_PIDS+=($!)
    done
}

stop_busy() {
    ((${#BUSY_PIDS[@]} > 0)) || return 0
    kill "${BUSY_PIDS[@]}" 2>/dev/null
    wait "${BUSY_PIDS[@]}" 2>/dev/null
    BUSY_PIDS=()
}

# For a check's EXIT trap, after start_test: the server and the busy loops go, then the test's own
# ending (which keeps its work folder when it failed).
on_sound_check_exit() {
    local status=$?
    stop_pulse_and_busy
    (exit "$status")
    on_test_exit
}

stop_pulse_and_busy() {
    stop_busy
    if [[ -n $PULSE_PID ]]; then
        kill "$PULSE_PID" 2>/dev/null
        wait "$PULSE_PID" 2>/dev/null
        PULSE_PID=
    fi
}

# Records $1 seconds of what reaches the sink into the file $2: 16-bit mono samples at 48000 Hz.
record_sink() {
    parec --device=brickrun.monitor --format=s16le --rate=48000 --channels=1 --raw \
        --latency-msec=20 2>"$WORK/parec.err" | head -c $(($1 * 96000)) >"$2"
    (($(stat -c %s "$2") == $1 * 96000)) || fail "parec recorded $(stat -c %s "$2") bytes: $(tail -n 2 "$WORK/parec.err")"
}

# The silences of a recording $1: runs of exactly silent samples at least $2 samples long, between
# its first and its last sound. Prints how many, the longest in milliseconds, and how much of the
# recording lies between the first and last sound, in milliseconds.
silences() {
    od -An -v -td2 -w2 "$1" | awk -v least="$2" '
        $1 != 0 {
            if (heard && quiet >= least) { count++; if (quiet > longest) longest = quiet }
            if (!heard) first = NR
            heard = 1; quiet = 0; last = NR
            next
        }
        heard { quiet++ }
        END { printf "%d %.1f %d\n", count, longest / 48, (last - first) / 48 }'
}
