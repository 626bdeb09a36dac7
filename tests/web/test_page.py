"""The web page in a real browser: what only the browser build can get
wrong, and the behaviour table (behaviour.py) run through the page.

    test_page.py SITE NUMBERS_FOLDER ENGINE TestClass

SITE is build-web/site; NUMBERS_FOLDER holds numbers.html, which runs the
shared table of number cases through the page's platform, with
behaviour.json (tests/behaviourcases.h) and layout.json (the window the
tests expect, tests/layoutcases.h) beside it; ENGINE is chromium, webkit or
firefox."""

import collections
import json
import os
import sys
import unittest

import behaviour
from webpage import Browser, Server

SITE = NUMBERS = ENGINE = LAYOUT = None


class PageTest(unittest.TestCase):
    language = "en-US"
    viewport = None
    late = None  # paths the server serves late, in seconds

    @classmethod
    def setUpClass(cls):
        cls.server = Server(SITE, cls.late)
        try:
            cls.browser = Browser(ENGINE, cls.language, cls.viewport)
        except BaseException:
            cls.server.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.stop()
        if hasattr(cls.server, "numbers"):
            cls.server.numbers.stop()

    def open_page(self):
        self.browser.get(self.server.origin + "/")
        try:
            # The page shows the window before the program has bound to it.
            self.browser.wait(lambda: self.focused() == "Text1" and self.ready(), "")
        except TimeoutError:
            self.fail(f"the program never took the window with the focus in Text1 (it is in"
                      f" {self.focused()})")

    def ready(self):
        return self.browser.js("return !document.getElementById('Form1').hasAttribute('aria-busy');")

    def text(self, name):
        return self.browser.js("return document.getElementById(arguments[0]).value;", name)

    def focus(self, name):
        self.browser.js("document.getElementById(arguments[0]).focus();", name)

    def enter(self, payment, rate, balance):
        # Typed over the box's whole text, as a person selects and types.
        for name, text in (("Text1", payment), ("Text2", rate), ("Text3", balance)):
            self.browser.js("const e = document.getElementById(arguments[0]);"
                            "e.focus(); e.select();", name)
            self.browser.keys(text)

    def focused(self):
        return self.browser.js("return document.activeElement.id || document.activeElement.tagName;")


class Layout(PageTest):
    def setUp(self):
        self.open_page()

    def test_rectangles_and_captions(self):
        client = self.browser.js(
            "const r = document.querySelector('#Form1 .client').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];")
        self.assertEqual(client[2:], LAYOUT["client"])
        self.assertEqual(self.browser.js("return document.querySelectorAll('.control').length;"),
                         len(LAYOUT["controls"]))
        for row in LAYOUT["controls"]:
            with self.subTest(row["name"]):
                # Where it is, what it shows, and whether that fits (a
                # frame's caption within the frame).
                box = self.browser.js(
                    "const e = document.getElementById(arguments[0]);"
                    "const r = e.getBoundingClientRect();"
                    "const shown = {FIELDSET: () => e.querySelector('legend').textContent,"
                    "  SELECT: () => [...e.options].map(o => o.text).join('|'),"
                    "  INPUT: () => e.value, IMG: () => ''}[e.tagName];"
                    "const c = e.tagName == 'FIELDSET' ? e.querySelector('legend') : e;"
                    "const fits = c.scrollWidth <= c.clientWidth && c.scrollHeight <= c.clientHeight"
                    "  && c.getBoundingClientRect().right <= r.right;"
                    "return [r.left, r.top, r.width, r.height, shown ? shown() : e.textContent,"
                    "        fits];", row["name"])
                self.assertEqual([box[0] - client[0], box[1] - client[1], *box[2:]],
                                 row["rect"] + [row["caption"], True])

    def test_accessible_names(self):
        # Each box is announced by its label's text, the banner by its own.
        for name, caption in [(row["names"], row["caption"]) for row in LAYOUT["controls"]
                              if row["names"]] + [("Image1", LAYOUT["bannerName"])]:
            with self.subTest(name):
                self.assertIn(name, self.browser.named(caption))
        self.assertEqual(self.browser.js("return document.title;"), LAYOUT["title"])
        # The title is the page's one heading; search engines show the
        # description.
        self.assertEqual(self.browser.js(
            "return [...document.querySelectorAll('h1')].map(h => h.id + ' ' + h.textContent);"),
            ["Label7 " + LAYOUT["title"]])
        self.assertEqual(self.browser.js(
            "return document.querySelector('meta[name=description]').content;"),
            LAYOUT["description"])


