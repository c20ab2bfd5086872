#!/usr/bin/env bash
# The real brickrun.exe under Wine on a private X display, driven with real key events:
# - without its levels it tells the player in a message box (and on stderr) and exits 1;
# - its window shows the title menu exactly as the headless runner draws it, pixel for pixel;
# - Return starts the level banner, Right walks the hero, Escape ends it with status 0;
# - what it recorded meanwhile replays the same on Linux and in brickrun-headless.exe;
# - a close request during play ends it with status 0.
#
# Usage: window_under_wine.sh WINDOWS_BUILD HOST_BUILD   (HOST_BUILD holds the Linux
# brickrun-headless and send-close)
set -u

# shellcheck source=SCRIPTDIR/../e2e/xvfb_game.sh
source "$(dirname "$0")/../e2e/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$@"
start_test
make_work window
[[ -x $HOST/send-close ]] || fail "$HOST/send-close is missing (built from tests/e2e/send_close.cpp)"

# Runs brickrun.exe in the folder $1 with the options after it.
start_wine_game() {
    local folder=$1
    shift
    (cd "$folder" && exec wine "$WINBUILD/brickrun.exe" "$@") 2>"$WORK/game.err" &
    GAME_PID=$!
}

# Waits up to $1 tenths of a second for the program to end; its status is then in $status.
ended_with() {
    retry "$1" game_ended || return 1
    wait "$GAME_PID"
    status=$?
    GAME_PID=
}

rgb() { convert "$1" -alpha off -depth 8 "rgb:$2"; }

start_display

# Without its levels: one line in a message box, and on stderr, then status 1 once it is closed.
mkdir -p "$WORK/no-maps"
cp -r "$WINBUILD/data/Graphics" "$WINBUILD/data/font.raw" "$WORK/no-maps/"
start_wine_game "$WORK/no-maps" --data .
box=
for _ in $(seq 200); do
    box=$(xdotool search --onlyvisible --name '^brickrun$' 2>/dev/null | head -n 1)
    [[ -n $box ]] && break
    game_running || break
    sleep 0.1
done
[[ -n $box ]] || fail "no message box within 20 s without the Maps folder: $(tail -n 3 "$WORK/game.err")"
import -window "$box" "$WORK/message-box.png"
timeout 5 xdotool windowfocus --sync "$box" || fail "the message box does not take the focus"
xdotool key Return
ended_with 100 || fail "the game still runs 10 s after its message box was closed"
line='brickrun: cannot load level 1: Maps\level1.map: cannot open the map file'
((status == 1)) || fail "without the Maps folder the status is $status, not 1"
grep -qxF "$line" <(tr -d '\r' <"$WORK/game.err") || fail "stderr lacks '$line': $(head -n 3 "$WORK/game.err")"
echo "ok: without the Maps folder, a message box and stderr say '$line'; status 1"

# The title menu, pixel for pixel as headless draws it.
"$HOST/brickrun-headless" --data "$WINBUILD/data" --presents 3 --shot "3:$WORK/headless-title.png" \
    2>/dev/null || fail "the Linux headless runner cannot draw the title"
rgb "$WORK/headless-title.png" "$WORK/headless-title.rgb"
started=$(now_ms)
start_wine_game "$WINBUILD/data" --record ../wine-checks/window/play.rec
find_wine_window
same_title() {
    import -window "$WINDOW" "png:$WORK/title.png" && rgb "$WORK/title.png" "$WORK/title.rgb" &&
        cmp -s "$WORK/title.rgb" "$WORK/headless-title.rgb"
}
retry 200 same_title || fail "the window never showed the headless title picture (kept: title.png, headless-title.png)"
echo "ok: the window shows the title menu exactly as headless draws it, $(($(now_ms) - started)) ms after start"

timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
pressed=$(now_ms)
hold_key Return
picture_until banner is_banner $((pressed + 3000)) || fail "no level banner within 3 s of Return"
picture_until game is_game $((pressed + 10000)) || fail "no level within 10 s of Return"
echo "ok: Return: the banner, then the level"
walk_right_a_cell 30 || fail "the hero did not walk a cell to the right within 30 s of Right"
hold_key Escape
ended_with 100 || fail "the game still runs 10 s after Escape"
((status == 0)) || fail "Escape ended the game with status $status: $(tail -n 3 "$WORK/game.err")"
echo "ok: Right walked the hero, Escape ended the game with status 0"

# The recording replays the same on both systems, and shows the walk.
"$HOST/brickrun-headless" --data "$WINBUILD/data" --replay "$WORK/play.rec" \
    --trace "$WORK/linux.jsonl" 2>"$WORK/linux.err" || fail "the Linux replay failed: $(tail -n 2 "$WORK/linux.err")"
(cd "$WORK" && exec wine "$WINBUILD/brickrun-headless.exe" --data ../../data --replay play.rec \
    --trace windows.jsonl) 2>"$WORK/windows.err" || fail "the replay under Wine failed: $(tail -n 2 "$WORK/windows.err")"
cmp -s "$WORK/linux.jsonl" "$WORK/windows.jsonl" || fail "the two replays part: $(cmp "$WORK/linux.jsonl" "$WORK/windows.jsonl")"
progress() {
    sed -E 's/.*"hero":\{"x":([-0-9.e+]+),"vx":[^,]*,"y":[^,]*,"vy":[^,]*,"scroll":([-0-9.e+]+),.*/\1 \2/' |
        awk '{ printf "%d\n", $1 + $2 }'
}
first=$(grep -m 1 '"screen":"game"' "$WORK/linux.jsonl" | progress)
last=$(tail -n 1 "$WORK/linux.jsonl" | progress)
((last > first + 32)) || fail "the hero did not move right in the replay: from $first to $last"
echo "ok: the recording ($(wc -c <"$WORK/play.rec") bytes) replays to the same $(wc -l <"$WORK/linux.jsonl") presents on Linux and under Wine; the hero walked from $first to $last"

# A close request in play.
start_wine_game "$WINBUILD/data"
find_wine_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
hold_key Return
picture_until game is_game $(($(now_ms) + 10000)) || fail "no level within 10 s of Return"
"$HOST/send-close" "$WINDOW" || fail "the window takes no close request"
asked=$(now_ms)
ended_with 100 || fail "the game still runs 10 s after the close request"
((status == 0)) || fail "the close request ended the game with status $status"
echo "ok: a close request in play ended the game with status 0 after $(($(now_ms) - asked)) ms"
echo "passed"
