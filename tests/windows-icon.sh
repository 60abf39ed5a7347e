#!/usr/bin/env bash
# The committed Windows icon is what the renderer draws from the SVGs today:
# after changing the artwork, `cmake --build build --target windows-icon`.
set -u
renderer=$1 committed=$2
shift 2
fresh=$(mktemp --suffix=.ico)
trap 'rm -f "$fresh"' EXIT
"$renderer" ico "$fresh" "$@" || { echo "FAIL: cannot draw the icon"; exit 1; }
if ! cmp -s "$fresh" "$committed"; then
    echo "FAIL: $committed is out of date; run: cmake --build build --target windows-icon"
    exit 1
fi
echo "PASS: $(file -b "$committed")"
