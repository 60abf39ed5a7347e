#!/usr/bin/python3
"""The whole game played in headless Chromium with real clicks and keys, as
a player plays it: the splash and its timing, every control where the layout
tables put it (in CSS pixels, 15 twips to one), a shot and its box, the
counters after OK, Reiniciar, F8, About once and in front, Esc, System Info,
and F4 with the page's offer to play again.

    play.py WEB_BUILD RATIO
"""

import sys
import time

import browser

failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what)
    if not ok:
        failures.append(what)
    return ok


def verdict():
    """The last line of a run, and its exit code."""
    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


def px(twips):
    return round(twips / 15)


# The layout tables, in twips: the game window's controls in its client
# area, the statistics labels in their frame, and the About dialog's.
GAME = {'Frame1': (480, 5400, 3255, 1695), 'Picture4': (240, 480, 1455, 615), 'Picture3': (5880, 360, 4335, 6615),
        'cmdReset': (4320, 4440, 1095, 375), 'cmdTirar': (4320, 3120, 1095, 975), 'Picture2': (600, 1920, 1035, 1095),
        'Picture1': (2760, 240, 1035, 1095), 'Label1': (120, 7320, 5295, 495), 'lbl': (120, 4920, 4215, 375),
        'Shape1': (2280, 1440, 1935, 2055)}
FRAME = {'Label2': (360, 360, 1455, 255), 'Label3': (360, 600, 1455, 255), 'Label4': (360, 840, 1455, 255),
         'Label5': (360, 1080, 1335, 255), 'lblIntentos': (2040, 360, 495, 255), 'lblEncesto': (2040, 600, 735, 255),
         'lblErro': (2040, 840, 615, 255), 'lblPorc': (2040, 1080, 495, 255)}
# Where the horizontal ball may stand: its stops, the first its start.
HORIZONTAL_STOPS = [600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500]
ABOUT = {'picIcon': (120, 360, 1410, 630), 'cmdOK': (4245, 2625, 1260, 345), 'cmdSysInfo': (4260, 3075, 1245, 345),
         'lblDescription': (1680, 1125, 3885, 1170), 'lblTitle': (1680, 240, 3885, 480),
         'lblVersion': (1680, 780, 3885, 225)}

# Where a control stands in its container, from what the page laid out.
PLACED = '''
var e = document.querySelector('[data-name="' + arguments[0] + '"] [data-name="' + arguments[1] + '"]');
if (!e) return null;
var box = e.getBoundingClientRect(), outer = e.parentElement.getBoundingClientRect();
return [box.left - outer.left, box.top - outer.top, box.width, box.height];
'''


class Page:
    def __init__(self, driver):
        self.d = driver

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def element(self, form, name):
        return self.d.find_element('css selector', f'[data-name="{form}"] [data-name="{name}"]')

    def shown(self, form):
        return bool(self.js('var w = document.querySelector(\'.window[data-name="%s"]\');'
                            'return w && w.checkVisibility();' % form))

    def count(self, form):
        return self.js('return [...document.querySelectorAll(\'.window[data-name="%s"]\')]'
                       '.filter(w => w.checkVisibility()).length' % form)

    def text(self, form, name):
        return self.js('return document.querySelector(\'[data-name="%s"] [data-name="%s"]\').textContent'
                       % (form, name))

    def counters(self):
        return [self.text('Form1', n) for n in ('lblIntentos', 'lblEncesto', 'lblErro', 'lblPorc')]

    def box(self):
        return self.js('var b = document.querySelector("dialog.box[open]");'
                       'return b ? [b.querySelector("#box-title").textContent,'
                       ' b.querySelector("#box-text").textContent, b.getAttribute("role")] : null')

    def wait(self, condition, seconds=3.0):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if condition():
                return True
            time.sleep(0.02)
        return condition()

    def click(self, element):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.d).move_to_element(element).click().perform()

    def keys(self, *keys):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.d).send_keys(*keys).perform()

    def front(self, form):
        return self.js('return +document.querySelector(\'.window[data-name="%s"]\').style.zIndex' % form)

    def check_places(self, form, table, container_form=None):
        for name, (left, top, width, height) in table.items():
            at = self.js(PLACED, container_form or form, name)
            want = [px(left), px(top), px(width), px(height)]
            if name == 'Picture2' and at is not None:
                # The horizontal ball sweeps: at its start or on one of its stops.
                check(at[1:] == want[1:] and any(abs(at[0] - stop / 15) <= 0.5 for stop in HORIZONTAL_STOPS),
                      f'{form}.{name} at its row, on a stop ({at})')
                continue
            check(at is not None and all(abs(a - w) < 0.01 for a, w in zip(at, want)),
                  f'{form}.{name} at {want} CSS px (page: {at})')


