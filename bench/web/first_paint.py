"""Navigation to first paint of the complete window, median of 15, for the
page and for a static copy of it without its program (same markup, style
sheet and pictures, no script). The browser's cache and the service
worker are bypassed, so every load fetches every file from the local
server, as a first visit does.

    first_paint.py SITE"""

import os
import re
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "web"))
from webpage import Browser, Server  # noqa: E402

RUNS = 15


def static_copy(site, folder):
    """The page without its script."""
    with open(os.path.join(site, "index.html"), encoding="utf-8") as page:
        html = re.sub(r"<script[^>]*></script>\n?", "", page.read())
    with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as page:
        page.write(html)


def first_paint(browser, url):
    """Milliseconds from navigation to the first contentful paint: the
    window is in the page's markup, so its first paint is the complete
    window."""
    browser.get(url)
    browser.wait(lambda: browser.js(
        "return performance.getEntriesByName('first-contentful-paint').length > 0"),
        "no first paint")
    return browser.js(
        "return performance.getEntriesByName('first-contentful-paint')[0].startTime")


def main():
    site = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="corvatta-static-")
    for name in ("corvatta.css", "banner.jpg", "banner@2x.jpg", "favicon.ico"):
        shutil.copy(os.path.join(site, name), folder)
    page, static = Server(site), Server(folder)
    browser = Browser("chromium")
    try:
        browser.cdp("Network.enable", {})
        browser.cdp("Network.setCacheDisabled", {"cacheDisabled": True})
        browser.cdp("Network.setBypassServiceWorker", {"bypass": True})
        static_copy(site, folder)
        # Taken in turns, so that a busy machine slows both alike.
        results = {"page (wasm)": [], "static copy": []}
        for _ in range(RUNS):
            results["page (wasm)"].append(first_paint(browser, page.origin + "/"))
            results["static copy"].append(first_paint(browser, static.origin + "/"))
    finally:
        browser.quit()
        page.stop()
        static.stop()
        shutil.rmtree(folder, ignore_errors=True)
    print(f"First paint of the complete window, headless Chromium, median of {RUNS}:")
    for name, times in results.items():
        print(f"  {name:12} {statistics.median(times):7.1f} ms"
              f"  (min {min(times):.1f}, max {max(times):.1f})")
    ratio = statistics.median(results["page (wasm)"]) / statistics.median(results["static copy"])
    print(f"  ratio        {ratio:7.2f}  (target: within 1.15)")


if __name__ == "__main__":
    main()
