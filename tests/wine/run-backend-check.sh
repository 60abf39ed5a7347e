#!/usr/bin/env bash
# Runs the Win32 backend's checks under Wine on a virtual display: builds the
# game and backend-check.exe with the MinGW-w64 cross compiler, makes a
# throwaway Wine prefix and drives the game's real windows at 96 DPI, then
# at 192. With --bench it times 300 ticks of the game's Timer1 instead.
# Skipped when Wine, the cross compiler, doctest or Xvfb is missing
# (tests/skip.sh).
#
# usage: run-backend-check.sh [--bench] RENDERER [WORK-DIR]
#   RENDERER: the host build's korvo-render-icon, which draws the pictures
#   WORK-DIR: where the build and the prefix go (default: build/wine-backend)
#   CMAKE and TICKS (300) may be set in the environment.
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

source "$here/../skip.sh"

find_tool() { # Debian's path, then the name on PATH
    if [[ -x $1 ]]; then
        echo "$1"
    else
        command -v "$2"
    fi
}
wine=$(find_tool /usr/lib/wine/wine64 wine64)
wineserver=$(find_tool /usr/lib/wine/wineserver wineserver)
[[ -n $wine && -n $wineserver ]] ||
    skip "Wine not installed (no /usr/lib/wine/wine64 or wineserver); scripts/install-deps installs wine64"
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    skip "MinGW-w64 cross compiler not installed; scripts/install-deps installs g++-mingw-w64-x86-64-posix"
[[ -f /usr/include/doctest/doctest.h ]] ||
    skip "doctest not installed; scripts/install-deps installs doctest-dev"
command -v Xvfb >/dev/null || skip "Xvfb not installed; scripts/install-deps installs xvfb"
command -v convert >/dev/null || skip "ImageMagick not installed; scripts/install-deps installs imagemagick"
[[ -x $renderer ]] || { echo "FAIL: no renderer at $renderer"; exit 1; }

mkdir -p "$work"
build=$work/build
if [[ ! -f $build/CMakeCache.txt ]]; then
    generator="Unix Makefiles"
    command -v ninja >/dev/null && generator=Ninja
    # The host's compiler flags (a Debian shell may export -Wl,-z,relro) are
    # not the cross compiler's.
    env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS \
        "$cmake" -S "$here/backend" -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DKORVO_HOST_RENDERER="$renderer" \
        >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; rm -rf "$build"; echo "FAIL: configuring the Windows build"; exit 1; }
fi
"$cmake" --build "$build" --target backend-check korvo-game >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; echo "FAIL: building backend-check.exe and korvo-game.exe"; exit 1; }

# A display of its own, large enough for the game at 192 DPI.
xvfb_log=$work/xvfb.log
exec 3< <(Xvfb -displayfd 1 -screen 0 2560x1600x24 -nolisten tcp 2>"$xvfb_log" & echo "pid $!")
read -r -t 10 _ xvfb_pid <&3
read -r -t 10 display <&3 || { cat "$xvfb_log"; echo "FAIL: starting Xvfb"; exit 1; }
export DISPLAY=:$display
unset WAYLAND_DISPLAY

export WINEPREFIX=$work/prefix
export WINEARCH=win64
unset WINESERVER WINELOADER WINEDLLPATH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_log=$work/wine.log
: >"$wine_log"
cleanup() {
    "$wineserver" -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
# A server left behind by an interrupted run would hold the old prefix.
[[ -d $WINEPREFIX ]] && "$wineserver" -k >>"$wine_log" 2>&1
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$wineserver" -p0 >>"$wine_log" 2>&1
timeout 120 "$wine" wineboot -i >>"$wine_log" 2>&1 || { cat "$wine_log"; echo "FAIL: creating the Wine prefix"; exit 1; }
"$wineserver" -w
# No window manager runs on this display: Wine draws the title bars itself,
# instead of waiting two seconds for a manager each time a window hides.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$wine_log" 2>&1
"$wineserver" -w

dpi() { # sets the screen's DPI for the next programs
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >>"$wine_log" 2>&1
    "$wineserver" -k >>"$wine_log" 2>&1
    "$wineserver" -w
}

status=0
if ((bench)); then
    dpi 96
    echo "$(nproc) cores; Wine: $("$wine" --version 2>/dev/null)"
    timeout 300 "$wine" "$build/backend-check.exe" --bench --ticks="${TICKS:-300}" || status=1
else
    for each in 96 192; do
        dpi "$each"
        echo "--- at $each DPI"
        timeout 300 "$wine" "$build/backend-check.exe" --dpi="$each" --game="$build/korvo/korvo-game.exe" ||
            status=1
    done
fi

((status == 0)) || { echo "Wine's messages: $wine_log"; exit 1; }
"$wineserver" -k >/dev/null 2>&1
"$wineserver" -w
# The prefix is large (Wine copies its DLLs in); keep it only to look at a failure.
rm -rf "$WINEPREFIX"
