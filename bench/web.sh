#!/usr/bin/env bash
# The browser build's cost: the whole-game clear (3600 presents, pictures drawn) played by the
# native brickrun-headless and by the one built for node, each timed three times, and the ratio of
# their best times (the wasm game frame should cost at most twice a native one); then the page in
# headless Chromium over 10 s of play: pictures a second and the longest gap between two.
# Prints numbers; asserts nothing.
#
# Usage: bench/web.sh NATIVE_BUILD WEB_BUILD   (e.g. build/release build/web, after scripts/web)
set -eu
native=$(cd "$1" && pwd)
web=$(cd "$2" && pwd)
clear=$(cd "$(dirname "$0")/.." && pwd)/tests/clears/game.txt
best() {
    local best=999999 start end ms
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@" --data "$native/data" --input "$clear" --presents 3600 2>/dev/null
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        ((ms < best)) && best=$ms
    done
    echo "$best"
}
n=$(best "$native/brickrun-headless")
w=$(best node --no-experimental-fetch "$web/brickrun-headless.js")
echo "whole-game clear, 3600 presents: native ${n} ms, wasm in node ${w} ms, ratio $(awk -v a="$w" -v b="$n" 'BEGIN { printf "%.2f", a / b }')"
node "$(dirname "$0")/page_pace.mjs" "$web"
