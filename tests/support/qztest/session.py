"""The programs a test or a benchmark runs the shell among: an X server of its own (Xvfb), a tray host
(trayer), a window manager (openbox) and the demo portal. Each runs in a process group of its own and
carries a marker in its environment, so that ending the groups and then whatever still carries the
marker leaves nothing behind."""

import json
import os
import select
import subprocess
import sys
import time

from .processes import end_group, kill_marked
from .wait import wait_until
from .xlib import Xlib

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024
START_PATH = "/api/qz/?from=qz&version=1.0.0"
# The hosts the shell is built for unless told otherwise are the demo portal's own defaults.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "portal"))
from demo_portal import DEFAULT_HOSTS  # noqa: E402

SITES = tuple(DEFAULT_HOSTS)


def engine_environment():
    """The browser engine refuses to start as root with its sandbox: only tests and benchmarks turn it off."""
    return {"QTWEBENGINE_DISABLE_SANDBOX": "1"} if os.geteuid() == 0 else {}


def portal_requests(log, offset=0):
    """The requests the demo portal logged (one JSON object a line) from byte offset on."""
    try:
        with open(log, "rb") as file:
            file.seek(offset)
            lines = file.read().decode("utf-8", "replace").splitlines()
    except OSError:
        return []
    records = []
    for line in lines:
        try:
            records.append(json.loads(line))
        except ValueError:
            pass  # blank, or still being written
    return records


class Session:
    """Started programs, their output under logs/, their marker marker_name=marker."""

    def __init__(self, logs, marker_name, marker):
        self.logs = logs
        self.marker_name = marker_name
        self.marker = marker
        self.processes = []  # (name, Popen), in start order
        self.display = ""
        self.x = None

    def environment(self, home=None, **extra):
        """This environment for a program on the session's display; with home, in a fresh user's folders."""
        env = dict(os.environ)
        for name in ("LC_ALL", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SESSION_MANAGER"):
            env.pop(name, None)
        env.update({self.marker_name: self.marker, "DISPLAY": self.display, "LANG": "C.UTF-8"})
        if home:
            env.update({
                "HOME": home,
                "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                "XDG_CACHE_HOME": os.path.join(home, ".cache"),
                "XDG_RUNTIME_DIR": os.path.join(home, "runtime"),
            })
            os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        env.update(extra)
        return env

    def start(self, name, argv, env=None, stdout=None, pass_fds=()):
        """Starts a process in a group of its own; its output goes to <logs>/<name>.out and .err."""
        with open(os.path.join(self.logs, f"{name}.out"), "wb") as out, \
                open(os.path.join(self.logs, f"{name}.err"), "wb") as err:
            process = subprocess.Popen(argv, env=env or self.environment(), stdin=subprocess.DEVNULL,
                                       stdout=stdout or out, stderr=err, pass_fds=pass_fds, start_new_session=True)
        self.processes.append((name, process))
        return process

    def stop(self, process, grace=3.0):
        end_group(process, grace)
        if process.stdout:
            process.stdout.close()
        self.processes = [(name, started) for name, started in self.processes if started is not process]

    def stop_all(self, grace=3.0, timeout=10):
        """Ends every process group, newest first, then whatever still carries the marker; returns what
        could not be ended."""
        if self.x is not None:
            self.x.close()
            self.x = None
        for _name, process in reversed(list(self.processes)):
            self.stop(process, grace)
        return kill_marked(self.marker_name, self.marker, timeout)

    def start_x(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        """Xvfb on a free display, and an X connection to it."""
        read_end, write_end = os.pipe()
        self.xvfb = self.start("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                        f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
                               pass_fds=(write_end,), env=dict(os.environ, **{self.marker_name: self.marker}))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if not select.select([read_end], [], [], 0.5)[0]:
                continue
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            raise AssertionError(f"Xvfb did not start (see {self.logs}/xvfb.err)")
        self.display = f":{number.decode().strip()}"
        self.x = Xlib(self.display)
        return self.x

    def start_tray(self, env=None):
        """trayer docks the shell's icon; waits until it owns the system tray selection."""
        self.trayer = self.start("trayer", [
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
            "--SetDockType", "true", "--SetPartialStrut", "false", "--transparent", "false", "--expand", "true"],
            env=env)
        wait_until(lambda: self.x.selection_owner("_NET_SYSTEM_TRAY_S0"), 10, "trayer owns the system tray")
        return self.trayer

    def start_window_manager(self, env=None):
        self.wm = self.start("openbox", ["openbox", "--sm-disable"], env=env)
        wait_until(lambda: self.x.cardinals(self.x.root, "_NET_SUPPORTING_WM_CHECK"), 10, "openbox runs")
        return self.wm

    def start_portal(self, portal, hosts, *options, port_wait=90, on_wait=None):
        """The demo portal on the four hosts ({site: "host:port"}), logging its requests to <logs>/portal.log;
        waits until all four listen. Returns the portal and the addresses it reports."""
        self.portal_log = os.path.join(self.logs, "portal.log")
        argv = [sys.executable, "-B", portal, "--log", self.portal_log,
                *[arg for site in SITES for arg in (f"--{site}", hosts[site])],
                # The site outside the portal on a free port: nothing waits for it at a fixed one.
                "--outside", "127.0.0.2:0", *options]
        # The ports are fixed: another run on this machine (a benchmark, a test) may hold them for a while.
        deadline = time.monotonic() + port_wait
        while True:
            self.portal = self.start("portal", argv, stdout=subprocess.PIPE)
            line = self.portal.stdout.readline()
            if line:
                return self.portal, json.loads(line)
            self.portal.wait(5)
            self.stop(self.portal)
            if time.monotonic() > deadline:
                with open(os.path.join(self.logs, "portal.err"), encoding="utf-8", errors="replace") as err:
                    raise AssertionError(f"the demo portal did not start: {err.read()}")
            if on_wait:
                on_wait()
                on_wait = None
            time.sleep(0.5)
