# shellcheck shell=bash
# Sourced by the checks of the Windows programs: Wine, quiet, in the prefix that make_prefix.sh
# makes afresh at the start of each run, and a work folder inside the Windows build, so that the
# programs are given short relative paths rather than Linux ones.
#
# WINBUILD: the Windows build folder (build/windows); HOST: the Linux build whose brickrun-headless
# the Windows programs are compared with (build/release).

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# No debug channels, no .NET or HTML engine installers, no desktop menu entries.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

take_builds() {
    [[ $# -eq 2 && -d $1 && -d $2 ]] || { echo "usage: $0 WINDOWS_BUILD HOST_BUILD" >&2; exit 2; }
    WINBUILD=$(cd "$1" && pwd)
    HOST=$(cd "$2" && pwd)
    export WINEPREFIX=$WINBUILD/wine-prefix
    [[ -f $WINEPREFIX/system.reg ]] || fail "no Wine prefix in $WINEPREFIX (make_prefix.sh makes it)"
    command -v wine >/dev/null || fail "wine is missing (scripts/setup windows installs it)"
}

# WORK: a fresh folder in the Windows build, named after the check, kept when the check fails.
make_work() {
    WORK=$WINBUILD/wine-checks/$1
    rm -rf "$WORK"
    mkdir -p "$WORK"
}

# The game window, for the checks that show one (they source tests/e2e/xvfb_game.sh first): Wine
# names its X windows after the program; the game's is the one that shows the 800x600 picture.
find_wine_window() {
    local deadline=$(($(now_ms) + 20000)) id
    while (($(now_ms) < deadline)); do
        for id in $(xdotool search --onlyvisible --class brickrun.exe 2>/dev/null); do
            if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 800x600'; then
                WINDOW=$id
                return 0
            fi
        done
        sleep 0.1
    done
    fail "no 800x600 window of brickrun.exe within 20 s: $(tail -n 3 "$WORK/game.err")"
}
