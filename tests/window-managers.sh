#!/usr/bin/env bash
# The About dialog under real X window managers (xfwm4, openbox), driven with
# real key presses and clicks on a virtual display: it opens in front of the
# game at its place, a small utility window fixed in size whose title bar
# offers only to close it, out of the task bar; a click on the game brings
# the game in front of it; F1 brings it to the front again; Esc closes it and
# F4 ends the game. The order is read from the root window's
# _NET_CLIENT_LIST_STACKING.
#
#   window-managers.sh GAME
#
# A window manager that is not installed is left out; with neither the test
# is skipped. Every step is bounded, and the display, the window manager, its
# session bus and the game run in process groups of their own with their
# output in a log, killed on the way out.
set -u
game=$(realpath "$1")
source "$(dirname "$0")/skip.sh"

for tool in Xvfb xdotool xprop xwininfo; do
    command -v $tool >/dev/null || skip "$tool is missing (packages xvfb, xdotool, x11-utils)"
done
managers=(xfwm4 openbox)
for wm in "${managers[@]}"; do
    command -v $wm >/dev/null || skip "$wm is missing (package $wm)"
done

root=$(mktemp -d)
groups=()
stop_groups() {
    for group in "${groups[@]}"; do
        kill -KILL -- "-$group" 2>/dev/null
    done
    groups=()
}
cleanup() {
    stop_groups
    rm -rf "$root"
}
trap cleanup EXIT
failed=0

x() { timeout 5 "$@" 2>/dev/null; } # one bounded request to the X server

