"""Shared harness of the end-to-end tests: the real qz-shell under Xvfb, with a tray host, the demo
portal and, where a test needs one, a window manager.

Every test file runs as `python3 test_x.py --shell BIN --portal PY --artifacts DIR [--service H:P ...]`
(tests/e2e/CMakeLists.txt passes these). The programs around the shell, the X connection and the
process handling come from the shared package tests/support/qztest (the benchmark uses it too): each
process runs in its own process group and carries a marker in its environment; teardown ends the groups
and then anything still carrying the marker, so no X server or browser engine outlives a test.
"""

import argparse
import ipaddress
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import uuid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
# The names the tests import from here, whichever module of the shared package holds them.
from qztest.processes import command_line, end_group, marked_pids, memory_kb, process_tree, read_proc  # noqa: E402,F401
from qztest.session import DEFAULT_HOSTS, SCREEN_HEIGHT, SCREEN_WIDTH, SITES, START_PATH, Session, engine_environment, \
    portal_requests  # noqa: E402,F401
from qztest.wait import wait_until  # noqa: E402,F401
from qztest.xlib import CLIENT_MESSAGE, ERROR_HANDLER, IS_VIEWABLE, NET_WM_STATE_ADD, SELECTION_NOTIFY, \
    SUBSTRUCTURE_NOTIFY_MASK, SUBSTRUCTURE_REDIRECT_MASK, Geometry, XClientMessageEvent, XEvent, Xlib, \
    XSelectionEvent, XWindowAttributes, add_wm_states, selection_text  # noqa: E402,F401

# The window before the start page sizes it: a 333 x 214 client area under a 20 px menu bar.
INITIAL_WIDTH = 333
INITIAL_HEIGHT = 234
MENU_BAR_HEIGHT = 20
# The tray menu: Q  Z大厅, ..., 退出 QZ, all of one height.
TRAY_MENU_ROWS = 7
SKIP_EXIT_CODE = 77
# Dark enough to be text on the menu bar's light grey, not its background or its edge.
TEXT_BRIGHTNESS = 300
# Blank columns that part two menu titles; within a title ("Q  Z(Q)") the gaps are narrower.
TITLE_GAP = 13

config = argparse.Namespace()


