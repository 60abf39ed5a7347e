#!/usr/bin/env bash
# Started without any display, the game says so in one line and exits
# non-zero: no Qt abort, no core dump.
set -u
game=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

check() { # what, then the command's environment
    local what=$1
    shift
    out=$(env "$@" "$game" 2>&1)
    status=$?
    lines=$(printf '%s\n' "$out" | grep -c .)
    echo "$what: exit code $status: $out"
    if [[ $status -eq 0 || $status -ge 128 ]]; then
        echo "FAIL: expected a plain non-zero exit code"
        exit 1
    fi
    if [[ $lines -ne 1 || $out != *"sesión de escritorio"* ]]; then
        echo "FAIL: expected one line asking for a desktop session"
        exit 1
    fi
}

check "no display at all" HOME="${HOME:-/tmp}"
check "an empty DISPLAY" DISPLAY=
check "a display nobody answers" DISPLAY=:87
check "a DISPLAY that names nothing" DISPLAY=garbage::
check "a Wayland socket nobody answers" WAYLAND_DISPLAY=wayland-87 XDG_SESSION_TYPE=wayland
check "a platform that is not there" QT_QPA_PLATFORM=nonexistent
echo "PASS"
