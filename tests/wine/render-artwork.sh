#!/usr/bin/env bash
# Draws the game's pictures as the Windows build wants them, for the backend's
# checks under Wine until the build draws them itself: NAME@100, @150 and
# @200 PNGs at the picture's own size times the scale, and an .rc naming them.
# The renderer draws squares, so each picture is drawn on a square canvas of
# its longer side and cut back to its own size.
#
# usage: render-artwork.sh RENDERER ASSETS-DIR OUT-DIR NAME...
set -euo pipefail

renderer=$1
assets=$2
out=$3
shift 3
mkdir -p "$out"
rc=$out/artwork.rc
: >"$rc.new"
for name in "$@"; do
    svg=$assets/$name.svg
    root=$(grep -o '<svg[^>]*>' "$svg" | head -1)
    width=$(sed -n 's/.* width="\([0-9]*\)".*/\1/p' <<<"$root")
    height=$(sed -n 's/.* height="\([0-9]*\)".*/\1/p' <<<"$root")
    side=$((width > height ? width : height))
    square=$out/$name.square.svg
    sed "0,/<svg/s/width=\"$width\" height=\"$height\" viewBox=\"0 0 $width $height\"/width=\"$side\" height=\"$side\" viewBox=\"0 0 $side $side\"/" \
        "$svg" >"$square"
    for percent in 100 150 200; do
        scaled() { echo $((($1 * percent + 50) / 100)); }
        png=$out/$name@$percent.png
        "$renderer" png "$square" "$(scaled "$side")" "$out/$name.full.png" >/dev/null
        convert "$out/$name.full.png" -crop "$(scaled "$width")x$(scaled "$height")+0+0" +repage "PNG32:$png"
        # A statement between two resources: windres would join the file
        # name and the next quoted name into one string.
        printf 'LANGUAGE 0, 0\n"%s" RCDATA "%s"\n' "$name@$percent" "$png" >>"$rc.new"
    done
    rm -f "$square" "$out/$name.full.png"
done
mv "$rc.new" "$rc"
