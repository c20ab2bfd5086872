# shellcheck shell=bash
# Sourced by the end-to-end test and the pacing benchmark: a private Xvfb display, the real game
# running on it from its data folder, and ways to drive and look at its window.
#
# Call make_work_folder first; call stop_game_and_display from the EXIT trap, so that the game and
# the display go away on every way out. An end-to-end test calls start_test instead, which does both.

WORK=
GAME_PID=
XVFB_PID=
WINDOW=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# BUILD: the one argument of an end-to-end test, the build folder, as an absolute path.
take_build_dir() {
    [[ $# -eq 1 && -d $1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
    BUILD=$(cd "$1" && pwd)
}

# WORK: a fresh folder for screenshots and logs.
make_work_folder() {
    WORK=$(mktemp -d)
    # For sanitized builds: libdbus (SDL asks it for a session bus) keeps an allocation to the end
    # that LeakSanitizer would count against the game. Not listing the suppressions used keeps
    # stderr empty for a game that leaks nothing of its own.
    echo "leak:libdbus-1.so" >"$WORK/lsan.supp"
    export LSAN_OPTIONS="suppressions=$WORK/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
}

# For the end-to-end tests: a work folder, kept (and named on stderr) only when the test fails, and
# the tools they need.
start_test() {
    make_work_folder
    trap on_test_exit EXIT
    trap 'exit 130' INT TERM
    for tool in Xvfb xdotool import convert; do
        command -v "$tool" >/dev/null || fail "$tool is missing (packages xvfb xdotool imagemagick)"
    done
}
on_test_exit() {
    local status=$?
    stop_game_and_display
    if ((status == 0)); then
        rm -rf "$WORK"
    else
        echo "screenshots, logs and recordings kept in $WORK" >&2
    fi
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits up to $1 tenths of a second for the command after it to succeed.
retry() {
    local tries=$1
    shift
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

# Xvfb picks a free display number itself (-displayfd) and writes it once it accepts clients. The
# screen is 1024x768 unless $1 gives another size.
start_display() {
    : >"$WORK/display"  # empty before Xvfb starts, so a display started before is not taken
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$WORK/display" \
        2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    retry 100 test -s "$WORK/display" || fail "Xvfb did not start: $(tail -n 3 "$WORK/xvfb.log")"
    DISPLAY=":$(head -n 1 "$WORK/display")"
    export DISPLAY
}

# Runs BUILD_DIR/brickrun (or the program named in GAME_PROGRAM) in BUILD_DIR/data, where it finds
# its pictures and levels, with the options after BUILD_DIR.
start_game() {
    local build=$1 program=${GAME_PROGRAM:-brickrun}
    shift
    [[ -x $build/$program && -d $build/data ]] || fail "no $build/$program with its data folder"
    (cd "$build/data" && exec "$build/$program" "$@") 2>"$WORK/game.err" &
    GAME_PID=$!
}

# The game's window, found by its window class once it is mapped.
find_window() {
    WINDOW=$(timeout 10 xdotool search --sync --onlyvisible --class brickrun | head -n 1)
    [[ -n $WINDOW ]] || fail "no visible window of class brickrun within 10 s"
}

# Holds a key long enough to span several of the game's keyboard snapshots.
hold_key() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
}

# Screenshot of the window as "total black bright sky" pixel counts; bright is every channel at
# least 224, sky the game's sky colour 00C0FF. The picture stays in $WORK/$1.png.
shoot() {
    import -window "$WINDOW" "png:$WORK/$1.png" || return 1
    convert "$WORK/$1.png" -depth 8 -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+): \( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4/' |
        awk '{ total += $1 }
             $2 == 0 && $3 == 0 && $4 == 0 { black += $1 }
             $2 >= 224 && $3 >= 224 && $4 >= 224 { bright += $1 }
             $2 == 0 && $3 == 192 && $4 == 255 { sky += $1 }
             END { print total + 0, black + 0, bright + 0, sky + 0 }'
}

# Screenshots until the check $2 accepts one (it reads total, black, bright and sky) or the clock
# passes $3; fails early if the game has gone.
picture_until() {
    local name=$1 check=$2 deadline=$3
    while :; do
        game_running || fail "the game ended by itself: $(tail -n 3 "$WORK/game.err")"
        read -r total black bright sky < <(shoot "$name")
        "$check" && return 0
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}
# Whether the rectangle W x H at X,Y of the window is all the game's sky colour.
region_is_sky() {
    local counts
    counts=$(import -window "$WINDOW" -crop "$3x$4+$1+$2" -depth 8 rgb:- 2>/dev/null | od -An -v -tx1 -w3 |
        awk '{ n += 1; if ($0 ~ /^ *00 c0 ff$/) sky += 1 } END { print n + 0, sky + 0 }')
    read -r all sky <<<"$counts"
    ((all == $3 * $4 && sky == all))
}

# Right held until the hero has walked a whole cell from where a level starts it (x 67, feet at
# 535): its start cell then shows only sky. Fails after $1 seconds.
walk_right_a_cell() {
    local deadline=$(($(now_ms) + $1 * 1000))
    xdotool keydown Right
    until region_is_sky 67 503 32 32; do
        (($(now_ms) < deadline)) || { xdotool keyup Right; return 1; }
        sleep 0.05
    done
    xdotool keyup Right
}

# Screenshots until the clock passes $3, every one of which the check $2 must accept: what must
# not happen (a key the game must not see) is looked for over a stretch of play.
picture_stays() {
    local name=$1 check=$2 deadline=$3
    while (($(now_ms) < deadline)); do
        game_running || fail "the game ended by itself: $(tail -n 3 "$WORK/game.err")"
        read -r total black bright sky < <(shoot "$name")
        "$check" || return 1
        sleep 0.05
    done
}

is_title() { ((total > 0 && black < total / 2)); }
is_banner() { ((black * 100 >= total * 95 && bright >= 50)); }
is_game() { ((sky * 2 >= total)); }

# Escape, held on the focused window, must end the game within 10 s with status 0.
escape_ends_game() {
    local status
    hold_key Escape
    retry 100 game_ended || fail "the game still runs 10 s after Escape"
    wait "$GAME_PID"
    status=$?
    GAME_PID=
    ((status == 0)) || fail "Escape ended the game with status $status: $(tail -n 3 "$WORK/game.err")"
}

# A game that has ended is gone once bash reaps it, and a zombie until then.
game_running() {
    kill -0 "$GAME_PID" 2>/dev/null && [[ $(awk '{ print $3 }' "/proc/$GAME_PID/stat" 2>/dev/null) != Z ]]
}
game_ended() { ! game_running; }

stop_game_and_display() {
    if [[ -n $GAME_PID ]] && game_running; then
        kill "$GAME_PID" 2>/dev/null
        retry 20 game_ended || kill -KILL "$GAME_PID" 2>/dev/null
    fi
    [[ -n $GAME_PID ]] && wait "$GAME_PID" 2>/dev/null
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    GAME_PID=
    XVFB_PID=
}
