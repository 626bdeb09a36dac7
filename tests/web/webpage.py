"""What the web page's tests share: a static server on 127.0.0.1 and one
Browser that drives Chromium (chromium-driver), WebKitGTK (WebKitWebDriver,
under an Xvfb of its own) or Firefox ESR (WebDriver BiDi, which Firefox
speaks itself). Chromium and WebKit take plain W3C WebDriver over HTTP,
Firefox the same commands' BiDi forms over a WebSocket. Every start, call
and wait has a time limit, so a stuck browser fails its test instead of
hanging it."""

import base64
import functools
import http.server
import json
import os
import random
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
import urllib.error
import urllib.request

WAIT = 10  # seconds for anything the page does
CALL = 20  # seconds for one call to a driver or browser
START = 30  # seconds for a browser to start

ENGINES = ("chromium", "webkit", "firefox")
PROGRAMS = {  # CMake passes what find_program found
    "chromium": os.environ.get("CORVATTA_CHROMEDRIVER", "/usr/bin/chromedriver"),
    "webkit": os.environ.get("CORVATTA_WEBKITDRIVER", "/usr/bin/WebKitWebDriver"),
    "firefox": os.environ.get("CORVATTA_FIREFOX", "/usr/bin/firefox-esr"),
}
CHROMIUM = os.environ.get("CORVATTA_CHROMIUM", "/usr/bin/chromium")
XVFB = os.environ.get("CORVATTA_XVFB", "/usr/bin/Xvfb")

# Key names that keys() presses; anything else is typed as text.
KEYS = {"Tab": "\ue004", "Enter": "\ue006", "Escape": "\ue00c", "Space": " ",
        "ArrowDown": "\ue015",
        "Shift+Tab": ("\ue008", "\ue004")}


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def __init__(self, *args, server_of, **kwargs):
        self._of = server_of
        super().__init__(*args, **kwargs)

    def do_GET(self):
        path = self.path.split("?")[0]
        referrer = self.headers.get("Referer")
        self._of.record(path, referrer and "/" + referrer.split("/", 3)[-1])
        time.sleep(self._of.late.get(path, 0))
        super().do_GET()

    def log_message(self, *args):
        pass


class Server:
    """Serves a folder on 127.0.0.1 at a free port until stopped. Records
    every path it serves; paths in `late` are served that many seconds late."""

    def __init__(self, folder, late=None):
        self.late = late or {}
        self._lock = threading.Lock()
        self._served = []
        handler = functools.partial(_Handler, directory=folder, server_of=self)
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self._server.daemon_threads = True
        self._server.timeout = WAIT
        self.origin = f"http://127.0.0.1:{self._server.server_port}"
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()

    def record(self, path, referrer):
        with self._lock:
            self._served.append((path, referrer))

    def served(self):
        """The paths served so far, in order, each with the path of the page
        or worker that asked for it (the page sends no referrer, so None)."""
        with self._lock:
            return list(self._served)

    def stop(self):
        if self._thread:
            self._server.shutdown()
            self._server.server_close()
            self._thread.join(WAIT)
            self._thread = None


def _deadline_loop(seconds, message, attempt):
    """Calls attempt() until it returns something true, for `seconds`."""
    end = time.monotonic() + seconds
    while True:
        result = attempt()
        if result:
            return result
        if time.monotonic() > end:
            raise TimeoutError(message)
        time.sleep(0.05)


def _free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def _start(command, env=None, **kwargs):
    # A process group of its own, so that quit() ends the browser's helpers too.
    return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                            start_new_session=True, **kwargs)


def _end(process):
    # A group's stuck or stopped members outlive SIGTERM: SIGKILL ends them.
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
            process.wait(5)
        except ProcessLookupError:
            break
        except subprocess.TimeoutExpired:
            pass


