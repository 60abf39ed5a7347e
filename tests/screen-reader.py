# The game as a screen reader meets it: started on the desktop's accessibility
# bus and read through AT-SPI (pyatspi), the library Orca is built on. It
# hears the windows as they come up, presses "Tirar" twice and OK through
# their accessible actions, reads the verdict and the counters, opens and
# closes the About dialog from the menu, and leaves with "Salir". Each step
# waits a bounded time. With --quiet the game may print nothing at all; with
# --unfocused the desktop has no keyboard, so no window is ever activated and
# the windows are read rather than heard.
#
#   python3 screen-reader.py GAME [--quiet] [--unfocused]

import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

STEP_SECONDS = 10
COUNTERS = ["Veces que tiró", "Veces que encestó", "Veces que erró", "Efectividad"]
VERDICTS = ["Encestaste!!!!!!!", "Erraste"]

heard = []  # the windows announced, as (role, name)
game = None


def say(line):
    print(line, flush=True)


def fail(why):
    say("FAIL: " + why)
    if game and game.poll() is None:
        game.kill()
    sys.exit(1)


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, find, seconds=STEP_SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        try:
            found = find()
        except GLib.Error:
            found = None  # the object went while we looked
        if found:
            return found
        if game.poll() is not None:
            fail(f"the game ended (exit code {game.returncode}) while waiting for {what}")
        time.sleep(0.05)
    fail(f"no {what} after {seconds} s")


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == game.pid:
            return app
    return None


def window(role, name):
    app = application()
    if app is None:
        return None
    for i in range(app.childCount):
        child = app.getChildAtIndex(i)
        if child is not None and child.getRoleName() == role and child.name == name:
            if child.getState().contains(pyatspi.STATE_SHOWING):
                return child
    return None


def gone(role, name):
    return lambda: window(role, name) is None


def find(root, role, name):
    for node in descendants(root):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def press(node):
    role, name = node.getRoleName(), node.name  # the node may go with the press
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            say(f'  press {role} "{name}"')
            action.doAction(i)
            return
    fail(f'"{name}" has no press action')


def on_window(event):
    source = event.source
    try:
        if source.get_process_id() == game.pid:
            heard.append((source.getRoleName(), source.name))
            say(f'heard {source.getRoleName()} "{source.name}"')
    except GLib.Error:
        pass


def counters(frame):
    values = {}
    for name in COUNTERS:
        label = find(frame, "label", name)
        if label is None:
            fail(f'no counter "{name}"')
        values[name] = label.queryValue().currentValue
    return values


def main():
    global game
    quiet = "--quiet" in sys.argv[2:]
    unfocused = "--unfocused" in sys.argv[2:]

    # What a screen reader does when it starts: it tells the desktop that one
    # is running, and programs then talk on the accessibility bus.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, STEP_SECONDS * 1000, None)
    pyatspi.Registry.registerEventListener(on_window, "window:activate")

    printed = tempfile.TemporaryFile()
    game = subprocess.Popen([sys.argv[1]], stdin=subprocess.DEVNULL, stdout=printed, stderr=subprocess.STDOUT)

    frame = wait_for('the game window, a frame "Korvo Game"', lambda: window("frame", "Korvo Game"))
    say('read frame "Korvo Game"')
    tirar = wait_for('the button "Tirar"', lambda: find(frame, "push button", "Tirar"))
    before = counters(frame)
    if any(before.values()):
        fail(f"counters before the first shot: {before}")

    press(tirar)
    wait_for('the message "Ahora tirá la otra pelota"', lambda: find(frame, "label", "Ahora tirá la otra pelota"))
    say('read label "Ahora tirá la otra pelota"')

    press(tirar)
    alert = wait_for('the message box, an alert "Korvo"', lambda: window("alert", "Korvo"))
    texts = [node.name for node in descendants(alert) if node.getRoleName() == "label"]
    verdict = next((text for text in texts if text in VERDICTS), None)
    if verdict is None:
        fail(f'the alert "Korvo" reads {texts}, no verdict')
    say(f'read alert "Korvo": "{verdict}"')
    ok = find(alert, "push button", "OK")
    if ok is None:
        fail('the alert has no button "OK"')
    press(ok)
    wait_for("the alert to close", gone("alert", "Korvo"))

    def one_shot_counted():
        values = counters(frame)
        return values if values["Veces que tiró"] == 1 else None

    after = wait_for("the counters of one shot", one_shot_counted)
    say("read counters: " + ", ".join(f"{name} {value:g}" for name, value in after.items()))
    basket = verdict == VERDICTS[0]
    expected = {"Veces que tiró": 1, "Veces que encestó": 1 if basket else 0,
                "Veces que erró": 0 if basket else 1, "Efectividad": 100 if basket else 0}
    if after != expected:
        fail(f"counters {after}, expected {expected}")

    about = find(frame, "menu item", "Acerca...")
    if about is None:
        fail('no menu item "Acerca..."')
    press(about)
    dialog = wait_for('the About dialog, a dialog "Acerca del autor"', lambda: window("dialog", "Acerca del autor"))
    say('read dialog "Acerca del autor"')
    # Asked for again while open, the same dialog is asked to come to the
    # front; no second one opens.
    press(about)
    time.sleep(0.3)
    pump()
    dialogs = [child for child in descendants(application()) if child.getRoleName() == "dialog"]
    if len(dialogs) != 1:
        fail(f"{len(dialogs)} About dialogs after asking for it again")
    ok = find(dialog, "push button", "OK")
    if ok is None:
        fail('the About dialog has no button "OK"')
    press(ok)
    wait_for("the About dialog to close", gone("dialog", "Acerca del autor"))

    leave = find(frame, "menu item", "Salir")
    if leave is None:
        fail('no menu item "Salir"')
    press(leave)
    try:
        game.wait(timeout=STEP_SECONDS)
    except subprocess.TimeoutExpired:
        fail('"Salir" did not end the game')
    printed.seek(0)
    output = printed.read()
    if game.returncode != 0:
        fail(f"the game ended with exit code {game.returncode}: {output.decode(errors='replace')}")
    if quiet and output:
        fail("the game printed:\n" + output.decode(errors="replace"))

    for role, name in [("frame", "Korvo Game"), ("alert", "Korvo"), ("dialog", "Acerca del autor")]:
        if not unfocused and (role, name) not in heard:
            fail(f'never heard {role} "{name}" come up; heard {heard}')
    say("PASS: windows, verdict and counters read through the accessibility bus")


main()
