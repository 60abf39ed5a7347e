"""What the browser checks share: the page served on a free loopback port,
and Debian's headless Chromium driven through chromedriver, as a player's
browser on a desktop or on a phone."""

import contextlib
import functools
import http.server
import os
import shutil
import sys
import tempfile
import threading

SKIP = 77


def skip(reason):
    """Skips the check where the tools are missing; under CI nothing may be."""
    if os.environ.get('CI') == 'true':
        print(f'FAIL: {reason} (under CI nothing may be missing)')
        sys.exit(1)
    print(f'SKIP: {reason}')
    sys.exit(SKIP)


def tools(folder=None):
    if folder and not os.path.exists(os.path.join(folder, 'index.html')):
        skip(f'no page in {folder} (the test web_page builds it)')
    for program in ('chromium', 'chromedriver'):
        if not shutil.which(program):
            skip(f'no {program} (scripts/install-deps test installs it)')
    try:
        import selenium  # noqa: F401
    except ImportError:
        skip('no python3-selenium (scripts/install-deps test installs it)')


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.woff': 'font/woff',
                      '.js': 'text/javascript', '.html': 'text/html; charset=utf-8'}

    def log_message(self, *args):
        pass


class Server:
    """The folder served on 127.0.0.1, on a port the system chooses."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        self.url = f'http://127.0.0.1:{self.httpd.server_address[1]}/'
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# As root, with no network: no sandbox, no GPU, nothing that calls home.
FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--disable-dev-shm-usage', '--hide-scrollbars', '--mute-audio']


def chromium(ratio=1, size=(1024, 768), mobile=False):
    """A fresh headless Chromium: its own profile, the device pixel ratio
    given, or a phone's screen with touch."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium')
    profile = tempfile.mkdtemp(prefix='korvo-chromium-')
    for flag in FLAGS:
        options.add_argument(flag)
    options.add_argument(f'--user-data-dir={profile}')
    if mobile:
        options.add_experimental_option('mobileEmulation', {
            'deviceMetrics': {'width': size[0], 'height': size[1], 'pixelRatio': ratio, 'touch': True, 'mobile': True},
            'userAgent': 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) '
                         'Chrome/120.0 Mobile Safari/537.36'})
    else:
        options.add_argument(f'--force-device-scale-factor={ratio}')
        options.add_argument(f'--window-size={size[0]},{size[1]}')
    # Chromium keeps its crash reports and caches under the XDG folders:
    # in the profile too, so that a check leaves nothing in the home folder.
    env = dict(os.environ, XDG_CONFIG_HOME=profile, XDG_CACHE_HOME=profile)
    driver = webdriver.Chrome(service=Service(shutil.which('chromedriver'), env=env), options=options)
    driver.korvo_profile = profile
    return driver


def quit(driver):
    try:
        driver.quit()
    finally:
        shutil.rmtree(driver.korvo_profile, ignore_errors=True)


@contextlib.contextmanager
def session(folder, **chromium_options):
    """The folder served and a Chromium to open it, both gone again however
    the run ends: yields (server, driver)."""
    server = Server(folder)
    try:
        driver = chromium(**chromium_options)
        try:
            yield server, driver
        finally:
            quit(driver)
    finally:
        server.close()
