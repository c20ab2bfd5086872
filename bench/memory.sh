#!/usr/bin/env bash
# Memory over long play: resident memory over 1,000 level loads in one process (bench_memory), and
# the whole-game clear under valgrind memcheck: errors, and bytes definitely and indirectly lost.
# Prints numbers only; asserts nothing.
#
# Usage: bench/memory.sh BUILD_DIR   (BUILD_DIR holds bench/bench_memory, brickrun-headless, data/)
# Needs: valgrind.
set -u

[[ $# -eq 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
command -v valgrind >/dev/null || { echo "valgrind is missing (package valgrind)" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

(cd "$BUILD/data" && "$BUILD/bench/bench_memory" 1000) 2>/dev/null

# The clear plays the three levels, the game-over screen and the menu; then the program ends by
# itself at the present limit, so everything it holds at the end is counted.
start=$(date +%s)
valgrind --tool=memcheck --leak-check=full --error-exitcode=0 --log-file="$WORK/memcheck.log" \
    "$BUILD/brickrun-headless" --data "$BUILD/data" --input "$HERE/../tests/clears/game.txt" \
    --presents 3600 2>/dev/null
seconds=$(($(date +%s) - start))
errors=$(sed -nE 's/.*ERROR SUMMARY: ([0-9,]+) errors.*/\1/p' "$WORK/memcheck.log")
definitely=$(sed -nE 's/.*definitely lost: ([0-9,]+) bytes.*/\1/p' "$WORK/memcheck.log")
indirectly=$(sed -nE 's/.*indirectly lost: ([0-9,]+) bytes.*/\1/p' "$WORK/memcheck.log")
echo "whole-game clear under memcheck (${seconds} s): ${errors:-?} errors, ${definitely:-0} bytes definitely lost, ${indirectly:-0} indirectly lost"
grep -q "All heap blocks were freed" "$WORK/memcheck.log" && echo "every heap block was freed"
