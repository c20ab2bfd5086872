#!/usr/bin/env bash
# The README's commands, run as a reader pastes them. Every block marked runnable (the line before
# its fence is "<!-- runnable -->", which a reader of the rendered page does not see) runs in bash
# at the root of a fresh copy of the repository's files, as the tree stands after scripts/play: the
# given build is linked in as build/release. A block stops at its first failing command. A block
# marked "<!-- prints -->" must be exactly what the runnable block before it printed. Everything is
# written into the test's own temporary folder (HOME is there too).
#
# Usage: run_blocks.sh BUILD_DIR [README]   (BUILD_DIR: the release build scripts/play made)
set -u

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[[ $# -ge 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR [README]" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
README=${2:-$SOURCE/README.md}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The blocks, each as a file: NNN.run (commands) or NNN.prints (what the run before must print),
# with the README's line number of its fence in NNN.line.
mkdir -p "$WORK/blocks"
# A block in a list item is indented; its lines lose the fence's indentation.
awk -v out="$WORK/blocks" '
    /^ *<!-- runnable -->$/ { kind = "run"; next_fence = 1; next }
    /^ *<!-- prints -->$/ { kind = "prints"; next_fence = 1; next }
    next_fence && /^ *```/ { n += 1; file = sprintf("%s/%03d.%s", out, n, kind);
                            indent = index($0, "`") - 1
                            printf "%d\n", NR > sprintf("%s/%03d.line", out, n); inside = 1; next_fence = 0; next }
    next_fence { printf "line %d: a marked block must start on the next line\n", NR > "/dev/stderr"; exit 1 }
    inside && /^ *```$/ { inside = 0; next }
    inside { print substr($0, indent + 1) > file }
' "$README" || fail "the README's marked blocks cannot be read"
count=$(find "$WORK/blocks" -name '*.run' | wc -l)
((count > 0)) || fail "the README marks no block runnable"

# The repository's files as they stand (tracked, and new ones not ignored), and the build.
copy=$WORK/brickrun
mkdir -p "$copy/build" "$WORK/home"
git -C "$SOURCE" ls-files -z --cached --others --exclude-standard |
    tar -C "$SOURCE" --null -T - -cf - | tar -C "$copy" -xf - ||
    fail "cannot copy the repository's files"
# A tree of links: what the blocks write goes into the copy, never into the build itself. An install
# writes its list of files into the build folder it was configured in: that, too, goes to the copy.
cp -rs "$BUILD" "$copy/build/release" || fail "cannot link the build in"
rm "$copy/build/release/cmake_install.cmake"
sed "s|file(WRITE \"$BUILD/|file(WRITE \"$copy/build/release/|" "$BUILD/cmake_install.cmake" \
    >"$copy/build/release/cmake_install.cmake" || fail "cannot copy the build's install script"

printed=
for block in "$WORK"/blocks/*; do
    [[ $block == *.line ]] && continue
    line=$(cat "${block%.*}.line")
    if [[ $block == *.prints ]]; then
        diff <(cat "$block") "$printed" >"$WORK/diff" ||
            fail "README line $line: the block above printed something else:
$(cat "$WORK/diff")"
        echo "ok: README line $line: printed as shown"
        continue
    fi
    started=$(date +%s%N)
    printed=$WORK/printed-$line
    (cd "$copy" && HOME=$WORK/home timeout 300 bash -e -o pipefail "$block") >"$printed" 2>"$WORK/err"
    status=$?
    ((status == 0)) || fail "README line $line: status $status from
$(cat "$block")
$(tail -n 5 "$WORK/err")"
    echo "ok: README line $line: $(head -n 1 "$block" | cut -c1-70)... ($(( ($(date +%s%N) - started) / 1000000 )) ms)"
done
echo "passed: $count blocks"