class LateStyleSheet(Layout):
    # The program starts before its style sheet has come, and still builds
    # the exact window. (One load: after it the service worker serves the
    # sheet at once.)
    late = {"/corvatta.css": 1.5}

    test_accessible_names = None


class Behaviour(PageTest):
    # The behaviour table's rows in the browser's language, one after the
    # other on one page.
    region = "English"

    def test_rows(self):
        self.open_page()
        for case in behaviour.ROWS:
            if case["region"] == self.region:
                with self.subTest(case["name"]):
                    behaviour.run(self, case)


class BehaviourGerman(Behaviour):
    language = "de-DE"
    region = "German"


class Keyboard(PageTest):
    def setUp(self):
        self.open_page()

    def test_tab_order(self):
        visited = []
        for _ in range(7):
            self.browser.keys("Tab")
            visited.append(self.focused())
        self.assertEqual(visited, LAYOUT["tabOrder"][1:])
        self.browser.keys("Shift+Tab")
        self.assertEqual(self.focused(), "Text4")
        # ... from the document's order alone.
        self.assertEqual(self.browser.js(
            "return [...document.querySelectorAll('[tabindex]')].map(e => e.id);"), [])

    def test_enter_and_esc_do_nothing(self):
        case = behaviour.row("75 % a year, paid off in month 2")
        self.browser.js("window.notReloaded = true;")
        self.enter(*case["inputs"])
        self.browser.keys("Enter")
        self.focus("Command1")
        self.browser.keys("Enter", "Escape")
        self.assertEqual(self.text("Text4"), "")
        self.focus("Command2")
        self.browser.keys("Enter", "Escape")
        self.assertEqual(self.text("Text1"), case["inputs"][0])
        self.assertTrue(self.browser.js("return window.notReloaded === true;"))
        # Space presses the focused button, as on the desktop.
        self.focus("Command1")
        self.browser.keys("Space")
        self.assertEqual((self.text("Text4"), self.text("Text5")),
                         (case["average"], case["months"]))


class Numbers(PageTest):
    def test_shared_table(self):
        self.browser.get(NUMBERS_ORIGIN(self.server) + "/numbers.html")
        self.browser.wait(lambda: self.browser.js("return window.numberResults !== undefined;"),
                          "the number cases never ran")
        lines = self.browser.js("return window.numberResults;").splitlines()
        self.assertGreaterEqual(len(lines), 8, lines)
        self.assertEqual([line for line in lines if not line.startswith("PASS")], [])


class NumbersNoLanguage(Numbers):
    # "C", as WebKitGTK reports under LANG=C.UTF-8, is no language: the page
    # opens all the same, in the browser's default format (numbers.html
    # checks which): en-US's, or, in WebKitGTK under C, POSIX's without
    # grouping. The shared table's English cases assume en-US's.
    language = "C"
    test_shared_table = None

    def test_page(self):
        self.assertEqual(self.browser.js("return navigator.language;"), "C")
        self.open_page()
        # Text that is no number ends the computation silently, and the page
        # computes on.
        for name in ("letters as payment", "75 % a year, paid off in month 2"):
            with self.subTest(name):
                behaviour.run(self, behaviour.row(name))


def NUMBERS_ORIGIN(server):
    # The number cases have a server of their own, on another port.
    if not hasattr(server, "numbers"):
        server.numbers = Server(NUMBERS)
    return server.numbers.origin