class Browser:
    """A fresh browser of one of ENGINES with its own profile, reporting
    `language` as its user's language (as the engine takes it, invalid ones
    too); viewport (width, height[, pixel ratio[, phone]]) as set_viewport.

    get(url), js(function body, *JSON arguments) -> JSON value,
    click(selector[, "touch"]), keys(*names or text), named(accessible
    name) -> ids, screenshot(path[, selector]), set_viewport(...),
    wait(condition, message), quit()."""

    def __new__(cls, engine="chromium", language="en-US", viewport=None):
        if cls is Browser:
            cls = {"chromium": _Chromium, "webkit": _WebKit, "firefox": _Firefox}[engine]
        return super().__new__(cls)

    def __init__(self, engine="chromium", language="en-US", viewport=None):
        self.engine = engine
        self.language = language
        self._ratio = viewport[2] if viewport and len(viewport) > 2 else 1
        self._processes = []
        self._folders = []
        try:
            self._launch()
            self.set_viewport(*(viewport or (800, 700)))
        except BaseException:
            self.quit()
            raise

    # What every engine shares, built on each driver's few calls below.

    def wait(self, condition, message, seconds=WAIT):
        return _deadline_loop(seconds, message, condition)

    def element_centre(self, selector):
        return self.js("const e = document.querySelector(arguments[0]);"
                       "e.scrollIntoView({block: 'nearest'});"
                       "const r = e.getBoundingClientRect();"
                       "return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)];",
                       selector)

    def click(self, selector, pointer="mouse"):
        """A real press and release at the centre of the element that a CSS
        selector finds; pointer "mouse" or "touch"."""
        x, y = self.element_centre(selector)
        self._actions([{"type": "pointer", "id": pointer,
                        "parameters": {"pointerType": pointer},
                        "actions": [{"type": "pointerMove", "x": x, "y": y, "duration": 0},
                                    {"type": "pointerDown", "button": 0},
                                    {"type": "pointerUp", "button": 0}]}])

    def keys(self, *parts):
        """Real key presses to the focused element: names from KEYS, or text."""
        actions = []
        for part in parts:
            pressed = KEYS.get(part, part)
            if isinstance(pressed, tuple):  # a chord
                actions += [{"type": "keyDown", "value": k} for k in pressed]
                actions += [{"type": "keyUp", "value": k} for k in reversed(pressed)]
            else:
                for k in pressed:
                    actions += [{"type": "keyDown", "value": k}, {"type": "keyUp", "value": k}]
        self._actions([{"type": "key", "id": "keyboard", "actions": actions}])

    def quit(self):
        try:
            self._close()
        except Exception:  # the processes end below all the same
            pass
        finally:
            for process in reversed(self._processes):
                _end(process)
            for folder in self._folders:
                shutil.rmtree(folder, ignore_errors=True)

    def _folder(self, prefix):
        folder = tempfile.mkdtemp(prefix=f"corvatta-{prefix}-")
        self._folders.append(folder)
        return folder


class _Classic(Browser):
    """W3C WebDriver over HTTP: chromedriver and WebKitWebDriver."""

    def _launch(self):
        port = _free_port()
        self._driver = f"http://127.0.0.1:{port}"
        log = open(os.path.join(self._folder("driver"), "log"), "wb")
        self._processes.append(_start([PROGRAMS[self.engine], f"--port={port}"],
                                      env=self._environment(), stdout=log, stderr=log))
        log.close()
        _deadline_loop(START, f"{PROGRAMS[self.engine]} did not start", self._ready)
        self._session = None
        session = self._call("POST", "/session",
                             {"capabilities": {"alwaysMatch": self._capabilities()}}, START)
        self._session = "/session/" + session["sessionId"]
        self._call("POST", "/timeouts", {"pageLoad": CALL * 1000, "script": WAIT * 1000})

    def _environment(self):
        return None

    def _ready(self):
        try:
            with urllib.request.urlopen(self._driver + "/status", timeout=2) as reply:
                return json.load(reply)["value"].get("ready", True)
        except (OSError, ValueError):
            return False

    def _call(self, method, path, body=None, seconds=CALL):
        url = self._driver + (self._session or "") + path
        data = json.dumps(body if body is not None else {}).encode() if method == "POST" else None
        request = urllib.request.Request(url, data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=seconds) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            value = json.load(error)["value"]
            raise RuntimeError(f"{method} {path}: {value.get('error')}: {value.get('message')}")

    def get(self, url):
        self._call("POST", "/url", {"url": url})

    def js(self, script, *args):
        return self._call("POST", "/execute/sync", {"script": script, "args": list(args)})

    def _actions(self, actions):
        self._call("POST", "/actions", {"actions": actions})
        self._call("DELETE", "/actions")

    def _element(self, selector):
        found = self._call("POST", "/element", {"using": "css selector", "value": selector})
        return next(iter(found.values()))

    def named(self, name):
        """The ids of the elements whose accessible name is `name`."""
        ids = self.js("return [...document.querySelectorAll('[id]')].map(e => e.id);")
        return [i for i in ids
                if self._call("GET", f"/element/{self._element('#' + i)}/computedlabel") == name]

    def screenshot(self, path, selector=None):
        where = f"/element/{self._element(selector)}/screenshot" if selector else "/screenshot"
        with open(path, "wb") as picture:
            picture.write(base64.b64decode(self._call("GET", where)))

    def _close(self):
        if self._session:
            self._call("DELETE", "", seconds=5)
            self._session = None