window() { # the visible window with exactly this title
    x xdotool search --onlyvisible --name "^$1\$" | head -n 1
}
stacking() { # the managed windows' titles, bottom to top
    local id
    for id in $(x xprop -root _NET_CLIENT_LIST_STACKING | grep '#' | sed 's/.*#//; s/,/ /g'); do
        x xdotool getwindowname $((id))
    done | paste -sd '|'
}
on_top() { # title; waits up to 5 s for that window to be the topmost
    for _ in $(seq 50); do
        [[ $(stacking) == *"|$1" ]] && return 0
        sleep 0.1
    done
    return 1
}
active_is() { # window; waits up to 5 s for it to be the active window
    for _ in $(seq 50); do
        [[ $(x xdotool getactivewindow) == "$1" ]] && return 0
        sleep 0.1
    done
    return 1
}
await() { # title; waits up to 10 s for the window
    local w
    for _ in $(seq 100); do
        w=$(window "$1")
        [[ -n $w ]] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

check() { # window manager
    local wm=$1 dir=$root/$1
    mkdir -p "$dir/home" "$dir/runtime"
    chmod 700 "$dir/runtime"
    fail() {
        echo "FAIL ($wm): $*"
        echo "  stacking, bottom to top: $(stacking)"
        failed=1
        return 1
    }

    exec 3< <(exec setsid Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$dir/xvfb.log")
    groups+=($!)
    local number
    read -r -t 10 number <&3 || fail "Xvfb did not start" || return
    exec 3<&-
    export DISPLAY=":$number" HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS

    # A session bus for the desktop, as a desktop has: xfwm4 reads its
    # settings over it, and without one libdbus would start a bus of its own
    # for the game that outlives it.
    if command -v dbus-daemon >/dev/null; then
        setsid timeout -k 5 90 dbus-daemon --session --nofork --print-address=1 </dev/null \
            >"$dir/bus.address" 2>"$dir/bus.log" &
        groups+=($!)
        disown
        for _ in $(seq 100); do
            [[ -s $dir/bus.address ]] && break
            sleep 0.1
        done
        export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$dir/bus.address")
        [[ -n $DBUS_SESSION_BUS_ADDRESS ]] || fail "the session bus did not start" || return
    fi
    setsid timeout -k 5 90 $wm </dev/null >"$dir/wm.log" 2>&1 &
    groups+=($!)
    disown
    # Its first start on a machine may build a font cache: up to 30 s.
    for _ in $(seq 300); do
        x xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && break
        sleep 0.1
    done
    x xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
        fail "$wm did not start: $(tail -n 5 "$dir/wm.log")" || return

    setsid timeout -k 5 60 "$game" </dev/null >"$dir/game.log" 2>&1 &
    local game_pid=$!
    groups+=($game_pid)
    local w a
    w=$(await "Korvo Game") || fail "the game window did not open" || return
    x xdotool windowactivate --sync "$w"
    active_is "$w" || fail "the game window did not become active" || return
    x xdotool key F1
    a=$(await "Acerca del autor") || fail "F1 did not open the About dialog" || return
    on_top "Acerca del autor" || fail "the About dialog did not open in front" || return
    local opened
    opened=$(stacking)

    # The dialog as it was: a small utility window's title bar that offers
    # only to close it, a size that cannot change, its place, and no entry in
    # the task bar.
    x xprop -id "$a" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_UTILITY' \
        || fail "not a utility window: $(x xprop -id "$a" _NET_WM_WINDOW_TYPE)" || return
    local motif functions
    motif=$(x xprop -id "$a" _MOTIF_WM_HINTS | sed 's/.*= //')
    functions=$(($(cut -d, -f2 <<<"$motif")))
    ((functions & 32)) && ! ((functions & 24)) || fail "title bar functions $motif: close only wanted" || return
    local hints
    hints=$(x xprop -id "$a" WM_NORMAL_HINTS)
    grep -q "minimum size: 382 by 237" <<<"$hints" && grep -q "maximum size: 382 by 237" <<<"$hints" \
        || fail "not fixed at 382 x 237: $hints" || return
    local left top extents
    left=$(x xwininfo -id "$a" | sed -n 's/.*Absolute upper-left X: *//p')
    top=$(x xwininfo -id "$a" | sed -n 's/.*Absolute upper-left Y: *//p')
    extents=$(x xprop -id "$a" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    read -r frame_left _ frame_top _ <<<"$extents"
    ((left - frame_left == 156 && top - frame_top == 126)) \
        || fail "frame at $((left - frame_left)), $((top - frame_top)), not 156, 126 (2340, 1890 twips)" || return
    # Task bars leave out a window that asks them to, or one that is
    # transient for another.
    x xprop -id "$a" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR \
        || x xprop -id "$a" WM_TRANSIENT_FOR | grep -q 'window id' || fail "the dialog is in the task bar" || return

    # A click on the game, on its photograph, well away from the dialog.
    local gx gy
    gx=$(x xwininfo -id "$w" | sed -n 's/.*Absolute upper-left X: *//p')
    gy=$(x xwininfo -id "$w" | sed -n 's/.*Absolute upper-left Y: *//p')
    x xdotool mousemove $((gx + 640)) $((gy + 440))
    sleep 0.2
    x xdotool click 1
    active_is "$w" || fail "a click on the game did not make it active" || return
    on_top "Korvo Game" || fail "a click on the game left the About dialog in front of it" || return
    local clicked
    clicked=$(stacking)

    # F1 in the game brings the open dialog to the front again.
    x xdotool key F1
    on_top "Acerca del autor" || fail "F1 did not bring the About dialog to the front" || return
    local again
    again=$(stacking)

    active_is "$a" || fail "F1 did not make the About dialog active" || return
    x xdotool key Escape
    for _ in $(seq 50); do
        [[ -z $(window "Acerca del autor") ]] && break
        sleep 0.1
    done
    [[ -z $(window "Acerca del autor") ]] || fail "Esc did not close the About dialog" || return
    x xdotool windowactivate --sync "$w"
    x xdotool key F4
    for _ in $(seq 50); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && { fail "F4 did not end the game" || return; }
    wait "$game_pid"
    local status=$?
    [[ $status -eq 0 ]] || fail "the game ended with exit code $status: $(cat "$dir/game.log")" || return

    echo "ok ($wm): stacking, bottom to top:"
    echo "    About opened:      $opened"
    echo "    game clicked:      $clicked"
    echo "    F1 in the game:    $again"
}

for wm in "${managers[@]}"; do
    check "$wm"
    stop_groups
done
[[ $failed -eq 0 ]] || exit 1
echo "PASS: ${managers[*]}"
