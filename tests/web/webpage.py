"""What the web page's tests share: a static server on 127.0.0.1 and a
headless Chromium driven through chromium-driver. Every start, load, script
and wait has a time limit, so a fault fails a test instead of hanging it."""

import functools
import http.server
import json
import os
import shutil
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.remote.remote_connection import RemoteConnection
from selenium.webdriver.support.ui import WebDriverWait

CHROMIUM = os.environ.get("CORVATTA_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CORVATTA_CHROMEDRIVER", "/usr/bin/chromedriver")
WAIT = 10  # seconds for anything the page does


class _Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass


class Server:
    """Serves a folder on 127.0.0.1 at a free port until stopped."""

    def __init__(self, folder):
        handler = functools.partial(_Quiet, directory=folder)
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self._server.timeout = WAIT
        self.origin = f"http://127.0.0.1:{self._server.server_port}"
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()

    def stop(self):
        if self._thread:
            self._server.shutdown()
            self._server.server_close()
            self._thread.join(WAIT)
            self._thread = None


class Browser:
    """A fresh headless Chromium with its own profile; language as given.
    Records the network requests it makes when asked to."""

    def __init__(self, language="en-US", log_network=False):
        self._profile = tempfile.mkdtemp(prefix="corvatta-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in (
                # Root, no GPU, and a closed network: without these Chromium's
                # own connections fail or wait.
                "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync",
                # A chroot's /dev/shm may be missing or small.
                "--disable-dev-shm-usage",
                "--user-data-dir=" + self._profile,
                "--window-size=800,700",
                "--lang=" + language, "--accept-lang=" + language):
            options.add_argument(argument)
        options.add_experimental_option("prefs", {"intl.accept_languages": language})
        if log_network:
            options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        # Every call to the driver has a time limit too (newer Seleniums set
        # it elsewhere, and have one of their own).
        if hasattr(RemoteConnection, "set_timeout"):
            RemoteConnection.set_timeout(30)
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_page_load_timeout(30)
        self.driver.set_script_timeout(WAIT)
        # Intl's own default stays the browser's interface language; make the
        # rest of the browser agree with the language it reports.
        self.driver.execute_cdp_cmd("Emulation.setLocaleOverride", {"locale": language})

    def wait(self, condition, message):
        return WebDriverWait(self.driver, WAIT).until(lambda driver: condition(), message)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def requests(self):
        """The URLs requested since the last call."""
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls

    def quit(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self._profile, ignore_errors=True)