class OfflineAndPrivate(PageTest):
    def resources(self):
        return self.browser.js(
            "return performance.getEntriesByType('resource').map(e => e.name);")

    def test_own_origin_only_and_offline(self):
        self.open_page()
        self.browser.wait(lambda: self.browser.js(
            "return navigator.serviceWorker.controller !== null;"), "no service worker took over")
        asked, served = self.resources(), self.server.served()
        self.assertIn(self.server.origin + "/corvatta.wasm", asked)
        self.assertEqual([url for url in asked if not url.startswith(self.server.origin + "/")],
                         [])
        # Once loaded, the page asks for nothing, neither of the server nor
        # of its service worker.
        behaviour.run(self, behaviour.row("75 % a year, paid off in month 2"))
        self.assertEqual(self.resources(), asked)
        self.assertEqual(self.server.served(), served)

        self.server.stop()
        self.open_page()
        behaviour.run(self, behaviour.row("18 % a year, fixed 100: the worked example"))


    def test_policy_allows_own_origin_only(self):
        # The policy in the page's head, as the browser took it: a default,
        # and no source beyond the page's origin and compiling its WebAssembly
        # ('none' allows less). An inline script does not run.
        self.open_page()
        policies = self.browser.js(
            "const s = document.createElement('script');"
            "s.textContent = 'window.inlineRan = true;'; document.head.append(s);"
            "return [window.inlineRan === true, ...[...document.querySelectorAll('meta')]"
            "  .filter(m => m.httpEquiv.toLowerCase() == 'content-security-policy')"
            "  .map(m => m.parentElement.tagName + ' ' + m.content)];")
        self.assertEqual([policies[0]] + [p.split()[0] for p in policies[1:]], [False, "HEAD"])
        directives = {d.split()[0].lower(): d.split()[1:]
                      for d in policies[1].split(" ", 1)[1].split(";") if d.strip()}
        self.assertIn("default-src", directives)
        for name, sources in directives.items():
            self.assertEqual([source for source in sources if source.lower() not in
                              ("'self'", "'wasm-unsafe-eval'", "'none'")], [], name)


class FetchedOnce(PageTest):
    def test_each_file_once_per_load(self):
        # A fresh profile's first load: everything comes from the server,
        # once. The service worker's own fetches to fill its cache (they
        # carry its script as their referrer; the page sends none) are no
        # part of the page's load.
        self.open_page()
        worker = self.browser.wait(lambda: self.browser.js(
            "const w = navigator.serviceWorker.controller;"
            "return w && new URL(w.scriptURL).pathname;"), "no service worker took over")
        page = [path for path, referrer in self.server.served() if referrer != worker]
        self.assertIn("/corvatta.wasm", page)
        twice = collections.Counter(page) - collections.Counter(set(page))
        self.assertEqual(sorted(twice), [], f"fetched more than once, in order: {page}")


class EarlyInput(PageTest):
    # The program comes late: the window is there at once, and what a
    # person types and clicks meanwhile takes effect once it runs.
    late = {"/corvatta.wasm": 3}

    def rectangles(self):
        return self.browser.js(
            "return [...document.querySelectorAll('.control')].map(e => {"
            "  const r = e.getBoundingClientRect(); return [e.id, r.x, r.y, r.width, r.height];});")

    def test_typed_and_clicked_before_the_program_runs(self):
        self.browser.get(self.server.origin + "/")
        self.browser.wait(lambda: self.browser.js("return !!document.getElementById('Text1');"),
                          "no window before the program")
        before = self.rectangles()
        self.assertEqual(len(before), 18)
        self.enter("2000", "0.75", "1000")
        self.focus("Combo1")
        self.browser.keys("ArrowDown")
        self.browser.click("#Command1")
        self.assertFalse(self.ready(), "the program ran before the test could act early")
        self.browser.wait(lambda: self.text("Text5") != "", "the early Compute was never answered")
        # 1000 at 0.75 / 12 = 0.0625 a month: 62.5 interest in month 1, and
        # a payment of 2000 (twice the balance, declining) pays off the
        # 1062.5 then owed.
        self.assertEqual((self.text("Text4"), self.text("Text5")), ("$62.5", "1"))
        self.assertEqual(self.browser.js(
            "const list = document.getElementById('Combo1');"
            "return list.options[list.selectedIndex].text;"), "Declining Minimum")
        self.assertEqual(self.text("Text1"), "2000")
        self.assertEqual(self.rectangles(), before, "the window moved when the program came")


