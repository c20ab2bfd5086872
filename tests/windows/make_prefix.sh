#!/usr/bin/env bash
# Makes the Wine prefix the checks of the Windows programs run in, afresh, so that no run sees what
# an earlier one left; prints how long Wine took to start in it.
#
# Usage: make_prefix.sh WINDOWS_BUILD
set -u
[[ $# -eq 1 && -d $1 ]] || { echo "usage: $0 WINDOWS_BUILD" >&2; exit 2; }
export WINEPREFIX
WINEPREFIX=$(cd "$1" && pwd)/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

wineserver -k 2>/dev/null
rm -rf "$WINEPREFIX"
start=$(date +%s%N)
# No display: the prefix needs none, and Wine then opens no window while it makes it.
env -u DISPLAY wineboot --init >/dev/null 2>&1
wineserver -w
[[ -f $WINEPREFIX/system.reg ]] || { echo "FAIL: wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
echo "ok: a fresh Wine prefix in $(( ($(date +%s%N) - start) / 1000000 )) ms ($(du -sh "$WINEPREFIX" | cut -f1))"
