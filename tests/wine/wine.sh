# Sourced by the checks that run Windows programs under Wine (tests/wine/,
# tests/windows-package.sh): finds Wine and the MinGW-w64 cross compiler, or
# skips without them (tests/skip.sh); cross-configures a build; makes a
# throwaway Wine prefix.
korvo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$korvo_root/tests/skip.sh"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

# Debian keeps the 64-bit loader out of PATH; elsewhere it may be on it.
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

# cross_configure SOURCE BUILD [CMAKE-OPTION...]: configures BUILD as a
# Windows build of SOURCE, once; a failed configure leaves nothing behind.
cross_configure() {
    local source=$1 build=$2 generator="Unix Makefiles"
    shift 2
    [[ -f $build/CMakeCache.txt ]] && return 0
    command -v ninja >/dev/null && generator=Ninja
    local log
    log=$(mktemp)
    # The host's compiler flags (a Debian shell may export -Wl,-z,relro) are
    # not the cross compiler's.
    if ! env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS \
        "${CMAKE:-cmake}" -S "$source" -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$korvo_root/cmake/mingw-w64-x86_64.cmake" "$@" >"$log" 2>&1; then
        cat "$log"
        rm -rf "$build" "$log"
        echo "FAIL: configuring the Windows build"
        exit 1
    fi
    rm -f "$log"
}

# fresh_prefix PREFIX LOG: a new 64-bit Wine prefix, whatever prefix a Wine
# user usually asks for, with Wine's messages in LOG ($wine_log).
fresh_prefix() {
    export WINEPREFIX=$1
    export WINEARCH=win64
    unset WINESERVER WINELOADER WINEDLLPATH
    export WINEDEBUG=-all
    # No Mono or Gecko to offer; and no menu entries or file types written
    # into this machine's home for the prefix (winemenubuilder would).
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wine_log=$2
    : >"$wine_log"
    # A server left behind by an interrupted run would hold the old prefix.
    [[ -d $WINEPREFIX ]] && "$wineserver" -k >>"$wine_log" 2>&1
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # Zero persistence: `-w` returns as soon as the prefix is ready.
    "$wineserver" -p0 >>"$wine_log" 2>&1
    timeout 180 "$wine" wineboot -i >>"$wine_log" 2>&1 ||
        { cat "$wine_log"; echo "FAIL: creating the Wine prefix"; exit 1; }
    "$wineserver" -w
}

# drop_prefix: ends the prefix's server and removes the prefix, which is
# large (Wine copies its DLLs in); kept only to look at a failure.
drop_prefix() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w
    rm -rf "$WINEPREFIX"
}
