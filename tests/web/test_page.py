"""The web page in a real headless Chromium: what only the browser build can
get wrong. The handlers and the computation are tested elsewhere.

    test_page.py SITE NUMBERS_FOLDER TestClass

SITE is build-web/site; NUMBERS_FOLDER holds numbers.html, which runs the
shared table of number cases through the page's platform."""

import os
import re
import sys
import unittest

from selenium.common.exceptions import ElementClickInterceptedException
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

from webpage import Browser, Server

SITE = NUMBERS = None
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LIMIT_MESSAGE = ("Number of payments exceeds 600. "
                 "Please increase the minimum payment percent and recalculate.")


def layout_table():
    """The controls of ui/form1layout.h: name, rectangle in twips, whether
    in the frame, caption, and the name of the control a label names."""
    with open(os.path.join(SOURCE, "ui", "form1layout.h"), encoding="utf-8") as header:
        text = header.read()
    constants = {name: int(value) for name, value in
                 re.findall(r"constexpr int (\w+) = (\d+);", text)}
    description = re.search(r'description =\s*((?:\s*"[^"]*")+);', text).group(1)
    constants["description"] = "".join(re.findall(r'"([^"]*)"', description))
    rows = []
    for row in re.findall(r"\{\.name = .*?\}(?:,|\})\s*(?=\{\.name|\}\};)", text, re.S):
        name = re.search(r'\.name = "(\w+)"', row).group(1)
        rect = [int(constants.get(v.strip(), v.strip()))
                for v in re.search(r"\.rect = \{([^}]*)\}", row).group(1).split(",")]
        caption = re.search(r'\.caption = (R"\((.*?)\)"|"([^"]*)"|(\w+))', row)
        caption = caption.group(2) or caption.group(3) or constants.get(caption.group(4), "")
        names = re.search(r'\.names = "(\w+)"', row)
        rows.append({"name": name, "rect": rect, "inFrame": ".inFrame = true" in row,
                     "caption": caption, "names": names.group(1) if names else None})
    return constants, rows


class PageTest(unittest.TestCase):
    language = "en-US"
    log_network = False

    @classmethod
    def setUpClass(cls):
        cls.server = Server(SITE)
        cls.browser = Browser(cls.language, cls.log_network)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.stop()
        if hasattr(cls.server, "numbers"):
            cls.server.numbers.stop()

    def open_page(self):
        self.browser.driver.get(self.server.origin + "/")
        self.browser.wait(lambda: self.browser.js("return document.activeElement.id") == "Text1",
                          "the window never showed with the focus in Text1")

    def element(self, name):
        return self.browser.driver.find_element(By.ID, name)

    def text(self, name):
        return self.element(name).get_property("value")

    def enter(self, payment, rate, balance):
        for name, text in (("Text1", payment), ("Text2", rate), ("Text3", balance)):
            self.element(name).clear()
            self.element(name).send_keys(text)

    def compute(self, payment, rate, balance):
        self.enter(payment, rate, balance)
        self.element("Command1").click()
        return self.text("Text4"), self.text("Text5")

    def focused(self):
        return self.browser.js("return document.activeElement.id || document.activeElement.tagName")