class Phone(PageTest):
    viewport = (360, 640, 2, True)

    def controls(self):
        """Every box, list and button of the window: its rectangle, and the
        size of its text on screen; and how wide the page scrolls."""
        return self.browser.js(
            "const targets = [...document.querySelectorAll('.window :is(input, select, button)')];"
            "return {scrollWidth: document.documentElement.scrollWidth,"
            "  transform: getComputedStyle(document.getElementById('Form1')).transform,"
            "  targets: targets.map(e => { const r = e.getBoundingClientRect();"
            "    return {id: e.id, left: r.left, top: r.top, right: r.right, bottom: r.bottom,"
            "            font: parseFloat(getComputedStyle(e).fontSize)}; }),"
            "  labels: [...document.querySelectorAll('.window label')].map(l => {"
            "    const r = l.getBoundingClientRect(); return [l.htmlFor, r.left, r.bottom]; })};")

    def test_one_column_a_finger_can_use(self):
        # Below the window's outer width, 433 + its border = 435 px.
        for width, height in ((360, 640), (390, 844)):
            with self.subTest(f"{width} x {height}"):
                self.browser.set_viewport(width, height, 2, True)
                self.open_page()
                page = self.controls()
                self.assertLessEqual(page["scrollWidth"], width)
                self.assertEqual(page["transform"], "none")
                targets = {t["id"]: t for t in page["targets"]}
                for t in page["targets"]:
                    self.assertGreaterEqual(t["bottom"] - t["top"], 48, t["id"])
                    self.assertGreaterEqual(t["font"], 16, t["id"])
                    self.assertLessEqual(t["right"], width, t["id"])
                # Each question above its box, in tab order down the page;
                # the two buttons side by side.
                for box, left, bottom in page["labels"]:
                    self.assertLessEqual(bottom, targets[box]["top"], box)
                    self.assertEqual(left, targets[box]["left"], box)
                tops = [t["top"] for t in page["targets"]]
                self.assertEqual([t["id"] for t in page["targets"]], LAYOUT["tabOrder"])
                self.assertEqual(tops[4], tops[5])
                self.assertEqual(sorted(tops), tops)
                # The message box fits, its title shown, with an OK a finger
                # can press.
                self.browser.click("#Command1", pointer="touch")
                self.browser.wait(lambda: self.browser.js(
                    "return document.getElementById('MessageBox').open;"), "no message box")
                box = self.browser.js(
                    "const d = document.getElementById('MessageBox').getBoundingClientRect();"
                    "const t = document.getElementById('MessageBoxTitle');"
                    "const ok = document.querySelector('#MessageBox button').getBoundingClientRect();"
                    "return [d.left, d.right, d.bottom, t.offsetHeight > 0 && t.textContent,"
                    "        ok.height];")
                self.assertGreaterEqual(box[0], 0)
                self.assertLessEqual(box[1], width)
                self.assertLessEqual(box[2], height)
                self.assertEqual(box[3], "Corvatta")
                self.assertGreaterEqual(box[4], 48)
                self.browser.keys("Enter")
        # A tapped box takes the focus, and offers a number pad.
        self.browser.click("#Text3", pointer="touch")
        self.assertEqual(self.focused(), "Text3")
        self.assertEqual(self.browser.js(
            "return document.getElementById('Text3').getAttribute('inputmode');"), "decimal")

    def test_the_window_itself_from_435_pixels(self):
        self.browser.set_viewport(435, 640, 2, True)
        self.open_page()
        self.assertEqual(self.browser.js(
            "const r = document.querySelector('#Form1 .client').getBoundingClientRect();"
            "return [r.width, r.height, document.documentElement.scrollWidth,"
            "        getComputedStyle(document.getElementById('Form1')).transform];"),
            LAYOUT["client"] + [435, "none"])


if __name__ == "__main__":
    SITE, NUMBERS, ENGINE = sys.argv[1:4]
    behaviour.load(os.path.join(NUMBERS, "behaviour.json"))
    with open(os.path.join(NUMBERS, "layout.json"), encoding="utf-8") as file:
        LAYOUT = json.load(file)
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[4:])
