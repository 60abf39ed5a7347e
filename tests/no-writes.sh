#!/usr/bin/env bash
# The game writes nothing: no settings, no logs, no caches. It plays a few
# seconds on a virtual X display, from the keyboard as a player would (a shot
# judged and answered, the statistics hidden and shown, the About dialog
# opened and closed, F4 to leave), with a fresh empty HOME, XDG folders,
# TMPDIR and working directory; then not one file may have appeared in them.
#
# It runs as on a desktop, inside a session bus: without one, libdbus would
# start a bus of its own through dbus-launch (dbus-x11), which writes to HOME
# and outlives the game. The bus is the desktop's and keeps its files in the
# desktop's own folders, as a session's bus does. Every step is bounded, and
# whatever the session leaves behind (the bus, an accessibility bus) is
# killed with its process group, so nothing can hold ctest's pipes open.
set -u
game=$(realpath "$1")
source "$(dirname "$0")/skip.sh"
command -v dbus-run-session >/dev/null ||
    skip "dbus-run-session is not installed (scripts/install-deps test installs dbus-daemon)"

root=$(mktemp -d)
xvfb_pid=
game_pid=
session_group=
cleanup() {
    [[ -n $session_group ]] && kill -KILL -- "-$session_group" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

folders=(home config cache data state runtime tmp work)
for folder in "${folders[@]}"; do
    mkdir -p "$root/$folder"
done
mkdir -p "$root/desktop/home" "$root/desktop/runtime"
chmod 700 "$root/runtime" "$root/desktop/runtime"

exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 10 number <&3 || fail "Xvfb did not start"
export DISPLAY=":$number"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

unset DBUS_SESSION_BUS_ADDRESS
(
    cd "$root/work" || exit 1
    # A process group of its own: the bus and anything it started go with it.
    exec setsid timeout -k 5 60 env HOME="$root/desktop/home" XDG_RUNTIME_DIR="$root/desktop/runtime" \
        dbus-run-session -- env HOME="$root/home" XDG_CONFIG_HOME="$root/config" \
        XDG_CACHE_HOME="$root/cache" XDG_DATA_HOME="$root/data" XDG_STATE_HOME="$root/state" \
        XDG_RUNTIME_DIR="$root/runtime" TMPDIR="$root/tmp" "$game" </dev/null >"$root/game.log" 2>&1
) &
game_pid=$!
session_group=$game_pid

window() { # the visible window with exactly this title
    timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}
await() { # title; waits up to 10 s for the window
    local w
    for _ in $(seq 100); do
        w=$(window "$1")
        [[ -n $w ]] && { echo "$w"; return 0; }
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
gone() { # title; waits up to 5 s for the window to close
    for _ in $(seq 50); do
        [[ -z $(window "$1") ]] && return 0
        sleep 0.1
    done
    return 1
}
press() { # key, title of the window that takes it
    local w
    w=$(await "$2") || fail "no window \"$2\" for $1"
    timeout 5 xdotool windowfocus --sync "$w" key "$1" || fail "could not press $1 in \"$2\""
    sleep 0.2
}

await "Korvo Game" >/dev/null || fail "the game window did not open"
sleep 0.5
press Return "Korvo Game" # freezes the first ball
sleep 0.5
press Return "Korvo Game" # judges the shot
press Return "Korvo"      # OK on "Encestaste" or "Erraste"
gone "Korvo" || fail "the message box did not close"
press F8 "Korvo Game"
press F8 "Korvo Game"
press F1 "Korvo Game"
press Escape "Acerca del autor"
gone "Acerca del autor" || fail "the About dialog did not close"
press Return "Korvo Game" # "Presione reiniciar para tirar de nuevo"
press Return "Korvo"
gone "Korvo" || fail "the message box did not close"
press F4 "Korvo Game"

for _ in $(seq 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "F4 did not end the game"
wait "$game_pid"
status=$?
game_pid=
[[ $status -eq 0 ]] || fail "the game ended with exit code $status: $(cat "$root/game.log")"

written=$(cd "$root" && find "${folders[@]}" -mindepth 1)
if [[ -n $written ]]; then
    echo "FAIL: the game wrote:"
    echo "$written"
    exit 1
fi
echo "PASS: a shot played, the About dialog opened and closed, F4; nothing written"