class Layout(PageTest):
    def setUp(self):
        self.open_page()
        self.constants, self.rows = layout_table()

    def test_rectangles(self):
        # Twips / 15, and the frame's controls offset by the frame's corner
        # (120, 1920 twips: 8, 128 pixels).
        client = self.browser.js(
            "const r = document.querySelector('#Form1 .client').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];")
        self.assertEqual(client[2:], [6495 / 15, 7335 / 15])  # 433 x 489
        self.assertEqual(len(self.rows), 18)
        for row in self.rows:
            with self.subTest(row["name"]):
                left, top, width, height = (v / 15 for v in row["rect"])
                if row["inFrame"]:
                    left += self.constants["frameLeft"] / 15
                    top += self.constants["frameTop"] / 15
                box = self.browser.js(
                    "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                    "return [r.left, r.top, r.width, r.height];", row["name"])
                self.assertEqual([box[0] - client[0], box[1] - client[1], box[2], box[3]],
                                 [left, top, width, height])

    def test_captions_fit(self):
        for row in self.rows:
            with self.subTest(row["name"]):
                fits = self.browser.js(
                    "let e = document.getElementById(arguments[0]);"
                    "if (e.tagName == 'FIELDSET') {"
                    "  const legend = e.querySelector('legend');"
                    "  if (legend.getBoundingClientRect().right > e.getBoundingClientRect().right)"
                    "    return false;"
                    "  e = legend;"
                    "}"
                    "return e.scrollWidth <= e.clientWidth && e.scrollHeight <= e.clientHeight;",
                    row["name"])
                self.assertTrue(fits, f"{row['name']}'s caption is cut off")

    def test_accessible_names(self):
        # Each box is announced by its label's text, the banner by its own.
        labelled = [row for row in self.rows if row["names"]]
        self.assertEqual(len(labelled), 6)
        for row in labelled:
            with self.subTest(row["names"]):
                self.assertEqual(self.element(row["names"]).accessible_name, row["caption"])
        self.assertEqual(self.element("Image1").accessible_name, "Corvatta")
        self.assertEqual(self.browser.driver.title, "Corvatta")


class MessageBox(PageTest):
    kind = "Fixed"
    def setUp(self):
        self.open_page()

    def box(self):
        return self.browser.js(
            "const d = document.querySelector('dialog');"
            "return {open: d.open, modal: d.matches(':modal'),"
            "  title: d.querySelector('.titlebar').textContent,"
            "  text: d.querySelector('p').textContent,"
            "  buttons: [...d.querySelectorAll('button')].map(b => b.textContent),"
            "  focus: d.contains(document.activeElement) && document.activeElement.tagName};")

    def close_box(self):
        self.browser.driver.switch_to.active_element.send_keys(Keys.ENTER)

    def test_missing_input(self):
        self.element("Command1").click()
        self.browser.wait(lambda: self.box()["open"], "no message box")
        self.assertEqual(self.box()["text"],
                         "Please enter this debt's current payment monthly amount")
        self.close_box()
        self.browser.wait(lambda: not self.box()["open"], "the box did not close")
        self.assertEqual(self.focused(), "Command1")

    def test_limit_gives_two_boxes_then_the_results(self):
        # Both kinds of payment, each its own simulation: 10 a month (at
        # least 15 declining) against 15 a month of interest (18 % of 1000
        # / 12) never pays off, and each of the two passes shows the box.
        Select(self.element("Combo1")).select_by_visible_text(self.kind)
        self.enter("10", "18", "1000")
        self.element("Command1").click()
        for shown in ("first", "second"):
            with self.subTest(shown):
                self.browser.wait(lambda: self.box()["open"], f"no {shown} message box")
                self.assertEqual(self.box(), {"open": True, "modal": True, "title": "Corvatta",
                                              "text": LIMIT_MESSAGE, "buttons": ["OK"],
                                              "focus": "BUTTON"})
                # Nothing is written while a box is open, and the window
                # behind it takes no click.
                self.assertEqual((self.text("Text4"), self.text("Text5")), ("", ""))
                with self.assertRaises(ElementClickInterceptedException):
                    self.element("Command2").click()
                self.close_box()
        self.browser.wait(lambda: self.text("Text5") != "", "no result after the boxes")
        self.assertFalse(self.box()["open"])
        self.assertEqual((self.text("Text4"), self.text("Text5")), ("$0", "601"))
        self.assertEqual(self.focused(), "Command1")


class MessageBoxDeclining(MessageBox):
    kind = "Declining Minimum"

    test_missing_input = None


class Keyboard(PageTest):
    def setUp(self):
        self.open_page()

    def press(self, key):
        self.browser.driver.switch_to.active_element.send_keys(key)

    def test_tab_order(self):
        visited = []
        for _ in range(7):
            self.press(Keys.TAB)
            visited.append(self.focused())
        self.assertEqual(visited, ["Text2", "Text3", "Combo1", "Command1", "Command2",
                                   "Text4", "Text5"])
        self.press(Keys.SHIFT + Keys.TAB)
        self.assertEqual(self.focused(), "Text4")

    def test_enter_and_esc_do_nothing(self):
        self.browser.js("window.notReloaded = true;")
        self.enter("600", "0.75", "1000")
        self.press(Keys.ENTER)
        self.browser.js("arguments[0].focus();", self.element("Command1"))
        for key in (Keys.ENTER, Keys.ESCAPE):
            self.press(key)
        self.assertEqual(self.text("Text4"), "")
        self.browser.js("arguments[0].focus();", self.element("Command2"))
        for key in (Keys.ENTER, Keys.ESCAPE):
            self.press(key)
        self.assertEqual(self.text("Text1"), "600")
        self.assertTrue(self.browser.js("return window.notReloaded === true;"))
        # Space presses the focused button, as on the desktop.
        self.browser.js("arguments[0].focus();", self.element("Command1"))
        self.press(Keys.SPACE)
        self.assertEqual(self.text("Text4"), "$45.703125")


class Numbers(PageTest):
    # Month 1: 1000 at 0.75 / 12 = 0.0625 gives 62.5 interest, 1062.5 - 600
    # leaves 462.5; month 2: 28.90625 interest, paid off. 91.40625 / 2 months
    # = 45.703125.
    page_inputs = {"en-US": ("600", "0.75", "1,000", "$45.703125"),
                   "de-DE": ("600", "0,75", "1.000", "$45,703125")}

    def test_shared_table(self):
        self.browser.driver.get(NUMBERS_ORIGIN(self.server) + "/numbers.html")
        self.browser.wait(lambda: self.browser.js("return window.numberResults !== undefined"),
                          "the number cases never ran")
        lines = self.browser.js("return window.numberResults").splitlines()
        self.assertGreaterEqual(len(lines), 8, lines)
        self.assertEqual([line for line in lines if not line.startswith("PASS")], [])

    def test_page(self):
        self.open_page()
        payment, rate, balance, average = self.page_inputs[self.language]
        # Text that is no number ends the computation silently, and the page
        # computes on.
        self.assertEqual(self.compute(payment + "x", rate, balance), ("", ""))
        self.assertEqual(self.compute(payment, rate, balance), (average, "2"))


class NumbersGerman(Numbers):
    language = "de-DE"


def NUMBERS_ORIGIN(server):
    # The number cases have a server of their own, on another port.
    if not hasattr(server, "numbers"):
        server.numbers = Server(NUMBERS)
    return server.numbers.origin


class OfflineAndPrivate(PageTest):
    log_network = True

    def test_own_origin_only_and_offline(self):
        self.browser.requests()  # the browser's own start page
        self.open_page()
        self.browser.wait(lambda: self.browser.js(
            "return navigator.serviceWorker.controller !== null"), "no service worker took over")
        requests = self.browser.requests()
        self.assertIn(self.server.origin + "/corvatta.wasm", requests)
        self.assertEqual([url for url in requests
                          if not url.startswith(self.server.origin + "/")], [])
        self.assertEqual(self.compute("600", "0.75", "1000"), ("$45.703125", "2"))
        self.assertEqual(self.browser.requests(), [])

        self.server.stop()
        self.open_page()
        self.assertEqual(self.compute("100", "18", "1000"), ("$8.32933527851622", "11"))


class Phone(PageTest):
    def test_fits_360_pixels(self):
        self.browser.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 640, "deviceScaleFactor": 2, "mobile": True})
        self.open_page()
        view = self.browser.js(
            "const r = document.getElementById('Form1').getBoundingClientRect();"
            "return {left: r.left, right: r.right,"
            "  scrollWidth: document.documentElement.scrollWidth};")
        self.assertGreaterEqual(view["left"], 0)
        self.assertLessEqual(view["right"], 360)
        self.assertLessEqual(view["scrollWidth"], 360)
        # A tapped box takes the focus, and offers a number pad.
        self.element("Text3").click()
        self.assertEqual(self.focused(), "Text3")
        self.assertEqual(self.element("Text3").get_attribute("inputmode"), "decimal")


if __name__ == "__main__":
    SITE, NUMBERS = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[3:])
