#!/usr/bin/env bash
# The real brickrun.exe under Wine on a private X display, driven with real key events:
# - the programs carry version information and a manifest declaring them DPI aware;
# - without its levels it tells the player in a message box (and on stderr) and exits 1; with no
#   data anywhere it names, in Windows' terms, the folders it looked in; laid out as in the zip it
#   finds its data beside itself, started from another folder;
# - its window, named brickrun with the game's icon, shows the title menu exactly as the headless
#   runner draws it, pixel for pixel; resized to 1600x1200 exactly twice its size, to 1000x700 once,
#   centred on black; M shows the mute sign; F11 fills the screen, sharp; Alt+Return brings the
#   window back without the menu taking its Return;
# - Return starts the level banner, Right walks the hero, Escape ends it with status 0;
# - what it recorded meanwhile replays the same on Linux and in brickrun-headless.exe;
# - in play, a close request, Alt+F4, and its X window destroyed from outside each end it with
#   status 0.
#
# Usage: window_under_wine.sh WINDOWS_BUILD HOST_BUILD VERSION   (HOST_BUILD holds the Linux
# brickrun-headless, send-close and fill-check; VERSION is the project's)
set -u

# shellcheck source=SCRIPTDIR/../e2e/xvfb_game.sh
source "$(dirname "$0")/../e2e/xvfb_game.sh"
# shellcheck source=SCRIPTDIR/wine.sh
source "$(dirname "$0")/wine.sh"
take_builds "$1" "$2"
VERSION=${3:-}
start_test
make_work window
for program in send-close fill-check; do
    [[ -x $HOST/$program ]] || fail "$HOST/$program is missing (built from tests/e2e/)"
done

# Version information (as UTF-16 strings) and the manifest, in both programs.
for program in brickrun brickrun-fs; do
    exe=$WINBUILD/$program.exe
    version=$(strings -el "$exe" | grep -A1 -x FileVersion | tail -n 1)
    [[ $version == "$VERSION" ]] || fail "$program.exe says FileVersion '$version', not $VERSION"
    strings -el "$exe" | grep -qx "$program.exe" || fail "$program.exe does not name itself as OriginalFilename"
    strings "$exe" | grep -q '<dpiAware[^>]*>true/pm</dpiAware>' || fail "$program.exe has no DPI-aware manifest"
done
echo "ok: both programs carry version $version and a DPI-aware manifest"

