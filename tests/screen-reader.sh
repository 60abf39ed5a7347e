#!/usr/bin/env bash
# The real game as a screen reader meets it (screen-reader.py), on a desktop
# of its own:
#
#   screen-reader.sh GAME x11       on a virtual X display (Xvfb)
#   screen-reader.sh GAME wayland   on a Wayland-only display (Weston's headless backend)
#
# Each desktop gets a session bus (dbus-run-session), which starts the
# accessibility bus when the reader asks for it. On Wayland the game must
# print nothing at all, and the reader drives it: Weston's headless backend
# has no keyboard or pointer to inject input into.
#
# Everything runs in process groups of its own with its output in a log, so
# nothing it leaves behind (the buses, the registry daemon, the compositor)
# can hold ctest's pipes open; the groups are killed on the way out.
set -u
game=$(realpath "$1")
mode=$2
here=$(dirname "$(realpath "$0")")
source "$here/skip.sh"
fail() {
    echo "FAIL: $*"
    exit 1
}

python=/usr/bin/python3 # the Debian interpreter, which has the Debian bindings
command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing (package dbus-daemon)"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "the accessibility bus is missing (package at-spi2-core)"
[[ -x $python ]] && $python -c 'import pyatspi' 2>/dev/null || skip "pyatspi is missing (package python3-pyatspi)"
case $mode in
x11) command -v Xvfb >/dev/null || skip "Xvfb is missing (package xvfb)" ;;
wayland)
    command -v weston >/dev/null || skip "Weston is missing (package weston)"
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null)
    [[ -e $plugins/platforms/libqwayland-generic.so ]] || skip "Qt's Wayland platform is missing (package qt6-wayland)"
    ;;
*) fail "unknown mode '$mode' (x11 or wayland)" ;;
esac

root=$(mktemp -d)
groups=()
cleanup() {
    for group in "${groups[@]}"; do
        kill -KILL -- "-$group" 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/home" "$root/runtime"
chmod 700 "$root/runtime"

# A desktop of our own, whatever the session around us.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS XDG_SESSION_TYPE
export HOME=$root/home XDG_RUNTIME_DIR=$root/runtime
reader_options=()
if [[ $mode == x11 ]]; then
    exec 3< <(exec setsid Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$root/xvfb.log")
    groups+=($!)
    read -r -t 10 number <&3 || fail "Xvfb did not start"
    export DISPLAY=":$number"
else
    setsid timeout -k 5 120 weston --backend=headless-backend.so --use-pixman --socket=korvo-test \
        --width=1280 --height=1024 --idle-time=0 </dev/null >"$root/weston.log" 2>&1 &
    groups+=($!)
    disown
    for _ in $(seq 100); do
        [[ -S $XDG_RUNTIME_DIR/korvo-test ]] && break
        sleep 0.1
    done
    [[ -S $XDG_RUNTIME_DIR/korvo-test ]] || fail "Weston did not start: $(cat "$root/weston.log")"
    export WAYLAND_DISPLAY=korvo-test
    reader_options=(--quiet --unfocused)
fi

# Under AddressSanitizer (make test-sanitize): libwayland and Mesa keep no
# frame pointers, so only the slow unwinder gives LeakSanitizer the whole
# stacks that tests/lsan.supp is matched against.
[[ -n ${ASAN_OPTIONS:-} ]] && export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0

setsid timeout -k 5 90 dbus-run-session -- $python "$here/screen-reader.py" "$game" "${reader_options[@]}" \
    </dev/null >"$root/reader.log" 2>&1 &
groups+=($!)
wait $!
status=$?
# The buses' and the registry daemon's chatter is not the reader's.
grep -v -E '^dbus-daemon\[|^SpiRegistry daemon|dbind-WARNING|^$' "$root/reader.log"
[[ $status -eq 0 ]] || fail "the reader ended with exit code $status"
