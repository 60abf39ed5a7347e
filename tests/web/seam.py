#!/usr/bin/python3
"""The seam suite on the web backend, in headless Chromium: the suite's page
(seam.html) runs every case against real elements and real time, and what it
printed and its result are read back here.

    seam.py WEB_BUILD RATIO [DOCTEST_ARGUMENT...]
"""

import sys
import time
import urllib.parse

import browser


def main():
    folder, ratio, extra = sys.argv[1], float(sys.argv[2]), sys.argv[3:]
    browser.tools(folder)
    # Large enough that the page never scales the desktop down.
    with browser.session(folder, ratio=ratio, size=(1400, 1100)) as (server, driver):
        query = urllib.parse.urlencode([('arg', a) for a in ['--no-colors=true', *extra]])
        driver.get(f'{server.url}seam.html?{query}')
        deadline = time.monotonic() + 600
        result = None
        while result is None and time.monotonic() < deadline:
            time.sleep(0.25)
            result = driver.execute_script('return window.korvoSuite || null')
        print('\n'.join(driver.execute_script('return window.korvoOutput || []')))
        for entry in driver.get_log('browser'):
            print(f"browser: {entry['level']} {entry['message']}")
        if result is None:
            print('FAIL: the suite did not finish within ten minutes')
            return 1
        return 0 if result['code'] == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