# Runs brickrun.exe ($PROGRAM_EXE, or the build's) in the folder $1 with the options after it.
start_wine_game() {
    local folder=$1
    shift
    (cd "$folder" && exec wine "${PROGRAM_EXE:-$WINBUILD/brickrun.exe}" "$@") 2>"$WORK/game.err" &
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
# Whether the screen shows the title filled into 2133x1600 at 213,0, sharp (fill-check).
shows_fill() {
    import -window root "png:$WORK/screen.png" && rgb "$WORK/screen.png" "$WORK/screen.rgb" &&
        "$HOST/fill-check" "$WORK/headless-title.bmp" "$WORK/screen.rgb" 2560x1600 2133x1600+213+0 >"$WORK/fill.log"
}

# Large enough for a window of 1600x1200 inside, with its frame: Wine keeps windows on the screen.
start_display 2560x1600

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

# The message box of a game that cannot start: waits for it, closes it, and the game must end.
close_message_box() {
    local box
    for _ in $(seq 200); do
        box=$(xdotool search --onlyvisible --name '^brickrun$' 2>/dev/null | head -n 1)
        [[ -n $box ]] && break
        game_running || break
        sleep 0.1
    done
    [[ -n $box ]] || fail "$1: no message box within 20 s: $(tail -n 3 "$WORK/game.err")"
    timeout 5 xdotool windowfocus --sync "$box" || fail "$1: the message box does not take the focus"
    xdotool key Return
    ended_with 100 || fail "$1: the game still runs 10 s after its message box was closed"
}

# No data anywhere: the program alone in a folder, started from another.
mkdir -p "$WORK/alone" "$WORK/elsewhere"
cp "$WINBUILD/brickrun.exe" "$WORK/alone/"
(cd "$WORK/elsewhere" && exec wine "$WORK/alone/brickrun.exe") 2>"$WORK/game.err" &
GAME_PID=$!
close_message_box "with no data"
said=$(tr -d '\r' <"$WORK/game.err")
((status == 1)) || fail "with no data the status is $status, not 1"
[[ $said == *"is not in the folder it was started in (Z:"*'\elsewhere) nor in its own folder (Z:'*'\alone). Keep the programs beside them'* ]] ||
    fail "with no data the line does not name both folders in Windows' terms: $said"
[[ $said != *--data* && $said != *share* && $said != *"/"* ]] || fail "with no data the line says more than a player needs: $said"
echo "ok: with no data: $said"

# As in the zip: the data beside the program, started from another folder.
mkdir -p "$WORK/unzipped"
cp -r "$WINBUILD/data/." "$WINBUILD/brickrun.exe" "$WORK/unzipped/"
PROGRAM_EXE=$WORK/unzipped/brickrun.exe start_wine_game "$WORK/elsewhere"
find_wine_window
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the unzipped game's window does not take the focus"
picture_until title is_title $(($(now_ms) + 20000)) || fail "unzipped and started elsewhere, no title menu"
hold_key Escape
ended_with 100 || fail "the unzipped game still runs 10 s after Escape"
echo "ok: laid out as in the zip and started from another folder, it finds its data beside it"

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

# The window: its name and icon, resized, muted, full screen and back, closed with Alt+F4.
"$HOST/brickrun-headless" --data "$WINBUILD/data" --presents 3 --shot "3:$WORK/headless-title.bmp" \
    2>/dev/null || fail "the Linux headless runner cannot draw the title"
# Whether the window (or the root) of size $2 shows the title $3 times its size at $4,$5 on black.
shows_title() {
    convert -size "$2" xc:black \( "$WORK/headless-title.bmp" -sample "$(($3 * 100))%" \) \
        -geometry "+$4+$5" -composite -depth 8 "rgb:$WORK/expected.rgb" &&
        import -window "$1" "png:$WORK/shown.png" && rgb "$WORK/shown.png" "$WORK/shown.rgb" &&
        cmp -s "$WORK/shown.rgb" "$WORK/expected.rgb"
}
start_wine_game "$WINBUILD/data"
find_wine_window
retry 200 same_title || fail "the window never showed the title"
name=$(xdotool getwindowname "$WINDOW")
[[ $name == brickrun ]] || fail "the window's title is '$name', not brickrun"
outline=$(xprop -id "$WINDOW" -notype 32x _NET_WM_ICON | grep -o 0xff2a1830 | wc -l)
((outline > 50)) || fail "the window's icon is not the game's (no dark outline of it): $(xprop -id "$WINDOW" _NET_WM_ICON | head -c 200)"
echo "ok: the window is named brickrun and shows the game's icon"
for case in 1600x1200:2:0:0 1000x700:1:100:50; do
    IFS=: read -r size scale left top <<<"$case"
    xdotool windowsize "$WINDOW" "${size%x*}" "${size#*x}"
    retry 100 shows_title "$WINDOW" "$size" "$scale" "$left" "$top" ||
        fail "resized to $size the window does not show the title ${scale}x at $left,$top on black (kept: shown.png)"
    colours=$(identify -format %k "$WORK/shown.png")
    box=$(convert "$WORK/shown.png" -fill white +opaque black -trim -format '%wx%h%X%Y' info:)
    [[ $box == *-1-1 ]] && box="${size}+0+0"  # nothing black to trim
    echo "ok: resized to $size the window shows the title ${scale}x at $left,$top, sharp: $colours colours, the picture's box $box"
done
xdotool windowsize "$WINDOW" 800 600
retry 100 same_title || fail "back at 800x600 the window does not show the title"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
sign_shown() { (($(import -window "$WINDOW" -crop 40x32+752+8 -depth 8 txt:- | grep -c '#1E1E1E') > 40)); }
hold_key m
retry 50 sign_shown || fail "no mute sign within 5 s of M"
hold_key m
retry 50 same_title || fail "the mute sign stays after a second M"
echo "ok: M shows the mute sign, a second M takes it away"
hold_key F11
retry 100 shows_fill || fail "after F11 the screen does not show the title filled into 2133x1600 at 213,0: $(cat "$WORK/fill.log")"
echo "ok: F11 fills the screen with sharp pixels: $(cat "$WORK/fill.log")"
hold_key F10
retry 100 shows_title root 2560x1600 2 480 200 || fail "after F10 the screen does not show the title 2x at 480,200"
hold_key F10
echo "ok: F10 keeps the full screen to whole multiples, the title 2x at 480,200"
xdotool keydown alt keydown Return
sleep 0.3
xdotool keyup Return keyup alt
find_wine_window
retry 100 same_title || fail "after Alt+Return the 800x600 window with the title is not back"
picture_stays title is_title $(($(now_ms) + 1000)) || fail "the Return of Alt+Return left the title menu"
echo "ok: Alt+Return brings the 800x600 window back; the menu did not take its Return"
timeout 5 xdotool windowfocus --sync "$WINDOW" || fail "the window does not take the keyboard focus"
hold_key Return
picture_until game is_game $(($(now_ms) + 10000)) || fail "no level within 10 s of Return"
pressed=$(now_ms)
xdotool keydown alt keydown F4
ended_with 100 || fail "the game still runs 10 s after Alt+F4"
took=$(($(now_ms) - pressed))
xdotool keyup F4 keyup alt
((status == 0)) || fail "Alt+F4 ended the game with status $status"
echo "ok: Alt+F4 in play ended the game with status 0, $took ms after it went down"

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

# Its X window destroyed from outside: a window nobody can see or reach ends the game.
start_wine_game "$WINBUILD/data"
find_wine_window
picture_until title is_title $(($(now_ms) + 20000)) || fail "no title menu within 20 s"
xdotool windowclose "$WINDOW"
gone=$(now_ms)
ended_with 100 || fail "the game still runs 10 s after its X window was destroyed"
((status == 0)) || fail "a lost window ended the game with status $status"
echo "ok: its X window destroyed, the game ended with status 0 after $(($(now_ms) - gone)) ms"
echo "passed"
