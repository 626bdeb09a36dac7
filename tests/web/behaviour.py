"""The behaviour table (tests/behaviourcases.h, as the build writes it into
behaviour.json) run through the page: each row's inputs typed, its payment
kind picked, its button clicked, and every message box read and answered
with Enter, as a person would."""

import json

DELETE = "\ue017"  # WebDriver's Delete key
ROWS = []
UNTOUCHED = None


def load(path):
    global UNTOUCHED
    with open(path, encoding="utf-8") as table:
        data = json.load(table)
    UNTOUCHED = data["untouched"]
    ROWS[:] = data["rows"]


def row(name):
    return next(r for r in ROWS if r["name"] == name)


def box(page):
    return page.browser.js(
        "const d = document.querySelector('dialog');"
        "return {open: d.open, modal: d.matches(':modal'),"
        "  title: d.querySelector('.titlebar').textContent,"
        "  text: d.querySelector('p').textContent,"
        "  buttons: [...d.querySelectorAll('button')].map(b => b.textContent),"
        "  focus: d.contains(document.activeElement) && document.activeElement.tagName};")


def texts(page, *names):
    return page.browser.js(
        "return arguments[0].map(id => document.getElementById(id).value);", list(names))


def run(page, case):
    """Runs one row on the open page and checks what it shows."""
    browser = page.browser
    # A box left open by a row that failed is answered first.
    for _ in range(3):
        if box(page)["open"]:
            closed = browser.js("return window.boxesClosed;")
            browser.keys("Enter")
            browser.wait(lambda: browser.js("return window.boxesClosed;") > closed,
                         "a box left open did not close")
    browser.js(
        "const combo = document.getElementById('Combo1');"
        "combo.selectedIndex = arguments[0];"
        "combo.dispatchEvent(new Event('input', {bubbles: true}));"
        "combo.dispatchEvent(new Event('change', {bubbles: true}));", case["kind"])
    for name, text in zip(("Text1", "Text2", "Text3"), case["inputs"]):
        # Typed over the box's whole text, emptied first for an empty one.
        browser.js("const e = document.getElementById(arguments[0]); e.focus(); e.select();",
                   name)
        browser.keys(DELETE + text)
    # A box's close resumes the program in the promise jobs after the close
    # event; a timer set from that event fires once they have all run.
    browser.js(
        "for (const id of ['Text4', 'Text5']) document.getElementById(id).value = arguments[0];"
        "const d = document.getElementById('MessageBox');"
        "window.boxesClosed = 0;"
        "if (!d.counted) {"
        "  d.counted = true;"
        "  d.addEventListener('close', () => setTimeout(() => ++window.boxesClosed, 0));"
        "}", UNTOUCHED)
    for _ in range(case["presses"]):
        browser.click("#" + case["button"])
    expected = case["messages"]
    shown = []
    while len(shown) <= len(expected) and box(page)["open"]:
        seen = box(page)
        shown.append(seen["text"])
        page.assertEqual({k: v for k, v in seen.items() if k != "text"},
                         {"open": True, "modal": True, "title": "Corvatta", "buttons": ["OK"],
                          "focus": "BUTTON"})
        # Nothing is written while a box is open, and the window behind it
        # takes no click: Reset leaves the boxes as typed.
        page.assertEqual(texts(page, "Text4", "Text5"), [UNTOUCHED, UNTOUCHED])
        browser.click("#Command2")
        page.assertEqual(texts(page, "Text1", "Text2", "Text3"), case["inputs"])
        browser.keys("Enter")
        closed = len(shown)
        browser.wait(lambda: browser.js("return window.boxesClosed;") >= closed,
                     "the box did not close")
        if len(shown) < len(expected):
            browser.wait(lambda: box(page)["open"], "no next message box")
    page.assertEqual(shown, expected)
    if shown:
        page.assertEqual(page.focused(), case["button"])
    page.assertEqual(texts(page, "Text1", "Text2", "Text3", "Text4", "Text5"),
                     case["inputsAfter"] + [case["average"], case["months"]])
    page.assertEqual(browser.js("return document.getElementById('Combo1').selectedIndex;"),
                     case["kind"])
