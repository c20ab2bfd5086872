#!/usr/bin/env bash
# Everything the page loads, compressed as a web server sends it (gzip), is at most 1 MB.
#
# Usage: page_weight.sh WEB_BUILD
set -u
[[ $# -eq 1 && -f $1/index.html ]] || { echo "usage: $0 WEB_BUILD" >&2; exit 2; }
limit=1000000
total=0
for file in index.html levels.js page.js brickrun.js brickrun.wasm icon.png data.tar.gz; do
    [[ -f $1/$file ]] || { echo "FAIL: $file is missing"; exit 1; }
    if [[ $file == *.gz ]]; then
        bytes=$(stat -c %s "$1/$file")  # compressed already: sent as it is
    else
        bytes=$(gzip -9 -c "$1/$file" | wc -c)
    fi
    printf '%-14s %8d bytes (raw %d)\n' "$file" "$bytes" "$(stat -c %s "$1/$file")"
    total=$((total + bytes))
done
echo "total          $total bytes compressed (at most $limit)"
((total <= limit)) || { echo "FAIL: the page weighs more than $limit bytes"; exit 1; }
echo "passed"
