#!/usr/bin/env bash
# The game built for Windows plays exactly as on Linux: brickrun-headless.exe under Wine and the
# Linux brickrun-headless play the recorded clear of the whole game from the same script and data,
# and must write the same trace byte for byte and show the same pictures, pixel for pixel. The data
# the Windows build made must be the Linux build's, byte for byte, too.
#
# Usage: same_game_under_wine.sh WINDOWS_BUILD HOST_BUILD CLEAR
set -u
clear=${3:-}
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$1" "$2"
[[ -f $clear ]] || fail "no clear script $clear"
make_work same-game

diff -r "$WINBUILD/data" "$HOST/data" >"$WORK/data.diff" || fail "the Windows data differs from the Linux data: $(head -n 3 "$WORK/data.diff")"
echo "ok: the data is the same on both ($(find "$WINBUILD/data" -type f | wc -l) files)"

cp "$clear" "$WORK/clear.txt"
# Pictures from every stretch of the game: menu, banners, all three levels, the game-over screen.
shots=()
for present in 3 60 200 350 500 650 800 1000 1200 1400 1600 1800 2000 2300 2600 2900 3100 3300; do
    shots+=(--shot "$present:shot-$present.bmp")
done
run() {
    (cd "$WORK/$1" && exec "${@:2}" --data ../../../data --input ../clear.txt --presents 3500 \
        --trace trace.jsonl "${shots[@]}") 2>"$WORK/$1.err"
}
mkdir -p "$WORK/linux" "$WORK/windows"
run linux "$HOST/brickrun-headless" || fail "Linux: status $?: $(tail -n 2 "$WORK/linux.err")"
start=$(date +%s%N)
run windows wine "$WINBUILD/brickrun-headless.exe" || fail "Windows: status $?: $(tail -n 2 "$WORK/windows.err")"
took=$(( ($(date +%s%N) - start) / 1000000 ))

presents=$(wc -l <"$WORK/linux/trace.jsonl")
((presents > 2000)) || fail "the Linux run made only $presents presents"
cmp "$WORK/linux/trace.jsonl" "$WORK/windows/trace.jsonl" ||
    fail "the traces part: $(cmp "$WORK/linux/trace.jsonl" "$WORK/windows/trace.jsonl" | head -n 1)"
echo "ok: the same trace, byte for byte, over $presents presents ($(wc -c <"$WORK/linux/trace.jsonl") bytes; Wine took $took ms)"
for shot in "$WORK"/linux/shot-*.bmp; do
    cmp -s "$shot" "$WORK/windows/${shot##*/}" || fail "picture ${shot##*/} differs"
done
echo "ok: the same $(ls "$WORK"/linux/shot-*.bmp | wc -l) pictures, byte for byte"
diff <(grep -v warning "$WORK/linux.err") <(grep -v warning "$WORK/windows.err" | tr -d '\r') >/dev/null ||
    fail "the runs said different things: $(head -n 2 "$WORK/windows.err")"
rm -rf "$WORK"
echo "passed"
