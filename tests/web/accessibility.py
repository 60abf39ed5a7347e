#!/usr/bin/python3
"""The game as a screen reader meets it in Chromium: the names and roles in
the browser's accessibility tree (an alert dialog for the message box, a
dialog for About, a menu bar, counters read with what they count), and
axe-core run inside the page on the splash, the game, About and a box,
with no serious or critical violation.

    accessibility.py WEB_BUILD NPM_FOLDER

axe-core comes from the npm registry, at the version package-lock.json pins
(its checksum with it), installed once into NPM_FOLDER. Where the registry
cannot be reached (no network, or a proxy whose certificate this system does
not trust) the axe-core part says so and is left out; the rest still runs.
"""

import os
import shutil
import subprocess
import sys
import time

import browser
from play import Page, check, verdict

HERE = os.path.dirname(os.path.abspath(__file__))


def axe_source(folder):
    script = os.path.join(folder, 'node_modules', 'axe-core', 'axe.min.js')
    if not os.path.exists(script):
        npm = shutil.which('npm')
        if not npm:
            browser.skip('no npm to install axe-core (scripts/install-deps test installs it)')
        os.makedirs(folder, exist_ok=True)
        for name in ('package.json', 'package-lock.json'):
            shutil.copy(os.path.join(HERE, name), folder)
        # Node.js trusts the certificates this system trusts, not only its own.
        # Its cache and logs stay beside it.
        env = dict(os.environ, NODE_EXTRA_CA_CERTS='/etc/ssl/certs/ca-certificates.crt',
                   npm_config_cache=os.path.join(folder, 'cache'))
        run = subprocess.run([npm, 'ci', '--no-audit', '--no-fund', '--ignore-scripts'], cwd=folder, env=env,
                             capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr)
            if 'EINTEGRITY' in run.stderr:
                check(False, 'axe-core from the registry matches the checksum package-lock.json pins')
                return None
            print('NOTE: the npm registry could not be reached: the axe-core part is left out')
            return None
    with open(script, encoding='utf-8') as file:
        return file.read()


def axe(page, source, where):
    if source is None:
        return
    if not page.js('return !!window.axe'):
        page.js(source)
    result = page.d.execute_async_script(
        'const done = arguments[arguments.length - 1];'
        'axe.run(document, {resultTypes: ["violations"]}).then(r => done(r.violations.map('
        ' v => [v.id, v.impact, v.nodes.map(n => n.target.join(" ")).join(", ")])));')
    bad = [v for v in result if v[1] in ('serious', 'critical')]
    for v in result:
        print(f'     axe ({where}): {v[1]} {v[0]}: {v[2]}')
    check(not bad, f'axe-core finds nothing serious or critical on {where}')


def tree(page):
    """(role, name, text) of every node Chromium exposes."""
    nodes = page.d.execute_cdp_cmd('Accessibility.getFullAXTree', {})['nodes']
    value = lambda node, key: (node.get(key) or {}).get('value', '')
    found = []
    for node in nodes:
        if node.get('ignored'):
            continue
        found.append((value(node, 'role'), value(node, 'name'), node))
    return found


def has(nodes, role, name):
    return any(r == role and n == name for r, n, _ in nodes)


def main():
    folder, npm_folder = sys.argv[1], sys.argv[2]
    browser.tools(folder)
    source = axe_source(npm_folder)
    from selenium.webdriver.common.keys import Keys
    with browser.session(folder, ratio=1, size=(1024, 768)) as (server, driver):
        page = Page(driver)
        driver.execute_cdp_cmd('Accessibility.enable', {})
        driver.get(server.url)
        check(page.wait(lambda: page.shown('frmSplash'), 2), 'the splash comes up')
        nodes = tree(page)
        check(has(nodes, 'region', 'Korvo Game'), 'the splash is a region named Korvo Game')
        check(has(nodes, 'image', 'Una mano mete la pelota en el aro'), 'its pictures are named by their artwork')
        axe(page, source, 'the splash')

        check(page.wait(lambda: page.shown('Form1'), 3), 'the game comes up')
        time.sleep(0.2)
        nodes = tree(page)
        check(has(nodes, 'menubar', 'Korvo Game'), 'the game has a menu bar')
        for title in ('Archivo', 'Herramientas', 'Ayuda'):
            check(has(nodes, 'menuitem', title), f'{title} is a menu item of it')
        check(has(nodes, 'button', 'Tirar') and has(nodes, 'button', 'Reiniciar'), 'Tirar and Reiniciar are buttons')
        check(has(nodes, 'group', 'Estadísticas'), 'the statistics are a group named Estadísticas')
        check(has(nodes, 'image', 'Pelota de básquet'), 'the balls are named')
        axe(page, source, 'the game')

        page.click(page.element('Form1', 'cmdTirar'))
        page.click(page.element('Form1', 'cmdTirar'))
        check(page.wait(lambda: page.box() is not None, 1), 'a shot brings a box')
        nodes = tree(page)
        check(has(nodes, 'alertdialog', 'Korvo'), 'the box is an alert dialog named Korvo')
        box = [node for r, n, node in nodes if r == 'alertdialog']
        described = box and (box[0].get('description') or {}).get('value', '')
        check(described in ('Encestaste!!!!!!!', 'Erraste'), f'it is described by its text ({described})')
        axe(page, source, 'the message box')
        page.keys(Keys.ENTER)
        check(page.wait(lambda: page.box() is None, 1), 'Enter answers it')

        nodes = tree(page)
        counter = [node for r, n, node in nodes if n == 'Veces que tiró' and r == 'status']
        check(bool(counter), 'the attempts counter is read as Veces que tiró')
        text = page.js('return [...document.querySelectorAll("output")].map(o => [o.getAttribute("aria-label"),'
                       ' o.textContent])')
        check(['Veces que tiró', '1'] in text, f'and it holds the count ({text})')

        page.keys(Keys.F1)
        check(page.wait(lambda: page.shown('frmAbout'), 1), 'F1 opens About')
        nodes = tree(page)
        check(has(nodes, 'dialog', 'Acerca del autor'), 'About is a dialog named Acerca del autor')
        check(has(nodes, 'button', 'System Info...'), 'System Info... is a button by that name')
        check(page.js('return document.querySelector("[data-name=cmdSysInfo]").getAttribute("aria-keyshortcuts")')
              == 'Alt+S', 'its access key is told: Alt+S')
        axe(page, source, 'About over the game')
        page.click(page.element('Form1', 'Label1'))
        page.keys(Keys.F4)
        check(page.wait(lambda: page.js('return !!document.querySelector(".ended")'), 1), 'F4 ends the game')
        axe(page, source, 'the page once the game ended')
    return verdict()


if __name__ == '__main__':
    sys.exit(main())
