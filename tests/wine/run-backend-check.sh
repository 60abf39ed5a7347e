#!/usr/bin/env bash
# Runs the Win32 backend's checks under Wine on a virtual display: builds the
# game, backend-check.exe and the seam suite with the MinGW-w64 cross
# compiler, makes a throwaway Wine prefix and drives the game's real windows
# with both, Wine playing Windows 10 and then Windows 7, each at 96 DPI and at
# 192. With --bench it times 300 ticks of the game's Timer1 instead.
# Skipped when Wine, the cross compiler, doctest or Xvfb is missing
# (tests/skip.sh).
#
# usage: run-backend-check.sh [--bench] RENDERER [WORK-DIR]
#   RENDERER: the host build's korvo-render-icon, which draws the pictures
#   WORK-DIR: where the build and the prefix go (default: build/wine-backend)
#   CMAKE and TICKS (300) may be set in the environment, and the seam
#   suite's own KORVO_STORM_SEED and KORVO_STORM_ACTIONS.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bench=0
if [[ ${1:-} == --bench ]]; then
    bench=1
    shift
fi
renderer=${1:?usage: run-backend-check.sh [--bench] RENDERER [WORK-DIR]}
work=${2:-$root/build/wine-backend}
cmake=${CMAKE:-cmake}

source "$here/wine.sh"
[[ -f /usr/include/doctest/doctest.h ]] ||
    skip "doctest not installed; scripts/install-deps installs doctest-dev"
command -v Xvfb >/dev/null || skip "Xvfb not installed; scripts/install-deps installs xvfb"
command -v convert >/dev/null || skip "ImageMagick not installed; scripts/install-deps installs imagemagick"
[[ -x $renderer ]] || { echo "FAIL: no renderer at $renderer"; exit 1; }

mkdir -p "$work"
build=$work/build
cross_configure "$here/backend" "$build" -DKORVO_HOST_RENDERER="$renderer"
"$cmake" --build "$build" --target backend-check seam_suite korvo-game >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; echo "FAIL: building backend-check.exe, seam_suite.exe and korvo-game.exe"; exit 1; }

# A display of its own, large enough for the game at 192 DPI.
xvfb_log=$work/xvfb.log
exec 3< <(Xvfb -displayfd 1 -screen 0 2560x1600x24 -nolisten tcp 2>"$xvfb_log" & echo "pid $!")
read -r -t 10 _ xvfb_pid <&3
read -r -t 10 display <&3 || { cat "$xvfb_log"; echo "FAIL: starting Xvfb"; exit 1; }
export DISPLAY=:$display
unset WAYLAND_DISPLAY

cleanup() {
    "$wineserver" -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
fresh_prefix "$work/prefix" "$work/wine.log"
# No window manager runs on this display: Wine draws the title bars itself,
# instead of waiting two seconds for a manager each time a window hides.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$wine_log" 2>&1
"$wineserver" -w

dpi() { # sets the screen's DPI for the next programs
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >>"$wine_log" 2>&1
    "$wineserver" -k >>"$wine_log" 2>&1
    "$wineserver" -w
}
windows() { # the Windows that Wine plays for the next programs: 7, 10
    "$wine" winecfg -v "win$1" >>"$wine_log" 2>&1
    "$wineserver" -w
}

# The seam suite's storm plays its 30,000 actions in about a minute under
# Wine at 96 DPI; at 192, where each picture drawn has four times the
# pixels, a shorter storm takes the same paths, and so does the second
# Windows. Unless told otherwise.
storm_actions() { # Windows, DPI
    if [[ -n ${KORVO_STORM_ACTIONS:-} || ($1 == 10 && $2 == 96) ]]; then
        echo "${KORVO_STORM_ACTIONS:-}"
    elif [[ $2 == 96 ]]; then
        echo 5000
    else
        echo 2000
    fi
}

status=0
if ((bench)); then
    dpi 96
    echo "$(nproc) cores; Wine: $("$wine" --version 2>/dev/null)"
    timeout 300 "$wine" "$build/backend-check.exe" --bench --ticks="${TICKS:-300}" || status=1
else
    for version in 10 7; do
        windows "$version"
        for each in 96 192; do
            dpi "$each"
            echo "--- Windows $version at $each DPI"
            timeout 300 "$wine" "$build/backend-check.exe" --windows="$version" --dpi="$each" \
                --game="$build/korvo/korvo-game.exe" || status=1
            echo "--- the seam suite, Windows $version at $each DPI"
            started=$(now)
            KORVO_STORM_ACTIONS=$(storm_actions "$version" "$each") timeout 600 \
                "$wine" "$build/seam/seam_suite.exe" --dpi="$each" || status=1
            echo "the seam suite took $(elapsed "$started")"
        done
    done
fi

((status == 0)) || { echo "Wine's messages: $wine_log"; exit 1; }
drop_prefix
