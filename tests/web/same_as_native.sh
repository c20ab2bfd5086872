#!/usr/bin/env bash
# brickrun-headless built for node plays every recorded clear and replays every kept recording to
# the same trace, the same sound and the same pictures as the native build, byte for byte.
#
# Usage: same_as_native.sh WEB_BUILD NATIVE_BUILD   (each holds brickrun-headless and data/;
#        the web one as brickrun-headless.js)
set -u
[[ $# -eq 2 && -f $1/brickrun-headless.js && -x $2/brickrun-headless ]] ||
    { echo "usage: $0 WEB_BUILD NATIVE_BUILD" >&2; exit 2; }
web=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# Plays one run both ways: the same arguments, outputs in $work/native and $work/node.
both() {
    local name=$1
    shift
    for side in native node; do
        mkdir -p "$work/$side"
        local out=$work/$side/$name
        local args=(--data "$native/data" "$@" --trace "$out.jsonl" --audio "$out.wav")
        [[ " $* " == *" --no-pictures "* ]] ||
            args+=(--shot "2:$out-2.bmp" --shot "250:$out-250.bmp" --shot "1700:$out-1700.bmp")
        if [[ $side == native ]]; then
            "$native/brickrun-headless" "${args[@]}" 2>"$out.err"
        else
            node --no-experimental-fetch "$web/brickrun-headless.js" "${args[@]}" 2>"$out.err"
        fi
        echo "$?" >"$out.status"
    done
    [[ $(cat "$work/native/$name.status") == 0 ]] || { echo "FAIL: $name: the native run failed"; failed=1; return; }
    local same=1
    for file in "$work/native/$name".*; do
        cmp -s "$file" "$work/node/$(basename "$file")" || { same=0; echo "FAIL: $name: $(basename "$file") differs"; }
    done
    for shot in 2 250 1700; do
        [[ -f $work/native/$name-$shot.bmp ]] || continue
        cmp -s "$work/native/$name-$shot.bmp" "$work/node/$name-$shot.bmp" ||
            { same=0; echo "FAIL: $name: the picture of present $shot differs"; }
    done
    if ((same)); then
        echo "ok: $name: the same $(wc -l <"$work/native/$name.jsonl") trace lines, $(stat -c %s "$work/native/$name.wav") bytes of sound and pictures"
    else
        failed=1
    fi
}

for clear in "$source_dir"/tests/clears/*.txt; do
    both "clear-$(basename "$clear" .txt)" --input "$clear" --presents 3600
done
for recording in "$source_dir"/tests/recordings/*.brr; do
    both "recording-$(basename "$recording" .brr)" --replay "$recording"
done
both "rules-only" --input "$source_dir/tests/clears/level1.txt" --presents 1000 --no-pictures
((failed == 0)) && echo "passed"
exit "$failed"
