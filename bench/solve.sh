#!/usr/bin/env bash
# The solver's time on the three shipped levels: each proved alone with brickrun-solve --level, as
# the level editor's P and brickrun-assets check-pack prove a level, and held to two bounds.
#
# 1. At most 5 s a level, the promise the README makes for levels like ours. Checked on processor
#    time (user + system): the search runs on one core, so on an idle machine that is its wall
#    time, while on a machine shared with other work the wall time says more about the neighbours.
# 2. At most 704 times the processor time of replaying the clear it found without pictures (the
#    replay's own start-up taken off, measured the same way in this run). The search keeps 8
#    moments and tries 11 choices of keys from each, so every frame of its clear was paid for by at
#    least 88 frames played, each with a snapshot put back and one taken; 8 times that floor
#    (704) leaves room for dead ends and their wider beam, and a search beyond it is wasting its
#    time on something other than playing the game.
#
# Usage: bench/solve.sh BUILD_DIR   (a release build holding brickrun-solve, brickrun-headless and
# data/). Status 1 when a level is over a bound or not proved.
set -u

[[ $# -eq 1 && -x $1/brickrun-solve && -x $1/brickrun-headless ]] ||
    { echo "usage: $0 BUILD_DIR (with brickrun-solve and brickrun-headless built)" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
REPLAYS=20
PROMISE_MS=5000
FACTOR=704

# Milliseconds of wall and of processor time (user + system) of a command, as "WALL CPU".
timed() {
    local TIMEFORMAT='%R %U %S' times
    times=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}

replays() {
    local presents=$1 i
    for ((i = 0; i < REPLAYS; ++i)); do
        "$BUILD/brickrun-headless" --data "$BUILD/data" --levels "$WORK/pack$n" \
            --input "$WORK/level$n.txt" --no-pictures --presents "$presents"
    done
}

status=0
for n in 1 2 3; do
    level="$HERE/../assets/maps/level$n.txt"
    mkdir -p "$WORK/pack$n" && cp "$level" "$WORK/pack$n/"
    read -r wall cpu < <(timed "$BUILD/brickrun-solve" --data "$BUILD/data" --level "$level" \
        --out "$WORK/level$n.txt" --path "$WORK/level$n.path")
    if [[ ! -s $WORK/level$n.path || ! -s $WORK/level$n.txt ]]; then
        echo "level$n: not proved"; status=1; continue
    fi
    presents=$(tail -n 1 "$WORK/level$n.path" | cut -d' ' -f1)
    read -r _ replay < <(timed replays "$presents")
    read -r _ start < <(timed replays 1)
    replay_us=$(( (replay - start) * 1000 / REPLAYS ))
    (( replay_us > 0 )) || replay_us=1
    bound=$(( replay_us * FACTOR / 1000 ))
    verdict=ok
    (( cpu <= PROMISE_MS )) || { verdict="over ${PROMISE_MS} ms"; status=1; }
    (( cpu <= bound )) || { verdict="over ${FACTOR} replays"; status=1; }
    printf 'level%d: proved in %d.%03d s (processor %d.%03d s), %d presents; replay of its clear %d us, bound %d ms (x%d): %s\n' \
        "$n" $((wall / 1000)) $((wall % 1000)) $((cpu / 1000)) $((cpu % 1000)) "$presents" \
        "$replay_us" "$bound" "$(( cpu * 1000 / replay_us ))" "$verdict"
done
exit $status
