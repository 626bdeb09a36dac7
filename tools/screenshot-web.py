#!/usr/bin/python3
"""Takes the web page's screenshots in headless Chromium: the window on a
computer (docs/screenshot-web.png) and the page on a 390 x 844 phone
(docs/screenshot-web-phone.png).

    tools/screenshot-web.py [SITE]      (SITE: build-web/site)

Needs chromium, chromium-driver and python3-selenium."""

import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from selenium.webdriver.common.by import By  # noqa: E402
from webpage import Browser, Server  # noqa: E402


def shown(browser):
    browser.wait(lambda: browser.js("return document.activeElement.id") == "Text1",
                 "the window never showed")
    # The caret blinks; leave the focus where a screenshot has no caret.
    browser.js("document.activeElement.blur();")


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build-web", "site")
    server = Server(site)
    browser = Browser()
    try:
        browser.driver.get(server.origin + "/")
        shown(browser)
        path = os.path.join(ROOT, "docs", "screenshot-web.png")
        browser.driver.find_element(By.ID, "Form1").screenshot(path)
        print("wrote", os.path.relpath(path))

        browser.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True})
        browser.driver.get(server.origin + "/")
        shown(browser)
        path = os.path.join(ROOT, "docs", "screenshot-web-phone.png")
        browser.driver.save_screenshot(path)
        print("wrote", os.path.relpath(path))
    finally:
        browser.quit()
        server.stop()


if __name__ == "__main__":
    main()
