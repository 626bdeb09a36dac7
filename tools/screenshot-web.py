#!/usr/bin/python3
"""Takes the web page's screenshots in headless Chromium: the window on a
computer (docs/screenshot-web.png) and the page on a 390 x 844 phone
(docs/screenshot-web-phone.png).

    tools/screenshot-web.py [SITE]      (SITE: build-web/site)

Needs chromium and chromium-driver."""

import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from webpage import Browser, Server  # noqa: E402


def shown(browser):
    browser.wait(lambda: browser.js("return document.activeElement.id") == "Text1",
                 "the window never showed")
    # The caret blinks; leave the focus where a screenshot has no caret.
    browser.js("document.activeElement.blur();")


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build-web", "site")
    server = Server(site)
    browser = Browser("chromium")
    try:
        browser.get(server.origin + "/")
        shown(browser)
        path = os.path.join(ROOT, "docs", "screenshot-web.png")
        browser.screenshot(path, "#Form1")
        print("wrote", os.path.relpath(path))

        browser.set_viewport(390, 844, 1, True)
        browser.get(server.origin + "/")
        shown(browser)
        path = os.path.join(ROOT, "docs", "screenshot-web-phone.png")
        browser.screenshot(path)
        print("wrote", os.path.relpath(path))
    finally:
        browser.quit()
        server.stop()


if __name__ == "__main__":
    main()