def main():
    """Entry point of every test file: reads the harness options, then runs the file's tests."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--shell", required=True, help="the qz-shell binary")
    parser.add_argument("--portal", required=True, help="portal/demo_portal.py")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots and logs")
    parser.add_argument("--proxied-shell", help="qz-shell built for host names only the proxy test's proxy resolves")
    parser.add_argument("--https-shell", help="qz-shell built for the portal over https")
    for site in SITES:
        parser.add_argument(f"--{site}", default=DEFAULT_HOSTS[site])
    args, rest = parser.parse_known_args()
    vars(config).update(vars(args))
    for site in SITES:
        host = getattr(args, site).rpartition(":")[0] or getattr(args, site)
        if not is_loopback(host):
            print(f"skipped: the shell was built for {site} host {getattr(args, site)}, "
                  "which the demo portal cannot stand in for", file=sys.stderr)
            sys.exit(SKIP_EXIT_CODE)
    if os.geteuid() == 0:
        print("note: running as root, so the browser engine runs with QTWEBENGINE_DISABLE_SANDBOX=1",
              file=sys.stderr)
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)


def is_loopback(host):
    if host == "localhost":
        return True
    try:
        return ipaddress.ip_address(host.strip("[]")).is_loopback
    except ValueError:
        return False


def listening(address):
    """Whether something accepts connections on host:port."""
    host, _, port = address.rpartition(":")
    try:
        with socket.create_connection((host.strip("[]"), int(port)), timeout=1):
            return True
    except OSError:
        return False


class ShellTestCase(unittest.TestCase):
    """A test with its own X server; setUp starts it, tearDown ends everything the test started.

    The steps in between are the test's: start_tray(), start_window_manager(), start_portal(...),
    start_shell(), then look and act through the helpers.
    """

    def setUp(self):
        self.marker = uuid.uuid4().hex
        self.name = self.id().split(".", 1)[-1].replace(".", "-")
        self.logs = os.path.join(config.artifacts, "e2e-logs", self.name)
        self.shots = os.path.join(config.artifacts, "e2e-screenshots")
        shutil.rmtree(self.logs, ignore_errors=True)
        os.makedirs(self.logs)
        os.makedirs(self.shots, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="qz-e2e-home-")
        self.session = Session(self.logs, "QZ_E2E_MARKER", self.marker)
        self.addCleanup(self._teardown)
        self.shell = None
        self.portal = None
        self.start_x()

    x = property(lambda self: self.session.x)
    display = property(lambda self: self.session.display)
    processes = property(lambda self: self.session.processes)

    # -- processes -----------------------------------------------------------------------------------

    def _env(self, **extra):
        if getattr(self, "session_bus", None):
            extra.setdefault("DBUS_SESSION_BUS_ADDRESS", self.session_bus)
        # A session's runtime folder is a file system of its own; a test may put it beside the home.
        if getattr(self, "runtime_dir", None):
            extra.setdefault("XDG_RUNTIME_DIR", self.runtime_dir)
        return self.session.environment(self.home, **extra)

    def _start(self, name, argv, env=None, stdout=None, pass_fds=()):
        """Starts a process in a group of its own; its output goes to <logs>/<name>.out and .err."""
        return self.session.start(name, argv, env or self._env(), stdout, pass_fds)

    def _stop(self, process, grace=3.0):
        self.session.stop(process, grace)

    def _marked_processes(self):
        return marked_pids("QZ_E2E_MARKER", self.marker)

    def _teardown(self):
        if self.x is not None:
            try:
                self.screenshot(f"{self.name}-end")
            except Exception:  # the picture is a help, not a result
                pass
        leftovers = self.session.stop_all()
        shutil.rmtree(self.home, ignore_errors=True)
        if leftovers:
            print(f"harness: processes {leftovers} could not be ended", file=sys.stderr)

    def start_x(self):
        self.session.start_x()
        self.xvfb = self.session.xvfb

    def start_tray(self):
        """trayer docks the shell's icon; waits until it owns the system tray selection."""
        self.trayer = self.session.start_tray(self._env())
        return self.trayer

    def start_session_bus(self):
        """A D-Bus session bus of the test's own; everything started after it uses it."""
        bus = self._start("dbus", ["dbus-run-session", "--", "sh", "-c",
                                   'echo "$DBUS_SESSION_BUS_ADDRESS"; exec sleep 100000'], stdout=subprocess.PIPE)
        self.session_bus = bus.stdout.readline().decode().strip()
        self.assertTrue(self.session_bus, "dbus-run-session gives a bus address")

    def start_sni_host(self):
        """gtk-sni-tray-standalone: a StatusNotifierItem host, with its own watcher, in a bar at the top
        of the screen; returns the bar's window once it shows. The tool's host can ask its own watcher
        before the watcher answers, and then exits (UnknownObject): such a start is made again."""
        def bar():
            windows = [w for w in self.x.descendants(self.x.root)
                       if self.x.wm_class(w) == ("gtk-sni-tray-standalone", "Gtk-sni-tray-standalone")]
            return next((w for w in windows if (g := self.x.geometry(w)) and g.viewable and g.width > 100), None)

        for attempt in range(1, 4):
            self.sni_host = self._start(f"sni-host-{attempt}", ["gtk-sni-tray-standalone", "--watcher", "--top"])
            shown = wait_until(lambda: bar() or self.sni_host.poll() is not None, 20,
                               "the StatusNotifierItem host shows its bar or exits")
            if self.sni_host.poll() is None:
                return shown
        self.fail("the StatusNotifierItem host exits at every start")

    def gdbus(self, *args):
        """gdbus on the test's session bus; its output, or None when the call failed."""
        result = subprocess.run(["gdbus", *args], env=self._env(), capture_output=True, text=True, timeout=30)
        return result.stdout if result.returncode == 0 else None

    def wait_for_bus_name(self, name, timeout, what):
        """Waits until name has an owner on the session bus."""
        wait_until(lambda: "true" in (self.gdbus("call", "--session", "--dest", "org.freedesktop.DBus",
                                                 "--object-path", "/org/freedesktop/DBus", "--method",
                                                 "org.freedesktop.DBus.NameHasOwner", name) or ""),
                   timeout, what)

    def start_gnome_shell(self):
        """GNOME Shell as the window manager, with its AppIndicator extension hosting the tray, on a
        session bus of the test's own and on a system bus of its own too: the shell waits on the system
        bus's answers (its login manager, accounts) before it shows anything."""
        config = os.path.join(self.home, "system-bus.conf")
        with open(config, "w", encoding="utf-8") as file:
            file.write("<busconfig><type>system</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                       "<policy context='default'><allow send_destination='*'/><allow receive_sender='*'/>"
                       "<allow own='*'/></policy></busconfig>")
        bus = self._start("system-bus", ["dbus-daemon", "--nofork", "--print-address", "--config-file", config],
                          stdout=subprocess.PIPE)
        system_bus = bus.stdout.readline().decode().strip()
        self.assertTrue(system_bus, "the system bus gives its address")
        self.start_session_bus()
        env = self._env(DBUS_SYSTEM_BUS_ADDRESS=system_bus, XDG_SESSION_TYPE="x11", XDG_CURRENT_DESKTOP="GNOME")
        subprocess.run(["gsettings", "set", "org.gnome.shell", "enabled-extensions",
                        "['ubuntu-appindicators@ubuntu.com']"], env=env, check=True, timeout=30)
        self.wm = self._start("gnome-shell", ["gnome-shell", "--x11", "--replace", "--sm-disable"], env=env)
        self.wait_for_bus_name("org.kde.StatusNotifierWatcher", 90, "GNOME Shell's extension serves the tray")
        # The shell starts in the overview once its start is done; the desktop is what users work on.
        # An item registered before that can be lost by the extension.
        wait_until(lambda: self.gnome_overview() == "true", 60, "GNOME Shell shows its overview")
        # It takes no clicks while it slides in: Activities, at the top bar's left end, is clicked until
        # the overview is gone.
        def left():
            if self.gnome_overview() == "false":
                return True
            self.xdotool("mousemove", 50, 14, "click", 1)
            return False
        wait_until(left, 30, "GNOME Shell leaves its overview", interval=2)
        return self.wm

    def gnome_overview(self):
        reply = self.gdbus("call", "--session", "--dest", "org.gnome.Shell", "--object-path", "/org/gnome/Shell",
                           "--method", "org.freedesktop.DBus.Properties.Get", "org.gnome.Shell", "OverviewActive")
        return re.sub(r"[^a-z]", "", reply or "")

    def sni_items(self):
        """The items the StatusNotifierItem watcher knows, as the watcher answers."""
        reply = self.gdbus("call", "--session", "--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                           "/StatusNotifierWatcher", "--method", "org.freedesktop.DBus.Properties.Get",
                           "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems")
        return re.findall(r"'([^']+)'", reply or "")

    def shell_sni_item(self, timeout=30):
        """The shell's StatusNotifierItem service once the watcher has it."""
        name = f"org.kde.StatusNotifierItem-{self.shell.pid}-"
        return wait_until(lambda: next((i for i in self.sni_items() if i.startswith(name)), None), timeout,
                          "the shell's item is registered with the watcher")

    def item_call(self, path, method, *args):
        """A call to the shell's StatusNotifierItem; its output, or None when the call failed."""
        return self.gdbus("call", "--session", "--dest", self.shell_sni_item(), "--object-path", path,
                          "--method", method, *args)

    def start_window_manager(self):
        self.wm = self.session.start_window_manager(self._env())
        return self.wm

    def start_portal(self, *options, moved=()):
        """The demo portal on the shell's four hosts, but the sites in moved on a free port of their host,
        leaving their address to a server of the test's; waits until all four listen."""
        hosts = {site: getattr(config, site) for site in SITES}
        hosts.update({site: hosts[site].rpartition(":")[0] + ":0" for site in moved})
        self.portal, self.portal_hosts = self.session.start_portal(config.portal, hosts, *options)
        self.portal_log = self.session.portal_log
        return self.portal

    def stop_portal(self):
        self._stop(self.portal)

    def start_shell(self, name="shell", program=None, **environment):
        """Starts the shell (program, or the build's own); a later start under another name leaves
        self.shell alone."""
        process = self._start(name, [program or config.shell],
                              env=self._env(**{**engine_environment(), **environment}))
        if name == "shell":
            self.shell_stderr = os.path.join(self.logs, "shell.err")
            self.shell = process
        return process

    def stand_in_opener(self):
        """A stand-in for the desktop's xdg-open that records each address it gets, one per line, in
        self.handed; the PATH that puts it first."""
        folder = os.path.join(self.home, "bin")
        os.makedirs(folder, exist_ok=True)
        self.handed = os.path.join(self.home, "handed-over")
        with open(os.path.join(folder, "xdg-open"), "w", encoding="utf-8") as script:
            script.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.handed}"\n')
        os.chmod(script.name, 0o755)
        return f"{folder}:{os.environ['PATH']}"

    # -- looking -------------------------------------------------------------------------------------

    @staticmethod
    def read(*path):
        try:
            with open(os.path.join(*path), encoding="utf-8", errors="replace") as file:
                return file.read()
        except OSError:
            return ""

    def shell_alive(self):
        return self.shell is not None and self.shell.poll() is None

    def shell_errors(self):
        """The lines in which the shell reports an error it caught."""
        return [line for line in self.read(self.shell_stderr).splitlines() if line.startswith("qz-shell:")]

    def assertNoShellErrors(self):
        self.assertEqual(self.shell_errors(), [], "the shell reported errors on stderr")

    def requests(self):
        return portal_requests(self.portal_log)

    def page_requests(self):
        """The requests but the engine's own for a site's icon, which come whenever it gets to them."""
        return [r for r in self.requests() if r["path"] != "/favicon.ico"]

    def requests_for(self, path, site=None):
        return [r for r in self.requests() if r["path"] == path and (site is None or r.get("site") == site)]

    def shell_windows(self):
        """Every window carrying the shell's process id, at any depth."""
        return [w for w in self.x.descendants(self.x.root) if self.x.pid(w) == self.shell.pid]

    def find_main_window(self, timeout=30):
        """The shell's main window once it is viewable: its own, large and not a popup."""

        def candidates():
            if not self.shell_alive():
                raise AssertionError(f"the shell ended early with {self.shell.returncode}: "
                                     f"{self.read(self.shell_stderr)[-2000:]}")
            found = []
            for window in self.shell_windows():
                geometry = self.x.geometry(window)
                if geometry and geometry.viewable and not geometry.override_redirect and geometry.width >= 100:
                    found.append(window)
            return found

        windows = wait_until(candidates, timeout, "the shell's main window is shown")
        self.assertEqual(len(windows), 1, f"one main window expected, found {[hex(w) for w in windows]}")
        self.main_window = windows[0]
        return self.main_window

    def caption(self, window=None):
        return self.x.text(window or self.main_window, "_NET_WM_NAME")

    def geometry(self, window=None):
        return self.x.geometry(window or self.main_window)

    def viewable(self, window=None):
        """Whether the window exists and is mapped with all its ancestors."""
        geometry = self.geometry(window)
        return bool(geometry and geometry.viewable)

    def wait_for_caption(self, expected, timeout=30):
        return wait_until(lambda: self.caption() == expected, timeout,
                          lambda: f"the caption becomes {expected!r}; it is {self.caption()!r}")

    def _top_level(self, popups):
        found = []
        for window in self.x.children(self.x.root):
            geometry = self.x.geometry(window)
            if geometry and geometry.viewable and geometry.override_redirect == popups:
                found.append(window)
        return found

    def top_level_popups(self):
        """Viewable override-redirect windows right under the root: menus, tool tips."""
        return self._top_level(popups=True)

    def top_level_windows(self):
        """Viewable windows right under the root that are not popups: without a window manager, every
        shown top-level window (under one, its frames instead)."""
        return self._top_level(popups=False)

    def own_windows(self):
        """The shell's shown top-level windows (without a window manager): main, browser windows, dialogs."""
        return [w for w in self.top_level_windows() if self.x.pid(w) == self.shell.pid]

    def _wait_for_one_new(self, shown, known, timeout, what, ready=lambda window: True):
        def one_new():
            found = [w for w in shown() if w not in known]
            return found if len(found) != 1 or ready(found[0]) else []

        found = wait_until(one_new, timeout, what)
        self.assertEqual(len(found), 1, f"one new window expected: {what() if callable(what) else what}")
        return found[0]

    def wait_for_new_window(self, known, timeout=60, caption=None):
        """The one window of the shell's own that is shown and is not among known; with caption, once it
        shows that caption. Under load a short-lived unnamed window of the shell's has been seen before
        the browser window: a test that looks at a page waits for the window that shows it."""
        return self._wait_for_one_new(
            self.own_windows, known, timeout,
            lambda: f"a new window of the shell's shows{f' {caption!r}' if caption else ''}; its windows are "
                    f"{self.describe_windows()}",
            ready=lambda window: caption is None or self.caption(window) == caption)

    def describe_windows(self):
        return [(hex(w), self.caption(w), tuple(self.geometry(w) or ())) for w in self.own_windows()]

    def frame(self, window=None):
        """The window manager's frame around the window (the main one by default) on the screen, as
        (x, y, width, height); None while the window is not framed or not viewable."""
        window = window or self.main_window
        extents = self.x.cardinals(window, "_NET_FRAME_EXTENTS")
        geometry = self.geometry(window)
        if not extents or not geometry or not geometry.viewable:
            return None
        left, right, top, bottom = extents
        return geometry.x - left, geometry.y - top, geometry.width + left + right, geometry.height + top + bottom

    def wait_for_size(self, width, height, timeout=30):
        """Waits until the main window is width x height."""
        wait_until(lambda: tuple(self.geometry()[2:]) == (width, height), timeout,
                   lambda: f"the window becomes {width} x {height}; it is {self.geometry()}")

    def tray_icon(self, timeout=20):
        """The shell's icon, docked inside trayer's panel."""

        def find():
            # Under a window manager the panel sits inside a frame: look at every depth.
            panels = [w for w in self.x.descendants(self.x.root) if self.x.wm_class(w) == ("panel", "trayer")]
            for panel in panels:
                for window in self.x.descendants(panel):
                    geometry = self.x.geometry(window)
                    if (geometry and geometry.viewable and geometry.width > 4
                            and self.x.pid(window) == self.shell.pid):
                        return window
            return None

        return wait_until(find, timeout, "the tray icon docks in trayer")

    def wm_state(self, window=None):
        """ICCCM WM_STATE set by a window manager: 0 withdrawn, 1 normal, 3 iconic (None without one)."""
        values = self.x.cardinals(window or self.main_window, "WM_STATE")
        return values[0] if values else None

    def net_wm_state(self, window=None):
        """The EWMH states a window manager shows, by name (for example "_NET_WM_STATE_HIDDEN")."""
        atoms = self.x.cardinals(window or self.main_window, "_NET_WM_STATE")
        return [name for name in ("_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_MAXIMIZED_VERT",
                                  "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_FULLSCREEN")
                if self.x.atom(name) in atoms]

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def screenshot(self, name):
        path = os.path.join(self.shots, f"{name}.png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path], env=self._env(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=False)
        return path

    def screen_pixels(self, left, top, width, height):
        """The colours in a rectangle of the screen: ((x, y) in it, (red, green, blue)) for each pixel."""
        result = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop",
                                 f"{width}x{height}+{left}+{top}", "-depth", "8", "txt:-"], env=self._env(),
                                capture_output=True, text=True, timeout=30, check=True)
        pixels = []
        for line in result.stdout.splitlines()[1:]:
            place, _, colour = line.partition(":")
            values = colour.split("(", 1)[1].split(")", 1)[0].split(",")[:3]
            pixels.append((tuple(map(int, place.split(","))), tuple(int(float(v)) for v in values)))
        return pixels

    def pixel(self, x, y):
        """The colour on the screen at (x, y), as (red, green, blue)."""
        return self.screen_pixels(x, y, 1, 1)[0][1]

    def page_area(self, colour):
        """Where a page of one colour shows inside the main window, as (x, y, width, height) on the screen:
        the run of that colour across the window's middle column and its middle row."""
        geometry = self.geometry()

        def run(left, top, width, height, start):
            line = [seen for _, seen in self.screen_pixels(left, top, width, height)]
            hits = [offset for offset, seen in enumerate(line) if seen == colour]
            return (start + hits[0], hits[-1] - hits[0] + 1) if hits else (None, 0)

        y, height = run(geometry.x + geometry.width // 2, geometry.y, 1, geometry.height, geometry.y)
        x, width = run(geometry.x, (y or geometry.y) + height // 2, geometry.width, 1, geometry.x)
        return x, y, width, height

    def wait_for_page_to_fill_window(self, timeout=15):
        """Waits until the page is drawn at the window's new size: its white background shows in the
        window's lower right corner, and where the first, narrower page had its scroll bar (a page too
        short to scroll has none). Until then the screen's black or the old scroll bar's grey shows."""
        def points():
            # Read afresh each time: the window may get its new size a moment before its new place.
            geometry = self.geometry()
            return [(geometry.x + geometry.width - 4, geometry.y + geometry.height - 4),
                    (geometry.x + INITIAL_WIDTH - 1, geometry.y + MENU_BAR_HEIGHT + 40)]

        wait_until(lambda: all(self.pixel(*point) == (255, 255, 255) for point in points()), timeout,
                   lambda: f"the page fills the window: colours at {points()} are "
                           f"{[self.pixel(*p) for p in points()]}")

    def assertCentred(self, geometry, width, height, tolerance=1):
        x = (SCREEN_WIDTH - width) / 2
        y = (SCREEN_HEIGHT - height) / 2
        self.assertEqual((geometry.width, geometry.height), (width, height), f"window size, geometry {geometry}")
        self.assertLessEqual(abs(geometry.x - x), tolerance, f"window left, geometry {geometry}")
        self.assertLessEqual(abs(geometry.y - y), tolerance, f"window top, geometry {geometry}")

    def hold(self, seconds, what):
        """Lets the shell run for a while, for checks that something does NOT happen; fails if it ends."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertTrue(self.shell_alive(), f"the shell ended {what}: {self.read(self.shell_stderr)[-2000:]}")
            time.sleep(0.1)

    # -- acting --------------------------------------------------------------------------------------

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self._env(), capture_output=True, text=True,
                                timeout=30)
        if result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def click(self, window, button):
        geometry = self.x.geometry(window)
        self.xdotool("mousemove", "--window", window, geometry.width // 2, geometry.height // 2, "click", button)

    def key(self, *keys, window=None):
        """Keys through the XTEST extension, to the window with the focus (given window first focused)."""
        if window:
            self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", *keys)

    def close_window(self, window=None):
        self.assertTrue(self.x.send_delete_window(window or self.main_window), "WM_DELETE_WINDOW sent")

    def minimize(self, window=None):
        self.xdotool("windowminimize", "--sync", window or self.main_window)


class CommandTestCase(ShellTestCase):
    """A test that works the shell's menus and dialogs, reads the clipboard or waits for the end."""

    def start_on_demo_page(self):
        """Tray, demo portal and shell, until the start page ("QZ 门户@800@560", which sets the session
        cookie) fills the sized window."""
        self.start_tray()
        self.start_portal()
        self.start_shell()
        self.find_main_window()
        self.wait_for_size(800, 560 + MENU_BAR_HEIGHT)
        self.wait_for_page_to_fill_window()

    def wait_for_popup(self, known, timeout=10):
        """The one popup (a menu, a tool tip) that is shown and is not among known."""
        return self._wait_for_one_new(self.top_level_popups, known, timeout, "a popup opens")

    def modal(self, window):
        return self.x.atom("_NET_WM_STATE_MODAL") in self.x.cardinals(window, "_NET_WM_STATE")

    def screen_columns(self, left, top, width, height):
        """Which columns of the screen rectangle hold dark (text) pixels, as x offsets in it."""
        return sorted({x for (x, _y), colour in self.screen_pixels(left, top, width, height)
                       if sum(colour) < TEXT_BRIGHTNESS})

    def menu_bar_titles(self, bar_height=MENU_BAR_HEIGHT):
        """The titles the main window's menu bar shows, as (first, last) pixel columns on the screen."""
        geometry = self.geometry()
        self.screenshot("menu-bar")
        titles = []
        for column in self.screen_columns(geometry.x, geometry.y, geometry.width, bar_height):
            if titles and column - titles[-1][1] <= TITLE_GAP:
                titles[-1][1] = column
            else:
                titles.append([column, column])
        return [(geometry.x + first, geometry.x + last) for first, last in titles]

    def open_menu_title(self, title, bar_height=MENU_BAR_HEIGHT):
        """Clicks a menu bar title, given as menu_bar_titles() gives it; returns its dropdown menu."""
        known = self.top_level_popups()
        self.xdotool("mousemove", (title[0] + title[1]) // 2, self.geometry().y + bar_height // 2, "click", 1)
        return self.wait_for_popup(known)

    def click_menu_row(self, menu, row, rows):
        """Clicks the middle of a menu's row (from 0) of rows of equal height."""
        geometry = self.geometry(menu)
        self.xdotool("mousemove", geometry.x + geometry.width // 2,
                     geometry.y + (2 * row + 1) * geometry.height // (2 * rows), "click", 1)

    def engine_processes(self):
        """The browser engine's helper processes this test started that still run."""
        return [pid for pid in self._marked_processes() if (read_proc(pid, "comm") or "").startswith("QtWebEngine")]

    def wait_for_end(self, icon, timeout=30):
        """Waits until the shell ends; returns (exit status, whether its icon was gone while it still ran)."""
        icon_first = False
        deadline = time.monotonic() + timeout
        while True:
            # The icon is looked at before the process: an icon found gone while the process still
            # runs afterwards went first, not with the process's connection to the X server.
            icon_gone = not self.viewable(icon)
            if self.shell.poll() is not None:
                return self.shell.returncode, icon_first
            icon_first = icon_first or icon_gone
            if time.monotonic() >= deadline:
                raise AssertionError(f"the shell ends (still running after {timeout} s)")
            time.sleep(0.01)
