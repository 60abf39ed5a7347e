#!/usr/bin/python3
"""The game on a phone: Chromium's mobile emulation (390 x 844 CSS pixels,
touch, device pixel ratio 3). The page scales the whole game to fit the
width without cutting a control, a tap is a click, and everything a key does
has a control or a menu item to tap.

    mobile.py WEB_BUILD
"""

import sys
import time

import browser
from play import Page, check, verdict

INSIDE = '''
var width = document.documentElement.clientWidth, out = [];
document.querySelectorAll('.window .client > *, .menubar .menu-title').forEach(function(e) {
  if (!e.checkVisibility()) return;
  var r = e.getBoundingClientRect();
  if (r.left < -0.5 || r.right > width + 0.5) out.push(e.dataset.name || e.textContent);
});
return out;
'''


def tap(driver, element):
    """A finger on the element's middle: touch events, as a phone sends them."""
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.pointer_input import PointerInput
    from selenium.webdriver.common.actions import interaction

    finger = PointerInput(interaction.POINTER_TOUCH, 'finger')
    actions = ActionBuilder(driver, mouse=finger)
    actions.pointer_action.move_to(element).pointer_down().pause(0.05).pointer_up()
    actions.perform()


def main():
    folder = sys.argv[1]
    browser.tools(folder)
    with browser.session(folder, ratio=3, size=(390, 844), mobile=True) as (server, driver):
        page = Page(driver)
        driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': '''
            window.korvoTouches = 0;
            window.addEventListener('touchstart', () => ++korvoTouches, true);'''})
        driver.get(server.url)
        check(page.js('return [document.documentElement.clientWidth, devicePixelRatio, navigator.maxTouchPoints > 0]')
              == [390, 3, True], 'a phone: 390 CSS pixels wide, device pixel ratio 3, touch')
        check(page.wait(lambda: page.shown('frmSplash'), 2), 'the splash comes up')
        check(page.js(INSIDE) == [], 'the splash fits the width')
        check(page.wait(lambda: page.shown('Form1'), 3), 'the game comes up')
        time.sleep(0.2)
        check(page.js(INSIDE) == [], f'no control of the game is cut ({page.js(INSIDE)})')
        scale = page.js('return document.querySelector(".window[data-name=Form1]").getBoundingClientRect().width')
        check(350 <= scale <= 390, f'the game is scaled to fill the width ({scale:.0f} CSS px)')

        tap(driver, page.element('Form1', 'cmdTirar'))
        check(page.wait(lambda: page.text('Form1', 'lbl') == 'Ahora tirá la otra pelota', 1),
              'a tap on Tirar freezes the first ball')
        check(page.js('return korvoTouches') > 0, 'the tap came as touch events')
        tap(driver, page.element('Form1', 'cmdTirar'))
        check(page.wait(lambda: page.box() is not None, 1), 'a second tap shoots')
        tap(driver, driver.find_element('css selector', 'dialog.box .button'))
        check(page.wait(lambda: page.box() is None and page.counters()[0] == '1', 1), 'a tap on OK; one shot counted')
        tap(driver, page.element('Form1', 'cmdReset'))
        check(page.wait(lambda: page.text('Form1', 'lbl') == '', 1), 'a tap on Reiniciar')

        # What keys do on a desktop, the menus do here.
        tap(driver, driver.find_element('css selector', '[data-name="mnefwf"] .menu-title'))
        tap(driver, driver.find_element('css selector', '[data-name="mnuStats"]'))
        check(page.wait(lambda: not page.js('return document.querySelector("[data-name=Frame1]").checkVisibility()'),
                        1), 'Herramientas, Estadísticas visibles hides the statistics')
        tap(driver, driver.find_element('css selector', '[data-name="fhrfdh"] .menu-title'))
        tap(driver, driver.find_element('css selector', '[data-name="mnuAbout"]'))
        check(page.wait(lambda: page.shown('frmAbout'), 1), 'Ayuda, Acerca... opens About')
        check(page.js(INSIDE) == [], 'About fits too')
        tap(driver, page.element('frmAbout', 'cmdOK'))
        check(page.wait(lambda: not page.shown('frmAbout'), 1), 'a tap on OK closes About')
        tap(driver, driver.find_element('css selector', '[data-name="geg"] .menu-title'))
        tap(driver, driver.find_element('css selector', '[data-name="mnuSalir"]'))
        check(page.wait(lambda: page.js('return !!document.querySelector(".ended")'), 1), 'Archivo, Salir ends it')
    return verdict()


if __name__ == '__main__':
    sys.exit(main())