def play(page, ratio):
    from selenium.webdriver.common.keys import Keys

    d = page.d
    # The browser's own F1 help must not open: a listener after the page's
    # sees whether the page kept the key.
    d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': '''
        window.korvoKeys = [];
        window.addEventListener('keydown', e => korvoKeys.push([e.key, e.defaultPrevented]));'''})
    started = time.monotonic()
    d.get(page.url)

    check(page.wait(lambda: page.shown('frmSplash'), 2), 'the splash comes up')
    check(abs(page.js('return devicePixelRatio') - ratio) < 0.01, f'the device pixel ratio is {ratio}')
    check(page.js('return document.title') == 'Korvo Game', 'the tab says Korvo Game while the splash is up')
    frame = page.js('var r = document.querySelector(".window[data-name=frmSplash]").getBoundingClientRect();'
                    'return [r.left, r.top, r.width, r.height, document.documentElement.clientWidth,'
                    ' document.documentElement.clientHeight]')
    check(abs(2 * frame[0] + frame[2] - frame[4]) <= 1 and abs(2 * frame[1] + frame[3] - frame[5]) <= 1,
          f'the splash is centred in the viewport ({frame})')
    check(page.text('frmSplash', 'lblVersion') == 'Version 1.1.1', 'the splash shows Version 1.1.1')
    time.sleep(max(0.0, 1.1 - (time.monotonic() - started)))
    check(page.shown('frmSplash') and not page.shown('Form1'), 'the splash is still up after 1.1 s')
    check(page.wait(lambda: page.shown('Form1'), 3), 'the game comes up')
    opened = page.js('return performance.now()') / 1000
    check(1.4 <= opened <= 3.0, f'the game opens 1.5 s after the page ({opened:.2f} s)')
    check(not page.shown('frmSplash'), 'the splash is gone')
    check(page.js('return document.title') == 'Korvo Game', 'the tab says Korvo Game')
    check(page.js('return [...document.querySelectorAll(".menubar .menu-title")].map(t => t.textContent)')
          == ['Archivo', 'Herramientas', 'Ayuda'], 'the game has its menu bar: Archivo, Herramientas, Ayuda')

    check(page.js('return document.querySelector(".window[data-name=Form1] .client").getBoundingClientRect().width')
          == px(10350), 'the client area is 10350 twips wide')
    page.check_places('Form1', GAME)
    page.check_places('Form1', FRAME, 'Frame1')

    # The horizontal ball sweeps, one stop a tick, ten ticks a second.
    moves = d.execute_async_script('''
        const done = arguments[arguments.length - 1];
        const ball = document.querySelector('[data-name=Form1] [data-name=Picture2]');
        const moves = [];
        const watch = new MutationObserver(() => moves.push(performance.now()));
        watch.observe(ball, {attributes: true});
        setTimeout(() => { watch.disconnect(); done(moves); }, 2000);''')
    gaps = [b - a for a, b in zip(moves, moves[1:])]
    check(17 <= len(moves) <= 21 and min(gaps) > 60, f'the horizontal ball moves once every 100 ms '
          f'({len(moves)} moves in 2 s, gaps {min(gaps):.1f} to {max(gaps):.1f} ms)')

    # A shot: Tirar by a click, then by Enter; the box comes before the
    # counters.
    page.click(page.element('Form1', 'cmdTirar'))
    check(page.wait(lambda: page.text('Form1', 'lbl') == 'Ahora tirá la otra pelota', 1),
          'a click on Tirar freezes the first ball')
    page.keys(Keys.ENTER)
    check(page.wait(lambda: page.box() is not None, 2), 'Enter shoots and a box comes up')
    box = page.box()
    check(box is not None and box[0] == 'Korvo' and box[1] in ('Encestaste!!!!!!!', 'Erraste')
          and box[2] == 'alertdialog', f'the box: Korvo, the verdict, an alert dialog ({box})')
    check(page.counters() == ['', '', '', ''], 'the counters wait for the box to be answered')
    scored = box is not None and box[1] == 'Encestaste!!!!!!!'
    time.sleep(0.3)
    check(page.box() is not None, 'the box stays until it is answered')
    page.click(d.find_element('css selector', 'dialog.box .button'))
    check(page.wait(lambda: page.box() is None, 1), 'OK answers the box')
    want = ['1', '1', '', '100'] if scored else ['1', '', '1', '0']
    check(page.wait(lambda: page.counters() == want, 1), f'the counters after OK: {want} ({page.counters()})')

    page.click(page.element('Form1', 'cmdTirar'))
    check(page.wait(lambda: page.box() is not None, 1), 'Tirar after a shot asks for Reiniciar')
    check(page.box() and page.box()[1] == 'Presione reiniciar para tirar de nuevo', 'Presione reiniciar...')
    page.keys(Keys.ENTER)
    check(page.wait(lambda: page.box() is None, 1), 'Enter answers the box')
    check(page.counters() == want, 'the counters stay as they were')

    page.click(page.element('Form1', 'cmdReset'))
    left = page.js(PLACED, 'Form1', 'Picture2')[0]
    check(page.wait(lambda: page.js(PLACED, 'Form1', 'Picture2')[0] != left, 1), 'Reiniciar starts the sweep again')

    # F8 hides and shows the statistics; the menu shows it checked.
    stats = d.find_element('css selector', '[data-name="mnuStats"]')
    page.keys(Keys.F8)
    check(page.wait(lambda: not page.js('return document.querySelector("[data-name=Frame1]").checkVisibility()'), 1)
          and stats.get_attribute('aria-checked') == 'false', 'F8 hides the statistics')
    page.keys(Keys.F8)
    check(page.wait(lambda: page.js('return document.querySelector("[data-name=Frame1]").checkVisibility()'), 1)
          and stats.get_attribute('aria-checked') == 'true', 'F8 shows them again')

    # About: F1, at its place, once, in front; sent behind by a click on
    # the game, brought forward by F1.
    page.keys(Keys.F1)
    check(page.wait(lambda: page.shown('frmAbout'), 1), 'F1 opens About')
    check(['F1', True] in page.js('return korvoKeys'), "the page keeps F1 from the browser's help")
    check(len(d.window_handles) == 1, 'no help tab opened')
    at = page.js('var r = document.querySelector(".window[data-name=frmAbout]").getBoundingClientRect();'
                 'return [r.left, r.top]')
    check(at == [px(2340), px(1890)], f'About stands at (2340, 1890) twips from the viewport\'s corner ({at})')
    check(page.js('return document.title') == 'Acerca del autor', 'the tab says Acerca del autor')
    check(page.front('frmAbout') > page.front('Form1'), 'About is above the game')
    page.check_places('frmAbout', ABOUT)
    page.click(page.element('Form1', 'Label1'))
    check(page.wait(lambda: page.front('Form1') > page.front('frmAbout'), 1), 'a click on the game sends About behind')
    check(page.js('return document.title') == 'Korvo Game', 'the tab says Korvo Game again')
    page.keys(Keys.F1)
    check(page.wait(lambda: page.front('frmAbout') > page.front('Form1'), 1) and page.count('frmAbout') == 1,
          'F1 again brings the one About to the front')
    page.keys(Keys.ESCAPE)
    check(page.wait(lambda: not page.shown('frmAbout'), 1), 'Esc closes About')
    page.keys(Keys.F1)
    check(page.wait(lambda: page.shown('frmAbout'), 1), 'F1 opens About again')
    page.keys(Keys.ENTER)
    check(page.wait(lambda: not page.shown('frmAbout'), 1) and page.text('Form1', 'lbl') == '',
          'Enter closes About and does not shoot')

    # The menu bar by the keyboard: F10, the arrows, Enter, Esc.
    page.keys(Keys.F10)
    focused = lambda: page.js('return document.activeElement.textContent')
    check(focused() == 'Archivo', 'F10 reaches the menu bar')
    page.keys(Keys.ARROW_RIGHT)
    check(focused() == 'Herramientas', 'the right arrow goes to Herramientas')
    page.keys(Keys.ARROW_DOWN)
    check(page.js('return document.activeElement.dataset.name') == 'mnuStats', 'the down arrow opens its menu')
    page.keys(Keys.ENTER)
    check(page.wait(lambda: not page.js('return document.querySelector("[data-name=Frame1]").checkVisibility()'), 1)
          and page.text('Form1', 'lbl') == '', 'Enter picks Estadísticas visibles, and does not shoot')
    page.keys(Keys.F10, Keys.ARROW_RIGHT, Keys.ARROW_DOWN, Keys.ESCAPE, Keys.ESCAPE)
    check(page.js('return document.querySelector(".menu:not([hidden])")') is None
          and page.js('return document.activeElement.dataset.name') == 'cmdReset',
          'Esc closes the menu, and again gives the focus back to the button that had it')
    page.keys(Keys.F8)

    # The menus by the mouse: Acerca... and System Info.
    page.click(d.find_element('css selector', '[data-name="fhrfdh"] .menu-title'))
    page.click(d.find_element('css selector', '[data-name="mnuAbout"]'))
    check(page.wait(lambda: page.shown('frmAbout'), 1), 'Ayuda, Acerca... opens About')
    page.click(page.element('frmAbout', 'cmdSysInfo'))
    check(page.wait(lambda: page.box() is not None, 1)
          and page.box()[1] == 'System Information Is Unavailable At This Time',
          'System Info says it is unavailable')
    page.keys(Keys.ESCAPE)
    check(page.wait(lambda: page.box() is None, 1) and page.shown('frmAbout'), 'Esc answers the box, About stays')
    page.click(page.element('frmAbout', 'cmdOK'))
    check(page.wait(lambda: not page.shown('frmAbout'), 1), 'OK closes About')

    # F4 ends the game; the page says so and offers it again.
    page.keys(Keys.F4)
    check(page.wait(lambda: page.js('return !!document.querySelector(".ended")'), 1)
          and not page.shown('Form1'), 'F4 ends the game')
    ended = page.js('return document.querySelector(".ended").textContent')
    check('Terminó el juego.' in ended, f'the page says the game ended ({ended})')
    page.click(d.find_element('css selector', '.ended .button'))
    check(page.wait(lambda: page.shown('frmSplash'), 3), 'Jugar de nuevo starts the game again')
    page.keys('k')
    check(page.wait(lambda: page.shown('Form1'), 0.5) and not page.shown('frmSplash'),
          'a key on the splash opens the game at once')
    check(page.js('return performance.now()') < 1400, 'before the splash would have gone by itself')

    # The faces the page serves, for a machine without the layouts' fonts.
    for face in ('900 37px "Korvo Condensed"', '19px "Korvo Comic"'):
        check(page.d.execute_async_script('const done = arguments[arguments.length - 1];'
                                          'document.fonts.load(arguments[0], "Korvo").then(f => done(f.length))', face)
              == 1, f'the page serves {face}')


def main():
    folder, ratio = sys.argv[1], float(sys.argv[2])
    browser.tools(folder)
    with browser.session(folder, ratio=ratio, size=(1024, 768)) as (server, driver):
        page = Page(driver)
        page.url = server.url
        play(page, ratio)
        for entry in driver.get_log('browser'):
            check(entry['level'] != 'SEVERE', f"nothing goes wrong in the page ({entry['message']})")
    return verdict()


if __name__ == '__main__':
    sys.exit(main())
