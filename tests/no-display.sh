#!/usr/bin/env bash
# Started without any display, the game says so in one line and exits
# non-zero: no Qt abort, no core dump.
set -u
game=$1
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM XDG_SESSION_TYPE
# Run from a desktop session, libwayland would find the desktop's own socket
# (wayland-0 in XDG_RUNTIME_DIR) without WAYLAND_DISPLAY: give it an empty one.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

check() { # what, then the command's environment
    local what=$1
    shift
    out=$(env "$@" timeout 20 "$game" 2>&1)
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
# A display number that no X server on this machine holds: its lock file,
# its socket, or its abstract socket, which a chroot's own /tmp does not hide.
dead=87
while [[ -e /tmp/.X$dead-lock || -e /tmp/.X11-unix/X$dead ]] ||
    grep -q "/tmp/\.X11-unix/X$dead\$" /proc/net/unix 2>/dev/null; do
    dead=$((dead + 1))
done
check "a display nobody answers" DISPLAY=:$dead
check "a DISPLAY that names nothing" DISPLAY=garbage::
check "a Wayland socket nobody answers" WAYLAND_DISPLAY=wayland-87 XDG_SESSION_TYPE=wayland
check "a platform that is not there" QT_QPA_PLATFORM=nonexistent
echo "PASS"
