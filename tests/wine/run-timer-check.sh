#!/usr/bin/env bash
# Runs the Win32 backend's timer check under Wine: builds timer-check.exe
# with the MinGW-w64 cross compiler, makes a throwaway Wine prefix and runs
# the checks; with --bench it measures PreciseTimer against SetTimer
# instead, idle and with busy threads taking the other core. Skipped when
# Wine, the cross compiler or doctest is missing (tests/skip.sh).
#
# usage: run-timer-check.sh [--bench] [WORK-DIR]
#   WORK-DIR: where the build and the prefix go (default: build/wine-timer)
#   CMAKE, TICKS (300) and BUSY (1, busy threads) may be set in the environment.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bench=0
if [[ ${1:-} == --bench ]]; then
    bench=1
    shift
fi
work=${1:-$root/build/wine-timer}
cmake=${CMAKE:-cmake}

source "$here/wine.sh"
[[ -f /usr/include/doctest/doctest.h ]] ||
    skip "doctest not installed; scripts/install-deps installs doctest-dev"

mkdir -p "$work"
build=$work/build
cross_configure "$here" "$build"
# Only this program: the launcher's cases build their own.
"$cmake" --build "$build" --target timer-check >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; echo "FAIL: building timer-check.exe"; exit 1; }

unset DISPLAY WAYLAND_DISPLAY
fresh_prefix "$work/prefix" "$work/wine.log"
# One server for every run below; it ends by itself if this script is killed.
"$wineserver" -p60 >>"$wine_log" 2>&1
trap '"$wineserver" -k >/dev/null 2>&1' EXIT

exe=$build/timer-check.exe
status=0
if ((bench)); then
    ticks=${TICKS:-300}
    busy=${BUSY:-1}
    echo "$(nproc) cores; Wine: $("$wine" --version 2>/dev/null)"
    "$wine" "$exe" --probe || status=1
    for threads in 0 "$busy"; do
        for timer in precise settimer; do
            echo "load average $(cut -d' ' -f1-3 /proc/loadavg):"
            "$wine" "$exe" --bench "$timer" --ticks "$ticks" --busy "$threads" || status=1
        done
    done
else
    "$wine" "$exe" || status=1
fi

((status == 0)) || { echo "Wine's messages: $wine_log"; exit 1; }
drop_prefix