class _Chromium(_Classic):
    def _capabilities(self):
        self._profile = self._folder("chromium")
        return {"browserName": "chrome", "goog:chromeOptions": {
            "binary": CHROMIUM,
            "args": [
                # Root, no GPU, and a closed network: without these Chromium's
                # own connections fail or wait.
                "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync",
                # A chroot's /dev/shm may be missing or small.
                "--disable-dev-shm-usage",
                "--user-data-dir=" + self._profile,
                "--lang=" + self.language, "--accept-lang=" + self.language],
            "prefs": {"intl.accept_languages": self.language}}}

    def _launch(self):
        super()._launch()
        # Intl's own default stays the browser's interface language; make the
        # rest of the browser agree with the language it reports. Chromium
        # refuses a language that is no locale ("C"): then it keeps its own.
        try:
            self.cdp("Emulation.setLocaleOverride", {"locale": self.language})
        except RuntimeError:
            pass

    def cdp(self, command, parameters):
        return self._call("POST", "/goog/cdp/execute", {"cmd": command, "params": parameters})

    def set_viewport(self, width, height, ratio=1, mobile=False):
        self.cdp("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": mobile})


class _WebKit(_Classic):
    def _environment(self):
        # WebKitGTK takes its language from the locale variables: "de-DE"
        # as de_DE, "C" as C...
        posix = self.language.replace("-", "_")
        env = dict(os.environ, LANGUAGE=posix, LC_ALL=posix + ".UTF-8", LANG=posix + ".UTF-8",
                   DISPLAY=self._display(), GDK_BACKEND="x11", GDK_SCALE=str(self._ratio))
        # ... but only from a locale that is installed (else it says en-US):
        # build this one into the profile rather than ask for it system-wide.
        if posix != "C":
            locales = self._folder("locales")
            made = subprocess.run(["localedef", "-i", posix, "-f", "UTF-8",
                                   os.path.join(locales, posix + ".UTF-8")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  timeout=START, check=False)
            if made.returncode in (0, 1):  # 1: made, with warnings
                env["LOCPATH"] = locales
        env.pop("WAYLAND_DISPLAY", None)
        config = self._folder("webkit")
        os.makedirs(os.path.join(config, "gtk-3.0"))
        with open(os.path.join(config, "gtk-3.0", "gtk.css"), "w") as css:
            # MiniBrowser's toolbar would keep its window 447 pixels wide
            # at least: narrower than a phone's screen.
            css.write("button, entry { font-size: 1px; padding: 0; margin: 0;"
                      " min-width: 0; min-height: 0; border-width: 0; }\n")
        env["XDG_CONFIG_HOME"] = config
        return env

    def _display(self):
        # Other X servers on the machine (XWayland of a desktop under test,
        # say) start from display 0: look for a free one far from there.
        # Xvfb names the display once it is ready, and ends at once if the
        # display is taken.
        end = time.monotonic() + START
        for number in random.sample(range(200, 6000), 20):
            read, write = os.pipe()
            xvfb = _start([XVFB, f":{number}", "-displayfd", str(write), "-screen", "0",
                           "1600x1600x24", "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write)
            # Read to the end of the line: a pipe closed before Xvfb has
            # written all of it would end Xvfb.
            said = b""
            while not said.endswith(b"\n") and \
                    select.select([read], [], [], max(0, end - time.monotonic()))[0]:
                part = os.read(read, 16)
                if not part:
                    break
                said += part
            os.close(read)
            if said.endswith(b"\n"):
                self._processes.append(xvfb)
                return f":{number}"
            _end(xvfb)
            if time.monotonic() > end:
                break
        raise TimeoutError("Xvfb found no free display")

    def _capabilities(self):
        return {"browserName": "MiniBrowser", "webkitgtk:browserOptions": {
            "args": ["--automation"]}}

    def set_viewport(self, width, height, ratio=1, mobile=False):
        # The pixel ratio is GTK's scale, fixed when the browser starts;
        # WebKitGTK has no phone mode, a narrow window is the nearest. The
        # window's size, less what its toolbar takes, gives the viewport.
        if ratio != self._ratio:
            raise ValueError("WebKitGTK takes its pixel ratio only as it starts")
        # A resize takes effect later, and while the window is still
        # settling after its start the frame measures wrong: measure and
        # ask again until the viewport is right.
        def viewport():
            return self.js("return [window.innerWidth, window.innerHeight];")

        def resized():
            inner = viewport()
            if inner == [width, height]:
                return True
            outer = self._call("GET", "/window/rect")
            self._call("POST", "/window/rect", {"width": width + outer["width"] - inner[0],
                                                "height": height + outer["height"] - inner[1]})
            try:
                _deadline_loop(2, "", lambda: viewport() != inner)
            except TimeoutError:
                pass
            return viewport() == [width, height]

        self.wait(resized, f"WebKitGTK's viewport never became {width} x {height}")


class _Firefox(Browser):
    """WebDriver BiDi over a WebSocket, straight to Firefox: Debian has no
    geckodriver."""

    def _launch(self):
        import websocket
        profile = self._folder("firefox")
        with open(os.path.join(profile, "user.js"), "w", encoding="utf-8") as prefs:
            # navigator.language follows the first of these.
            prefs.write(f'user_pref("intl.accept_languages", {json.dumps(self.language)});\n')
        firefox = _start([PROGRAMS["firefox"], "--headless", "--no-remote", "--profile", profile,
                          "--remote-debugging-port=0"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self._processes.append(firefox)
        # Firefox names the port it took on its error output, which is then
        # drained so that it never blocks on a full pipe.
        address = []

        def read():
            for line in firefox.stderr:
                if not address and line.startswith(b"WebDriver BiDi listening on "):
                    address.append(line.split()[-1].decode())
        threading.Thread(target=read, daemon=True).start()
        _deadline_loop(START, "Firefox did not start", lambda: address)
        self._id = 0
        self._socket = websocket.create_connection(address[0] + "/session", timeout=CALL,
                                                   suppress_origin=True)
        self._command("session.new", {"capabilities": {}})
        # The window Firefox opens with never has the focus when headless,
        # and an unfocused page's buttons ignore Space and Enter: work in a
        # window of the session's own.
        self._context = self._command("browsingContext.create", {"type": "window"})["context"]

    def _command(self, method, parameters, seconds=CALL):
        self._id += 1
        self._socket.send(json.dumps({"id": self._id, "method": method, "params": parameters}))
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self._socket.settimeout(max(0.1, end - time.monotonic()))
            message = json.loads(self._socket.recv())
            if message.get("id") == self._id:
                if message.get("type") == "error":
                    raise RuntimeError(f"{method}: {message['error']}: {message['message']}")
                return message["result"]
        raise TimeoutError(f"Firefox did not answer {method}")

    def _call_function(self, declaration, *arguments, await_promise=False):
        result = self._command("script.callFunction", {
            "functionDeclaration": declaration, "arguments": list(arguments),
            "target": {"context": self._context}, "awaitPromise": await_promise})
        if result["type"] == "exception":
            raise RuntimeError(result["exceptionDetails"]["text"])
        return result["result"]

    def get(self, url):
        self._command("browsingContext.navigate",
                      {"context": self._context, "url": url, "wait": "complete"})

    def js(self, script, *args):
        # The arguments and the result cross as JSON text, as WebDriver's
        # own execute takes and gives them.
        result = self._call_function(
            "async function (text) {"
            "  return JSON.stringify(await (function () {\n" + script + "\n})"
            "      .apply(null, JSON.parse(text)));"
            "}", {"type": "string", "value": json.dumps(args)}, await_promise=True)
        return json.loads(result["value"]) if result["type"] == "string" else None

    def _actions(self, actions):
        self._command("input.performActions", {"context": self._context, "actions": actions})
        self._command("input.releaseActions", {"context": self._context})

    def _node(self, selector):
        node = self._call_function("(selector) => document.querySelector(selector)",
                                   {"type": "string", "value": selector})
        return {"sharedId": node["sharedId"]}

    def named(self, name):
        """The ids of the elements whose accessible name is `name`."""
        nodes = self._command("browsingContext.locateNodes", {
            "context": self._context,
            "locator": {"type": "accessibility", "value": {"name": name}}})["nodes"]
        return [self._call_function("(e) => e.id", {"sharedId": n["sharedId"]})["value"]
                for n in nodes]

    def screenshot(self, path, selector=None):
        parameters = {"context": self._context}
        if selector:
            parameters["clip"] = {"type": "element", "element": self._node(selector)}
        with open(path, "wb") as picture:
            picture.write(base64.b64decode(
                self._command("browsingContext.captureScreenshot", parameters)["data"]))

    def set_viewport(self, width, height, ratio=1, mobile=False):
        # Firefox on a computer has no phone mode: a narrow viewport is the
        # nearest it has.
        self._command("browsingContext.setViewport", {
            "context": self._context, "viewport": {"width": width, "height": height},
            "devicePixelRatio": ratio})

    def _close(self):
        if getattr(self, "_socket", None):
            try:
                self._command("browser.close", {}, seconds=5)
            finally:
                self._socket.close()
                self._socket = None
